#pragma once
// The content of "Цифровые входы / выходы": the note LabelNo ("Датчики не обнаружены") and the
// sensor area scbCDat with its groups and collapsible rows, following the display model. Every
// row is a panel named "Panel" + its number, 1 pixel high while the model has it folded and 20 when
// open, and the note shows exactly while the model says no row is open.

#include <QWidget>
#include <vector>

#include "protocol/DisplayModel.h"

class QLabel;
class QScrollArea;

namespace rv {

class DisplayBinderQt;

class SensorAreaWidget : public QWidget, public DisplayObserver {
  public:
    SensorAreaWidget(DisplayModel& model, DisplayBinderQt& binder, QWidget* parent = nullptr);

    void SensorRowOpenChanged(int sensorRow) override;
    void LabelNoChanged(bool visible) override;

  private:
    QWidget* MakeRow(int sensorRow, DisplayBinderQt& binder, QWidget* parent);
    QLabel* MakeRunTimeCaption(const char* name, int width, DisplayBinderQt& binder,
                               QWidget* parent);

    DisplayModel& model_;
    QLabel* labelNo_ = nullptr;
    QScrollArea* area_ = nullptr;
    std::vector<QWidget*> rows_;  // by index into SensorRows()
    Subscription displaySubscription_;
};

}  // namespace rv
