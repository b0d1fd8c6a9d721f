#include "ui/SensorAreaWidget.h"

#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QResizeEvent>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "layout/SectionPlan.h"
#include "layout/SensorAreaLayout.h"
#include "text/Cp1251.h"
#include "ui/CaptionLabelWidget.h"
#include "ui/ColoursQt.h"
#include "ui/DisplayBinderQt.h"

namespace rv {
namespace {

constexpr int kCaptionWidth = 150;
constexpr int kCaptionGap = 8;
constexpr int kFieldMinWidth = 65;
constexpr int kColumnTitleHeight = 16;
constexpr int kColumnTitleLine = 4;
constexpr int kHeaderLineHeight = 4;

}  // namespace

namespace {

QLabel* Caption(const QString& text, int width, Qt::Alignment align, QWidget* parent) {
    return new CaptionLabel(text, width, parent, align);
}

QFrame* ThinLine(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedHeight(kHeaderLineHeight);
    return line;
}

// A row whose cells are placed by the row itself whenever its size changes, not by a layout.
class CellRow : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void resizeEvent(QResizeEvent* e) override {
        QWidget::resizeEvent(e);
        Place();
    }
    virtual void Place() = 0;
};

// A row of the fuel-level table, or its column-title row: four widgets placed by the column rule
// whenever the row's width changes (the title row also renames its temperature column).
class FuelLevelRow : public CellRow {
  public:
    FuelLevelRow(QWidget* parent, bool titles) : CellRow(parent), titles_(titles) {
        if (titles_) {
            line_ = new QFrame(this);
            line_->setFrameShape(QFrame::HLine);
            line_->setFrameShadow(QFrame::Sunken);
        }
    }
    void SetCells(QWidget* caption, QWidget* level, QWidget* frequency, QLabel* temperature) {
        cells_[0] = caption;
        cells_[1] = level;
        cells_[2] = frequency;
        cells_[3] = temperature;
        temperature_ = temperature;
        Place();
    }

  private:
    void Place() override {
        if (!cells_[0]) return;
        const FuelLevelColumns c = FuelLevelColumnsFor(width());
        const ColumnSpan spans[4] = {c.caption, c.level, c.frequency, c.temperature};
        const int cellHeight = titles_ ? kColumnTitleHeight : kSensorRowShown;
        for (int i = 0; i < 4; ++i)
            cells_[i]->setGeometry(spans[i].x, 0, spans[i].width, cellHeight);
        if (titles_) {
            line_->setGeometry(0, kColumnTitleHeight, width(), kColumnTitleLine);
            temperature_->setText(QString::fromUtf8(TemperatureTitle(c.temperature.width).data()));
        }
    }

    bool titles_;
    QFrame* line_ = nullptr;
    QWidget* cells_[4] = {nullptr, nullptr, nullptr, nullptr};
    QLabel* temperature_ = nullptr;
};

// A value row: the caption at its left, the value in the rest of the row, never narrower than
// kFieldMinWidth. The cells are placed when the row's width changes, not by a layout: dozens of
// values change every frame on a busy link, and a layout would be asked each time to run again,
// up to the sensor area's, although a row of fixed height in a column that never scrolls sideways
// gives its value the same place whatever it says.
class ValueRow : public CellRow {
  public:
    explicit ValueRow(QWidget* parent) : CellRow(parent) {}
    void SetCells(QWidget* caption, QWidget* field) {
        caption_ = caption;
        field_ = field;
        Place();
    }
    QSize minimumSizeHint() const override { return sizeHint(); }
    QSize sizeHint() const override {
        return {kCaptionWidth + kCaptionGap + kFieldMinWidth, kSensorRowShown};
    }

  private:
    void Place() override {
        if (!caption_) return;
        caption_->setGeometry(0, 0, kCaptionWidth, height());
        const int left = kCaptionWidth + kCaptionGap;
        field_->setGeometry(left, 0, std::max(kFieldMinWidth, width() - left), height());
    }

    QWidget* caption_ = nullptr;
    QWidget* field_ = nullptr;
};

// A folded row is a 1-pixel strip: its contents are hidden rather than cut to a slice of pixels.
void ApplyRowOpen(QWidget* row, bool open) {
    row->setFixedHeight(open ? kSensorRowShown : kSensorRowFolded);
    for (QWidget* child : row->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        child->setVisible(open);
    }
}

void UseTemperatureFont(QWidget* w) {
    QFont font = w->font();
    if (QFontDatabase::hasFamily(QStringLiteral("Tahoma")))
        font.setFamily(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    w->setFont(font);
}

}  // namespace

SensorAreaWidget::SensorAreaWidget(DisplayModel& model, DisplayBinderQt& binder, QWidget* parent)
    : QWidget(parent), model_(model) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    labelNo_ = new QLabel(QString::fromUtf8("Датчики не обнаружены"), this);
    labelNo_->setObjectName(QStringLiteral("LabelNo"));
    labelNo_->setAlignment(Qt::AlignCenter);
    labelNo_->setFixedHeight(kSensorRowShown);
    SetForeground(labelNo_, kGrey);
    layout->addWidget(labelNo_);

    area_ = new QScrollArea(this);
    area_->setObjectName(QStringLiteral("scbCDat"));
    area_->setFrameShape(QFrame::NoFrame);
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area_->setWidgetResizable(true);
    layout->addWidget(area_, 1);

    auto* content = new QWidget(area_);
    content->setAutoFillBackground(false);
    auto* rows = new QVBoxLayout(content);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    const auto& plan = SensorRows();
    for (std::size_t i = 0; i < plan.size(); ++i) {
        QWidget* row = MakeRow(static_cast<int>(i), binder, content);
        rows_.push_back(row);
        rows->addWidget(row);
    }
    rows->addStretch(1);
    area_->setWidget(content);
    // The area shows the column's background, not a panel of its own.
    area_->viewport()->setAutoFillBackground(false);

    labelNo_->setVisible(model_.LabelNoVisible());
    displaySubscription_ = model_.Subscribe(*this);
}

QLabel* SensorAreaWidget::MakeRunTimeCaption(const char* name, int width, DisplayBinderQt& binder,
                                             QWidget* parent) {
    // Captions rewritten by the replies (sensor identities, sensor numbers) are captions all the
    // same: grey, right-aligned, text from the model.
    return binder.BindLabel(name, new CaptionLabel(QString(), width, parent));
}

QWidget* SensorAreaWidget::MakeRow(int sensorRow, DisplayBinderQt& binder, QWidget* parent) {
    const SensorRowPlan& plan = SensorRows()[sensorRow];
    const QString name = QStringLiteral("Panel") + QString::number(plan.number);
    QWidget* row = nullptr;
    switch (plan.kind) {
        case SensorRowKind::GroupHeader: {
            row = new QWidget(parent);
            auto* h = new QHBoxLayout(row);
            h->setContentsMargins(0, 0, 0, 0);
            h->setSpacing(4);
            auto* title = new QLabel(QString::fromUtf8(plan.caption), row);
            title->setAlignment(Qt::AlignCenter);
            h->addWidget(ThinLine(row), 1);
            h->addWidget(title);
            h->addWidget(ThinLine(row), 1);
            break;
        }
        case SensorRowKind::Value: {
            auto* value = new ValueRow(parent);
            QLabel* caption = plan.captionName ? MakeRunTimeCaption(plan.captionName, kCaptionWidth,
                                                                    binder, value)
                                               : Caption(QString::fromUtf8(plan.caption),
                                                         kCaptionWidth, Qt::AlignRight, value);
            QLabel* field = binder.MakeLabel(plan.field, value);
            field->setMinimumWidth(kFieldMinWidth);
            field->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            value->SetCells(caption, field);
            row = value;
            break;
        }
        case SensorRowKind::ColumnTitles: {
            auto* fl = new FuelLevelRow(parent, true);
            auto* number =
                Caption(QString::fromUtf8("№"), kFuelLevelCaptionWidth, Qt::AlignRight, fl);
            auto* level = new QLabel(QString::fromUtf8("уровень"), fl);
            auto* frequency = new QLabel(QString::fromUtf8("частота"), fl);
            auto* temperature = new QLabel(QString::fromUtf8("температура"), fl);
            for (QLabel* l : {level, frequency, temperature}) l->setAlignment(Qt::AlignCenter);
            fl->SetCells(number, level, frequency, temperature);
            row = fl;
            break;
        }
        case SensorRowKind::FuelLevel: {
            auto* fl = new FuelLevelRow(parent, false);
            QLabel* caption =
                MakeRunTimeCaption(plan.captionName, kFuelLevelCaptionWidth, binder, fl);
            QLabel* level = binder.MakeLabel(plan.field, fl);
            QLabel* frequency = binder.MakeLabel(plan.field2, fl);
            QLabel* temperature = binder.MakeLabel(plan.field3, fl);
            for (QLabel* l : {level, frequency, temperature}) l->setAlignment(Qt::AlignCenter);
            UseTemperatureFont(temperature);
            fl->SetCells(caption, level, frequency, temperature);
            row = fl;
            break;
        }
    }
    row->setObjectName(name);
    ApplyRowOpen(row, model_.SensorRowOpen(sensorRow));
    return row;
}

void SensorAreaWidget::SensorRowOpenChanged(int sensorRow) {
    if (sensorRow >= 0 && static_cast<std::size_t>(sensorRow) < rows_.size()) {
        ApplyRowOpen(rows_[sensorRow], model_.SensorRowOpen(sensorRow));
    }
}

void SensorAreaWidget::LabelNoChanged(bool visible) {
    labelNo_->setVisible(visible);
}

}  // namespace rv
