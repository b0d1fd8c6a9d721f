// The real console window, on the real platform, against the simulated unit on a published
// pseudo-terminal. The console's own decoding of the unit is proven Qt-free in tests/sim; what
// only the window adds is that its timer takes the stream in and every widget shows what its
// display field holds.
#include <gtest/gtest.h>

#include <QAction>
#include <filesystem>
#include <map>
#include <string>

#include "support/DisplayState.h"
#include "support/LiveWindowQt.h"
#include "support/SimProcess.h"
#include "ui/MainWindow.h"

namespace rv {
namespace {

class SimulatedUnit : public test::LiveWindowTest {
  protected:
    SimulatedUnit() : LiveWindowTest("simunit") {}
};

// Every display field's text as its widget shows it.
std::map<std::string, std::string> ShownState(MainWindow& window) {
    std::map<std::string, std::string> shown;
    for (const auto& [name, text] : test::DisplayState(window.Form().Display()))
        shown[name] = test::ShownText(window, name.c_str()).toStdString();
    return shown;
}

TEST_F(SimulatedUnit, AfterARoundOfEveryFamilyEachWidgetShowsItsField) {
    test::SimProcess sim({"--port", "11", "--once"});
    ASSERT_TRUE(test::WaitFor([&] { return std::filesystem::exists(runtime_.Link(11)); }));
    Action(QStringLiteral("FindAction"))->trigger();
    QAction* item = Action(QStringLiteral("DeviceItem11"));
    ASSERT_NE(item, nullptr) << "COM11 not discovered";
    item->trigger();
    ASSERT_TRUE(Window().Form().Q().IsOpen());
    // The last reply of the round is the last CAN key; nobody polls but the window's timer.
    ASSERT_TRUE(RunUntil([&] { return Text("LL_CU") != QStringLiteral("-"); }, 15000));
    EXPECT_EQ(ShownState(Window()), test::DisplayState(Window().Form().Display()));
}

}  // namespace
}  // namespace rv
