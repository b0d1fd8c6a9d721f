#include "ui/SettingsSectionWidget.h"

#include "app/MainForm.h"
#include "ui/DisplayBinderQt.h"

namespace rv {

SettingsSectionWidget::SettingsSectionWidget(MainForm& form_or_model, DisplayBinderQt& binder,
                                             QWidget* parent)
    : QWidget(parent) {
    (void)form_or_model;
    (void)binder;
}

}  // namespace rv
