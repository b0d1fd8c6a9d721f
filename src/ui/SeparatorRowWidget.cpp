#include "ui/SeparatorRowWidget.h"

#include <QPainter>

namespace rv {

SeparatorRow::SeparatorRow(int fieldLeft, QWidget* parent)
    : QWidget(parent), fieldLeft_(fieldLeft) {}

void SeparatorRow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int y = height() - 2;
    p.setPen(QColor(0xA0, 0xA0, 0xA0));
    p.drawLine(fieldLeft_, y, width() - 1, y);
    p.setPen(Qt::white);
    p.drawLine(fieldLeft_, y + 1, width() - 1, y + 1);
}

}  // namespace rv
