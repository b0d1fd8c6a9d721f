#include "ui/ReportStripWidget.h"

#include <QHBoxLayout>
#include <QLabel>

#include "ui/ColoursQt.h"

namespace rv {

ReportStripWidget::ReportStripWidget(ReportBoard& board, QWidget* parent)
    : QWidget(parent), board_(board), text_(new QLabel(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 0);
    // Tests and the technician's screen readers find the text by this name.
    text_->setObjectName(QStringLiteral("ErrorReport"));
    text_->setTextFormat(Qt::PlainText);
    layout->addWidget(text_, 1);
    subscription_ = board_.Subscribe(*this);
    ReportsChanged();
}

void ReportStripWidget::ReportsChanged() {
    const Report* current = board_.Current();
    text_->setText(current ? QString::fromStdString(current->text) : QString());
    SetForeground(text_, current && current->level == ReportLevel::Notice ? kBlack : kRed);
    QString history;
    for (const Report& r : board_.History()) {
        if (!history.isEmpty()) history += QLatin1Char('\n');
        history += QString::fromStdString(r.timeText) + QStringLiteral("  ") +
                   QString::fromStdString(r.text);
    }
    text_->setToolTip(history);
}

}  // namespace rv
