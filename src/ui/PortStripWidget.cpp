#include "ui/PortStripWidget.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include "layout/ColumnRule.h"
#include "serial/ConnectionControl.h"
#include "ui/ColoursQt.h"
#include "ui/PicturesQt.h"

namespace rv {
namespace {

constexpr int kPortCellWidth = 28;
constexpr int kStripWidth = 4;
constexpr int kInside = 24;

}  // namespace

PortStripWidget::PortStripWidget(const SectionPlan& plan, ConnectionControl& connection,
                                 QWidget* parent)
    : SectionHeaderWidget(plan, parent), connection_(connection) {
    setObjectName(QStringLiteral("PanelCOM"));
    TitleCell()->setObjectName(QStringLiteral("Panel289"));
    // The cell's hint holds the full title; the rule shows it or "COM".
    TitleCell()->setToolTip(
        QString::fromUtf8(kComTitleLong.data(), static_cast<int>(kComTitleLong.size())));
    TitleCell()->installEventFilter(this);

    Line()->addSpacing(4);
    Line()->addWidget(MakeButtonCell(this, stop_));
    stop_->setObjectName(QStringLiteral("SpeedButton9"));
    stop_->setToolTip(QStringLiteral("Стоп"));
    stop_->setIcon(pictures::StopIcon());
    connect(stop_, &QToolButton::clicked, this, [this] { connection_.StopActionExecute(); });
}

void PortStripWidget::RebuildPorts() {
    for (QWidget* cell : cells_) delete cell;
    cells_.clear();
    buttons_.clear();

    // Right after the title cell: each new cell goes in front of the earlier ones, so the first
    // port of the list stands rightmost, next to the stop button.
    const int insertAt = Line()->indexOf(TitleCell()) + 1;
    for (const PortItem& port : connection_.Ports()) {
        auto* cell = new QWidget(this);
        cell->setObjectName(QStringLiteral("PortCell%1").arg(port.number));
        cell->setFixedSize(kPortCellWidth, kInside);
        SetBackground(cell, kLightGreen);
        QFont bold = cell->font();
        bold.setBold(true);
        cell->setFont(bold);

        auto* strip = new QWidget(cell);
        strip->setGeometry(0, 0, kStripWidth, kInside);
        SetBackground(strip, kWhite);

        auto* button = new QToolButton(cell);
        const QString caption = QString::number(port.number);
        button->setObjectName(QStringLiteral("PortButton%1").arg(port.number));
        button->setText(caption);
        button->setToolTip(QStringLiteral("Порт COM") + caption);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(kStripWidth, 0, kPortCellWidth - kStripWidth, kInside);
        // A new cell is not coloured after the open port until the next start or stop.
        SetForeground(button, kBlack);
        const int number = port.number;
        connect(button, &QToolButton::clicked, this,
                [this, number] { connection_.StartExecute(number); });

        Line()->insertWidget(insertAt, cell);
        cells_.push_back(cell);
        buttons_.push_back(button);
    }
}

void PortStripWidget::UpdatePort() {
    const int active = connection_.HighlightedPort();
    const auto& ports = connection_.Ports();
    for (std::size_t i = 0; i < cells_.size() && i < ports.size(); ++i) {
        const bool on = ports[i].number == active && active > 0;
        SetBackground(cells_[i], on ? kBlack : kLightGreen);
        SetForeground(buttons_[i], on ? kLightGreen : kBlack);
    }
}

void PortStripWidget::Panel289Resize() {
    const std::string_view title = ComTitle(TitleCell()->width());
    TitleCell()->setText(QString::fromUtf8(title.data(), static_cast<int>(title.size())));
}

bool PortStripWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TitleCell() && event->type() == QEvent::Resize) Panel289Resize();
    return SectionHeaderWidget::eventFilter(watched, event);
}

}  // namespace rv
