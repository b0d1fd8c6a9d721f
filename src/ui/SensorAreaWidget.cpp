#include "ui/SensorAreaWidget.h"

#include "app/MainForm.h"
#include "ui/DisplayBinderQt.h"

namespace rv {

SensorAreaWidget::SensorAreaWidget(DisplayModel& form_or_model, DisplayBinderQt& binder,
                                   QWidget* parent)
    : QWidget(parent) {
    (void)form_or_model;
    (void)binder;
}

}  // namespace rv
