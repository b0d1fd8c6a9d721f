#pragma once
// The content of "Цифровые входы / выходы": the note LabelNo ("Датчики не обнаружены") and the
// sensor area scbCDat with its groups and collapsible rows, following the display model.

#include <QWidget>

namespace rv {

class DisplayBinderQt;
class DisplayModel;
class MainForm;

class SensorAreaWidget : public QWidget {
  public:
    SensorAreaWidget(DisplayModel& model, DisplayBinderQt& binder, QWidget* parent = nullptr);
};

}  // namespace rv
