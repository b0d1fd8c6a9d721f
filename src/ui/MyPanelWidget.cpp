#include "ui/MyPanelWidget.h"

#include <QPainter>

#include "ui/ColoursQt.h"

namespace rv {

TMyPanel::TMyPanel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
    setAlignment(Qt::AlignCenter);  // a panel's caption stands in its middle
}

QColor TMyPanel::BackgroundAtPixel11() const {
    // Nothing is drawn over (1, 1) except the background (the caption is centred and the frame
    // is only one pixel wide), so the pixel has the colour of whatever fills the background there.
    for (const QWidget* w = this; w != nullptr; w = w->parentWidget()) {
        if (w->autoFillBackground() || w->isWindow())
            return w->palette().color(w->backgroundRole());
    }
    return palette().color(backgroundRole());
}

void TMyPanel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    const int r = width() - 1;
    const int b = height() - 1;
    if (r < 0 || b < 0) return;
    QPainter p(this);
    p.setPen(BackgroundAtPixel11());
    p.drawLine(0, 0, r, 0);
    p.drawLine(0, 0, 0, b);
    p.setPen(ToQColor(kFrameGrey));
    p.drawLine(0, b, r, b);
    p.drawLine(r, 0, r, b);
}

}  // namespace rv
