#include "ui/SectionRowsWidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/CaptionLabelWidget.h"
#include "ui/ColoursQt.h"
#include "ui/DisplayBinderQt.h"
#include "ui/FieldSlotWidget.h"
#include "ui/SeparatorRowWidget.h"

namespace rv {
namespace {

constexpr int kFieldGap = 8;
constexpr int kMarkerCell = 20;
constexpr int kMarkerSquare = 10;

// The colour square of an input row: 10x10 with a thin single border, centred in its cell.
class MarkerCell : public QWidget {
  public:
    MarkerCell(Colour colour, QWidget* parent) : QWidget(parent), colour_(colour) {
        setFixedWidth(kMarkerCell);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect square((width() - kMarkerSquare) / 2, (height() - kMarkerSquare) / 2,
                           kMarkerSquare - 1, kMarkerSquare - 1);
        p.setPen(Qt::black);
        p.setBrush(ToQColor(colour_));
        p.drawRect(square);
    }

  private:
    Colour colour_;
};

QLabel* Caption(const char* text, int width, QWidget* parent) {
    return new CaptionLabel(QString::fromUtf8(text), width, parent);
}

// A display field takes the rest of the row; a long value is cut, never widening the column. A
// label goes into a slot of its own: the row decides its size, so its new values reach no layout.
QWidget* Fill(QWidget* field, QWidget* row) {
    field->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    field->setMinimumWidth(0);
    if (qobject_cast<QLabel*>(field) == nullptr) return field;
    return FieldSlot::Hold(field, row);
}

QHBoxLayout* RowLine(QWidget* row) {
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(0);
    return line;
}

}  // namespace

SectionRowsWidget::SectionRowsWidget(const SectionPlan& plan, DisplayBinderQt& binder,
                                     QWidget* parent)
    : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    for (const RowPlan& r : plan.rows) {
        const int captionWidth = r.captionWidth > 0 ? r.captionWidth : plan.captionWidth;
        QWidget* row = nullptr;
        switch (r.kind) {
            case RowKind::Separator:
                // Input rows put their marker cell in front of the caption.
                row = new SeparatorRow(
                    captionWidth + kFieldGap +
                        (plan.rows.front().kind == RowKind::Input ? kMarkerCell : 0),
                    this);
                break;
            case RowKind::Gap:
                row = new QWidget(this);
                break;
            case RowKind::Value: {
                row = new QWidget(this);
                auto* line = RowLine(row);
                line->addWidget(Caption(r.caption, captionWidth, row));
                line->addSpacing(kFieldGap);
                line->addWidget(Fill(binder.Make(r.field, row), row), 1);
                break;
            }
            case RowKind::Input: {
                row = new QWidget(this);
                auto* line = RowLine(row);
                line->addWidget(new MarkerCell(r.marker, row));
                // The caption the input replies rewrite ("Аналоговый 1:"), shown by the binder.
                line->addWidget(FieldSlot::Hold(
                    binder.BindLabel(r.captionName, new CaptionLabel(QString(), captionWidth, row)),
                    row));
                line->addSpacing(kFieldGap);
                line->addWidget(Fill(binder.Make(r.field, row), row), 1);
                break;
            }
            case RowKind::Signal: {
                row = new QWidget(this);
                auto* line = RowLine(row);
                line->addWidget(Caption(r.caption, captionWidth, row));
                line->addSpacing(kFieldGap);
                QProgressBar* bar = binder.MakeBar(Bar::SignalLevel, row);
                bar->setFixedSize(46, 15);
                line->addWidget(bar, 0, Qt::AlignVCenter);
                line->addSpacing(kFieldGap);
                line->addWidget(Fill(binder.Make(r.field, row), row), 1);
                break;
            }
            case RowKind::Battery: {
                row = new QWidget(this);
                auto* line = RowLine(row);
                line->addWidget(Caption(r.caption, captionWidth, row));
                line->addSpacing(kFieldGap);
                line->addWidget(binder.Make(r.field, row));  // its own width
                line->addSpacing(kFieldGap);
                auto* cell = new QWidget(row);
                cell->setFixedWidth(43);
                QProgressBar* bar = binder.MakeBar(Bar::Battery, cell);
                bar->setFixedSize(39, 15);
                bar->move(0, (r.height - 15) / 2);
                line->addWidget(cell);
                line->addStretch(1);
                break;
            }
        }
        row->setFixedHeight(r.height);
        column->addWidget(row);
    }
    column->addStretch(1);
}

}  // namespace rv
