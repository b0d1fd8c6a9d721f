// The window on a high-density screen: under QT_SCALE_FACTOR 2 and 1.5 (on a 3840x2160 screen) the
// window, its fonts and its pictures scale, the pictures are drawn at the device pixel ratio, and
// the widest captions are neither narrowed nor cut. The scale is fixed when the application starts,
// so each scale runs in a child process of this same test program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QProcessEnvironment>
#include <QtMath>
#include <cstdlib>

#include "support/ScriptedPlatform.h"
#include "ui/CaptionLabelWidget.h"
#include "ui/MainWindow.h"
#include "ui/PicturesQt.h"

namespace rv {
namespace {

constexpr const char* kScaleVariable = "REVODIVE_HIGH_DPI_SCALE";

TEST(HighDpi, TheWindowScalesAtTwoAndOneAndAHalf) {
    for (const char* scale : {"2", "1.5"}) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"),
                   QStringLiteral("offscreen:configfile=") +
                       QStringLiteral(REVODIVE_TEST_SCREENS)
                           .replace(QStringLiteral("offscreen-desktop.json"),
                                    QStringLiteral("offscreen-4k.json")));
        env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(scale));
        env.insert(QString::fromLatin1(kScaleVariable), QString::fromLatin1(scale));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=HighDpiAtScale.*")});
        ASSERT_TRUE(child.waitForFinished(60000)) << scale;
        const QString out = QString::fromUtf8(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << "at " << scale << ":\n" << out.toStdString();
        EXPECT_TRUE(out.contains(QStringLiteral("[  PASSED  ] 1 test"))) << out.toStdString();
    }
}

// The leftmost column of device pixels of a right-aligned caption is background only: no letter
// starts left of the label.
bool LeftEdgeIsBlank(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        if (image.pixel(0, y) != image.pixel(0, 0)) return false;
    }
    return true;
}

TEST(HighDpiAtScale, CaptionsPicturesAndTheWindowAtTheScreensScale) {
    const char* scaleText = std::getenv(kScaleVariable);
    if (scaleText == nullptr) GTEST_SKIP() << "run by HighDpi.TheWindowScalesAtTwoAndOneAndAHalf";
    const qreal scale = QString::fromLatin1(scaleText).toDouble();
    ASSERT_DOUBLE_EQ(qApp->devicePixelRatio(), scale);

    // Pictures: as many device pixels as the scale asks for, not an enlarged 1x picture.
    const QPixmap fold = pictures::FoldPicture(pictures::kFoldDown);
    EXPECT_DOUBLE_EQ(fold.devicePixelRatio(), scale);
    EXPECT_EQ(fold.width(), qCeil(16 * scale));
    EXPECT_EQ(fold.deviceIndependentSize().toSize(), QSize(16, 16));
    const QPixmap maker = pictures::MakerPicture();
    EXPECT_EQ(maker.width(), qCeil(80 * scale));
    EXPECT_EQ(pictures::LogOnIcon().pixmap(QSize(16, 16), scale).width(), qCeil(16 * scale));

    test::ScriptedSerialDevice* device = nullptr;
    MainWindow window(test::ScriptedPlatform(device, nullptr, [] { return test::PortList({}); }));
    window.show();
    QApplication::processEvents();
    // The screen is 1920x1080 (or 2560x1440) layout pixels: the design position holds.
    EXPECT_EQ(window.frameGeometry().topLeft(), QPoint(620, 291));
    const QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.width(), qRound(window.width() * scale));
    const QByteArray dir = qgetenv("REVODIVE_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        shot.save(
            QDir(QString::fromLocal8Bit(dir))
                .filePath(QStringLiteral("window-%1x.png").arg(QString::fromLatin1(scaleText))));
    }

    int found = 0;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        const auto* caption = dynamic_cast<const CaptionLabel*>(label);
        if (caption == nullptr) continue;
        const QString text = caption->text();
        if (text != QStringLiteral("Соединение с сервером:") &&
            text != QStringLiteral("Подтверждение сервера:") &&
            text != QStringLiteral("Обновление настроек:") &&
            text != QStringLiteral("Время работы двигателя (ч):")) {
            continue;
        }
        ++found;
        EXPECT_EQ(caption->FittedFont().stretch(), QFont::Unstretched) << text.toStdString();
        const QImage picture = const_cast<CaptionLabel*>(caption)->grab().toImage();
        EXPECT_EQ(picture.width(), qRound(caption->width() * scale)) << text.toStdString();
        EXPECT_TRUE(LeftEdgeIsBlank(picture)) << '"' << text.toStdString() << "\" is cut";
    }
    EXPECT_EQ(found, 4);
}

}  // namespace
}  // namespace rv
