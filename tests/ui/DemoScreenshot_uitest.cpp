// The unattended demonstration: the console program itself, started beside the simulated unit,
// opens the unit's port on its own, writes a picture of its window and quits cleanly.
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

TEST(DemoScreenshot, TheConsoleConnectsByItselfAndWritesAPictureOfItsWindow) {
    test::TempRuntimeDir runtime("demo");
    test::SimProcess sim({"--port", "16", "--seed", "9"});
    ASSERT_TRUE(test::WaitFor([&] { return std::filesystem::exists(runtime.Link(16)); }));

    const QString shot = QString::fromStdString((runtime.Root() / "demo.png").string());
    QProcess console;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("REVODIVE_DEMO_PORT"), QStringLiteral("16"));
    env.insert(QStringLiteral("REVODIVE_DEMO_SCREENSHOT"), shot);
    env.insert(QStringLiteral("REVODIVE_DEMO_SECONDS"), QStringLiteral("2"));
    console.setProcessEnvironment(env);
    console.start(QStringLiteral(REVODIVE_CONSOLE_PATH), {});
    ASSERT_TRUE(console.waitForFinished(30000));
    EXPECT_EQ(console.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(console.exitCode(), 0) << console.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(console.readAllStandardOutput()).trimmed(), shot);

    const QImage image(shot);
    ASSERT_FALSE(image.isNull());
    // The window at its minimum width; 600 high with its frame, so the picture of its inside is
    // a few pixels less.
    EXPECT_EQ(image.width(), 1024);
    EXPECT_GE(image.height(), 560);
    EXPECT_LE(image.height(), 600);
    // The bottom bar's light-green strip is where the window puts it.
    EXPECT_EQ(image.pixelColor(100, image.height() - 20).rgb(), ToQColor(kLightGreen).rgb());
}

}  // namespace
}  // namespace rv
