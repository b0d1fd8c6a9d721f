#include "ui/PicturesQt.h"

#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>
#include <cmath>

#include "ui/ColoursQt.h"

namespace rv::pictures {
namespace {

constexpr int kSmall = 16;

// A transparent picture of w x h pixels of the layout, drawn at the screens' device pixel ratio
// (QT_SCALE_FACTOR, a high-density screen): twice as many device pixels at 2x, so the picture stays
// sharp instead of being enlarged.
qreal ScreenRatio() {
    return qApp ? qApp->devicePixelRatio() : 1.0;
}

QPixmap Blank(int w, int h, qreal ratio = ScreenRatio()) {
    QPixmap pm(qCeil(w * ratio), qCeil(h * ratio));
    pm.setDevicePixelRatio(ratio);
    pm.fill(Qt::transparent);
    return pm;
}

// Paints at the icon's logical 16x16 size, scaled to the pixmap.
template <typename Paint>
QPixmap Drawn(int size, Paint paint, qreal ratio = ScreenRatio()) {
    QPixmap pm = Blank(size, size, ratio);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    paint(p);
    return pm;
}

// An icon drawn at every size in device pixels a button may ask for at scales 1 to 2; the icon
// picks the one that matches the screen.
template <typename Paint>
QIcon IconOf(Paint paint) {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) icon.addPixmap(Drawn(size, paint, 1.0));
    return icon;
}

void Cross(QPainter& p, double inset, double width) {
    p.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(inset, inset), QPointF(16 - inset, 16 - inset));
    p.drawLine(QPointF(16 - inset, inset), QPointF(inset, 16 - inset));
}

// One half of the refresh circle: an arc of about 150 degrees ending in an arrow head.
void ArcArrow(QPainter& p, double startDeg) {
    const QRectF circle(3, 3, 10, 10);
    const double span = 140;
    QPainterPath arc;
    arc.arcMoveTo(circle, startDeg);
    arc.arcTo(circle, startDeg, span);
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);

    const double end = (startDeg + span) * M_PI / 180.0;
    const QPointF tip(8 + 5 * std::cos(end), 8 - 5 * std::sin(end));
    // Direction of travel along the arc (counter-clockwise in screen terms).
    const QPointF along(-std::sin(end), -std::cos(end));
    const QPointF outward(std::cos(end), -std::sin(end));
    QPolygonF head;
    head << tip + along * 2.6 << tip + outward * 2.4 << tip - outward * 2.4;
    p.setBrush(p.pen().color());
    p.drawPolygon(head);
}

}  // namespace

QPixmap FoldPicture(int image) {
    return Drawn(kSmall, [image](QPainter& p) {
        p.setPen(QPen(Qt::black, 1.2));
        p.setBrush(Qt::NoBrush);
        QPolygonF triangle;
        if (image == kFoldDown) {
            triangle << QPointF(3.5, 5.5) << QPointF(12.5, 5.5) << QPointF(8, 11.5);
        } else {
            triangle << QPointF(3.5, 10.5) << QPointF(12.5, 10.5) << QPointF(8, 4.5);
        }
        p.drawPolygon(triangle);
    });
}

QIcon LogOnIcon() {
    return IconOf([](QPainter& p) {
        p.setPen(QPen(QColor(0, 110, 0), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPolygonF tick;
        tick << QPointF(3, 8.5) << QPointF(6.5, 12) << QPointF(13, 4);
        p.drawPolyline(tick);
    });
}

QIcon LogOffIcon() {
    return IconOf([](QPainter& p) { Cross(p, 4, 2.0); });
}

QIcon RefreshIcon() {
    return IconOf([](QPainter& p) {
        p.setPen(QPen(QColor(0, 60, 130), 1.6, Qt::SolidLine, Qt::RoundCap));
        ArcArrow(p, 20);
        ArcArrow(p, 200);
    });
}

QIcon StopIcon() {
    return IconOf([](QPainter& p) {
        p.setPen(QPen(Qt::black, 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
        Cross(p, 5, 1.8);
    });
}

QPixmap MakerPicture() {
    QPixmap pm = Blank(80, 24);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // A small mark: three rising bars, the signal of a unit reporting in.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 90, 40));
    for (int i = 0; i < 3; ++i) p.drawRect(QRectF(3 + i * 4, 16 - i * 4, 3, 4 + i * 4));
    QFont font = p.font();
    font.setPixelSize(15);
    font.setBold(true);
    font.setItalic(true);
    p.setFont(font);
    p.setPen(QColor(30, 30, 30));
    p.drawText(QRectF(17, 0, 63, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Rarevi"));
    return pm;
}

QIcon AppIcon() {
    return IconOf([](QPainter& p) {
        // A light-green rounded tile with a dark pulse trace: a console watching a unit (the
        // package's icon, packaging/revodive.svg, is the same picture).
        p.setPen(QPen(QColor(40, 90, 40), 0.8));
        p.setBrush(ToQColor(kLightGreen));
        p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
        p.setPen(QPen(Qt::black, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        QPolygonF trace;
        trace << QPointF(2, 9) << QPointF(5, 9) << QPointF(6.5, 4) << QPointF(8.5, 13)
              << QPointF(10, 7) << QPointF(11, 9) << QPointF(14, 9);
        p.drawPolyline(trace);
    });
}

}  // namespace rv::pictures
