#pragma once
// The light-green strip of the bottom bar, showing the form's report board: the newest report
// still standing (errors in red, notices in black), the recent reports with their times as the
// tooltip. It never opens a dialog, so reports may come from inside reception.

#include <QWidget>

#include "app/ReportBoard.h"

class QLabel;

namespace rv {

class ReportStripWidget : public QWidget, public ReportObserver {
  public:
    ReportStripWidget(ReportBoard& board, QWidget* parent);

    void ReportsChanged() override;

  private:
    ReportBoard& board_;
    QLabel* text_;
    Subscription subscription_;
};

}  // namespace rv
