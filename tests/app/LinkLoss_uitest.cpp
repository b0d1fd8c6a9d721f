// The real window on the real platform, over pseudo-terminals published in the test's own ports
// folder: a unit that goes away is seen at once without the window spinning while it is away,
// it is reconnected when it comes back under the same name, "Стоп" ends the wait, and the port
// list follows units published and withdrawn.
#include <gtest/gtest.h>
#include <time.h>

#include <QAction>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMenu>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <string>

#include "support/LiveWindowQt.h"
#include "support/PublishedPty.h"
#include "ui/MainWindow.h"

namespace rv {
namespace {

constexpr int kPort = 12;

// CPU time this process has used, in milliseconds.
double ProcessCpuMs() {
    struct timespec ts;
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

class LinkLoss : public test::LiveWindowTest {
  protected:
    LinkLoss() : LiveWindowTest("linkloss") {}

    // Starts COM12 from its menu item and waits until a first line has come through.
    void Connect(test::PublishedPty& unit) {
        Action(QStringLiteral("FindAction"))->trigger();
        QAction* item = Action(QStringLiteral("DeviceItem12"));
        ASSERT_NE(item, nullptr);
        item->trigger();
        ASSERT_TRUE(Window().Form().Q().IsOpen());
        ASSERT_TRUE(unit.Write(">DN=4711\r\n"));
        ASSERT_TRUE(RunUntil([&] { return Text("LL_DN") == QStringLiteral("4711"); }, 10000));
    }
    // Closes the unit's end; the time until the window shows the loss, in ms (-1: never).
    qint64 LoseAndTime(test::PublishedPty& unit) {
        QElapsedTimer timer;
        timer.start();
        unit.ClosePeer();
        const bool seen = RunUntil(
            [&] {
                return Text("L_PSTAT") == QStringLiteral("Нет подключения") &&
                       Window().Form().Reports().Standing(report_topic::kLink) != nullptr;
            },
            10000);
        return seen ? timer.elapsed() : -1;
    }
    // Lets the window's own event loop run, without a loop of the test's around it.
    static void RunEventLoopFor(int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }
    bool InPortMenu(const QString& name) {
        for (QAction* a : Window().findChild<QMenu*>(QStringLiteral("N2"))->actions())
            if (a->objectName() == name) return true;
        return false;
    }
};

TEST_F(LinkLoss, LostUnitIsSeenAtOnceAndIsReconnectedWhenItComesBack) {
    auto unit = std::make_unique<test::PublishedPty>(runtime_, kPort);
    Connect(*unit);

    const qint64 seenAfter = LoseAndTime(*unit);
    ASSERT_GE(seenAfter, 0);
    // The device answers the first read after the loss; the bound leaves room for a loaded
    // machine (the window reads every 10 ms).
    EXPECT_LT(seenAfter, 300);
    const QString reason = QStringLiteral("COM12: связь потеряна в ");
    EXPECT_TRUE(
        Window().findChild<QWidget*>(QStringLiteral("L_PSTAT"))->toolTip().startsWith(reason));
    EXPECT_EQ(Window()
                  .Form()
                  .Reports()
                  .Standing(report_topic::kLink)
                  ->text.rfind(reason.toStdString(), 0),
              0u);
    EXPECT_FALSE(Action(QStringLiteral("DeviceRestart"))->isEnabled());

    // While the unit is away, the window waits without spinning.
    const double cpuBefore = ProcessCpuMs();
    QElapsedTimer wall;
    wall.start();
    RunEventLoopFor(1000);
    EXPECT_LT(ProcessCpuMs() - cpuBefore, 0.3 * static_cast<double>(wall.elapsed()));
    EXPECT_FALSE(Window().Form().Q().IsOpen());

    // The unit comes back under the same name, on a new terminal.
    unit = std::make_unique<test::PublishedPty>(runtime_, kPort);
    QElapsedTimer back;
    back.start();
    ASSERT_TRUE(RunUntil([&] { return Window().Form().Q().IsOpen(); }, 10000));
    EXPECT_LT(back.elapsed(), 2000);  // within a second, with room for a loaded machine
    EXPECT_EQ(Text("L_PSTAT"), QStringLiteral("Ok"));
    EXPECT_TRUE(Action(QStringLiteral("DeviceRestart"))->isEnabled());
    EXPECT_EQ(Text("LL_DN"), QStringLiteral("4711"));  // the same port: nothing was cleared
    EXPECT_EQ(Window().findChild<QWidget*>(QStringLiteral("L_PSTAT"))->toolTip(), QString());

    // Every line the unit sends after its return arrives.
    constexpr int kLines = 30;
    for (int i = 0; i < kLines; ++i)
        ASSERT_TRUE(unit->Write(">DN=" + std::to_string(5000 + i) + "\r\n"));
    const auto logged = [&](int i) {
        const std::string line = ">DN=" + std::to_string(5000 + i);
        const LogStore& log = Window().Form().Log();
        for (std::size_t k = 0; k < log.Count(); ++k)
            if (log.Line(k).find(line) != std::string_view::npos) return true;
        return false;
    };
    ASSERT_TRUE(RunUntil([&] { return logged(kLines - 1); }, 10000));
    for (int i = 0; i < kLines; ++i) EXPECT_TRUE(logged(i)) << i;
    EXPECT_NE(Window().Form().Log().Line(0).find(">DN=4711"), std::string_view::npos);
}

TEST_F(LinkLoss, StopWhileWaitingForTheUnitEndsTheWait) {
    test::PublishedPty unit(runtime_, kPort);
    Connect(unit);
    ASSERT_GE(LoseAndTime(unit), 0);
    Action(QStringLiteral("StopAction"))->trigger();
    EXPECT_EQ(Window().findChild<QWidget*>(QStringLiteral("L_PSTAT"))->toolTip(), QString());

    test::PublishedPty again(runtime_, kPort);
    RunEventLoopFor(1500);
    EXPECT_FALSE(Window().Form().Q().IsOpen());
    EXPECT_EQ(Text("L_PSTAT"), QStringLiteral("Нет подключения"));
}

TEST_F(LinkLoss, PortListFollowsUnitsPublishedAndWithdrawn) {
    Window();
    ASSERT_FALSE(InPortMenu(QStringLiteral("DeviceItem14")));
    auto unit = std::make_unique<test::PublishedPty>(runtime_, 14);
    EXPECT_TRUE(RunUntil([&] { return InPortMenu(QStringLiteral("DeviceItem14")); }, 5000));
    std::filesystem::remove(runtime_.Link(14));
    EXPECT_TRUE(RunUntil([&] { return !InPortMenu(QStringLiteral("DeviceItem14")); }, 5000));
}

}  // namespace
}  // namespace rv
