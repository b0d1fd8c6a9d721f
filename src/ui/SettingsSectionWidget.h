#pragma once
// The body of "Настройки": the SIM PIN and access-point fields with validation as the technician
// types, and the read / write / automatic-mode buttons.

#include <QWidget>

namespace rv {

class DisplayBinderQt;
class DisplayModel;
class MainForm;

class SettingsSectionWidget : public QWidget {
  public:
    SettingsSectionWidget(MainForm& form, DisplayBinderQt& binder, QWidget* parent = nullptr);
};

}  // namespace rv
