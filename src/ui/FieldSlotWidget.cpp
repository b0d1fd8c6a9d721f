#include "ui/FieldSlotWidget.h"

namespace rv {

FieldSlot::FieldSlot(QWidget* field, QWidget* parent) : QWidget(parent), field_(field) {
    setSizePolicy(field->sizePolicy());
    setMinimumSize(field->minimumSize());
    setMaximumSize(field->maximumSize());
    field->setParent(this);
    field->move(0, 0);
}

FieldSlot* FieldSlot::Hold(QWidget* field, QWidget* parent) {
    return new FieldSlot(field, parent);
}

void FieldSlot::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    field_->setGeometry(rect());
}

}  // namespace rv
