// The bordered cell of the calibration tables, drawn on the backgrounds it stands on.
#include "ui/MyPanelWidget.h"

#include <gtest/gtest.h>

#include <QImage>

namespace rv {
namespace {

TEST(TMyPanel, FramesItsLowerAndRightEdgesInLightGrey) {
    for (const QColor background : {QColor(255, 255, 255), QColor(192, 220, 192)}) {
        QWidget host;
        QPalette p = host.palette();
        p.setColor(QPalette::Window, background);
        host.setPalette(p);
        host.setAutoFillBackground(true);
        host.resize(100, 40);
        TMyPanel panel(QStringLiteral("12"), &host);
        panel.setGeometry(10, 5, 60, 25);
        const QImage img = host.grab().toImage();
        const QColor grey(0xE5, 0xE5, 0xE5);
        EXPECT_EQ(img.pixelColor(10 + 59, 5 + 10), grey);   // right edge
        EXPECT_EQ(img.pixelColor(10 + 30, 5 + 24), grey);   // lower edge
        EXPECT_EQ(img.pixelColor(10, 5 + 10), background);  // left edge melts in
        EXPECT_EQ(img.pixelColor(10 + 30, 5), background);  // upper edge melts in
        EXPECT_EQ(img.pixelColor(10 + 60, 5 + 10), background) << "nothing drawn outside";
        EXPECT_EQ(panel.text(), QStringLiteral("12"));
    }
}

}  // namespace
}  // namespace rv
