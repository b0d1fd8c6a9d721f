// The unattended demonstration: the console program itself, started beside the simulated unit,
// opens the unit's port on its own, writes a picture of its window and quits cleanly; and where the
// window opens on a screen smaller than its minimum size.
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>

#include "support/SimProcess.h"
#include "support/TempRuntimeDir.h"
#include "ui/ColoursQt.h"

namespace rv {
namespace {

// Runs the console with the simulated unit on COM16 until it has written its screenshot; the
// offscreen platform's screens come from `platform`. The picture, or a null image.
QImage DemoPicture(const QString& platform) {
    test::TempRuntimeDir runtime("demo");
    test::SimProcess sim({"--port", "16", "--seed", "9"});
    EXPECT_TRUE(test::WaitFor([&] { return std::filesystem::exists(runtime.Link(16)); }));

    const QString shot = QString::fromStdString((runtime.Root() / "demo.png").string());
    QProcess console;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    env.insert(QStringLiteral("REVODIVE_DEMO_PORT"), QStringLiteral("16"));
    env.insert(QStringLiteral("REVODIVE_DEMO_SCREENSHOT"), shot);
    env.insert(QStringLiteral("REVODIVE_DEMO_SECONDS"), QStringLiteral("2"));
    console.setProcessEnvironment(env);
    console.start(QStringLiteral(REVODIVE_CONSOLE_PATH), {});
    EXPECT_TRUE(console.waitForFinished(30000));
    EXPECT_EQ(console.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(console.exitCode(), 0) << console.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(console.readAllStandardOutput()).trimmed(), shot);
    return QImage(shot);
}

TEST(DemoScreenshot, TheConsoleConnectsByItselfAndWritesAPictureOfItsWindow) {
    const QImage image = DemoPicture(QStringLiteral("offscreen:configfile=") +
                                     QStringLiteral(REVODIVE_TEST_SCREENS));
    ASSERT_FALSE(image.isNull());
    // The window at its minimum width; 600 high with its frame, so the picture of its inside is
    // a few pixels less.
    EXPECT_EQ(image.width(), 1024);
    EXPECT_GE(image.height(), 560);
    EXPECT_LE(image.height(), 600);
    // The bottom bar's light-green strip is where the window puts it.
    EXPECT_EQ(image.pixelColor(100, image.height() - 20).rgb(), ToQColor(kLightGreen).rgb());
}

// Qt's offscreen platform on its own has one 800x800 screen, narrower than the window's minimum
// size: the window opens maximised and stays on the screen.
TEST(DemoScreenshot, OnAScreenSmallerThanTheMinimumSizeTheWindowFillsIt) {
    const QImage image = DemoPicture(QStringLiteral("offscreen"));
    ASSERT_FALSE(image.isNull());
    EXPECT_LE(image.width(), 800);
    EXPECT_GE(image.width(), 780);
    EXPECT_LE(image.height(), 800);
    EXPECT_GE(image.height(), 780);
    EXPECT_EQ(image.pixelColor(100, image.height() - 20).rgb(), ToQColor(kLightGreen).rgb());
}

}  // namespace
}  // namespace rv
