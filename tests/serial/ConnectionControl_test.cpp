// Connection control through the running form: which ports are offered, starting and stopping a
// port, the line speed chosen while stopped, and the link status the technician sees.

#include "serial/ConnectionControl.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "app/MainForm.h"
#include "support/ScriptedPlatform.h"
#include "text/Cp1251.h"

namespace rv {
namespace {

struct Rig {
    Rig() {
        auto readList = [this] {
            if (listUnreadable) throw std::runtime_error("device list unreadable");
            return list;
        };
        form = std::make_unique<MainForm>(
            formats, clock, test::ScriptedPlatform(device, &ticks, readList, &errors));
        form->FormCreate();
    }
    ConnectionControl& C() { return form->Connection(); }
    DisplayModel& D() { return form->Display(); }
    std::string Text(const char* name) { return Cp1251ToUtf8(D().Text(D().Field(name))); }
    Colour ColourOf(const char* name) { return D().ColourOf(D().Field(name)); }
    void Feed(std::string_view bytes) {
        device->QueueRead(bytes);
        form->Q().PollReceive();
    }
    std::vector<std::string> PortNames() {
        std::vector<std::string> names;
        for (const auto& p : C().Ports()) names.push_back(p.name);
        return names;
    }
    // Every "Device" action follows the link rule: enabled exactly when open and its Tag is 0.
    void ExpectLinkRule(bool open) {
        const ActionSet& a = form->Actions();
        int device = 0;
        for (int i = 0; i < a.Count(); ++i) {
            if (!a.IsDevice(i)) {
                EXPECT_TRUE(a.Enabled(i)) << a.Info(i).name;
                continue;
            }
            ++device;
            EXPECT_EQ(a.Enabled(i), open && a.Tag(i) == 0) << a.Info(i).name;
        }
        EXPECT_GT(device, 10);
        EXPECT_EQ(C().HeaderButtonsEnabled(), open);
    }

    RegionalFormats formats;
    FixedClock clock{{2026, 12, 8, 9, 5, 7, 4}};
    test::ManualTickSource ticks;
    test::ScriptedSerialDevice* device = nullptr;
    std::string list = std::string("COM1\0COM3\0COM12\0\0", 17);
    bool listUnreadable = false;
    std::vector<std::string> errors;
    std::unique_ptr<MainForm> form;
};

TEST(ConnectionControl, OffersComPortsInListOrderNumberedOneToNinetyNine) {
    Rig r;
    EXPECT_EQ(r.PortNames(), (std::vector<std::string>{"COM1", "COM3", "COM12"}));
    r.list = std::string("LPT1\0COM9\0COM0\0COM100\0COMX\0COM5\0COM9\0\0", 39);
    r.C().FindActionExecute();
    EXPECT_EQ(r.PortNames(), (std::vector<std::string>{"COM9", "COM5"}));
    r.C().FindActionExecute();
    EXPECT_EQ(r.PortNames(), (std::vector<std::string>{"COM9", "COM5"}));
}

TEST(ConnectionControl, UnreadableListRaisesAndKeepsTheOldItems) {
    Rig r;
    r.listUnreadable = true;
    EXPECT_THROW(r.C().FindActionExecute(), std::runtime_error);
    EXPECT_EQ(r.PortNames(), (std::vector<std::string>{"COM1", "COM3", "COM12"}));
}

TEST(ConnectionControl, UnreadableListAtStartUpIsReportedAndTheWindowStillComesUp) {
    Rig r;
    r.listUnreadable = true;
    r.errors.clear();
    r.form->FormCreate();
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0], "device list unreadable");
    EXPECT_EQ(r.Text("L_PSTAT"), "Нет подключения");
}

TEST(ConnectionControl, StartingAPortOpensItAndShowsTheLink) {
    Rig r;
    r.ExpectLinkRule(false);
    r.C().StartExecute(3);
    EXPECT_TRUE(r.form->Q().IsOpen());
    EXPECT_EQ(r.device->OpenedPaths(), std::vector<std::string>{"/dev/ttyTEST3"});
    EXPECT_EQ(r.Text("L_PSTAT"), "Ok");
    EXPECT_EQ(r.ColourOf("L_PSTAT"), kBlack);
    EXPECT_EQ(r.Text("L_PNUM"), "COM3");
    EXPECT_EQ(r.ColourOf("L_PNUM"), kBlack);
    EXPECT_EQ(r.Text("LL_PIN"), "0");
    EXPECT_EQ(r.ColourOf("LL_PIN"), kGrey);
    EXPECT_EQ(r.C().HighlightedPort(), 3);
    r.ExpectLinkRule(true);
    // The settings write actions stay blocked by their Tag until the editor validates them.
    EXPECT_FALSE(r.form->Actions().Enabled("SettingsPinWrite"));
    EXPECT_TRUE(r.form->Actions().Enabled("DeviceRestart"));

    r.C().StopActionExecute();
    EXPECT_FALSE(r.form->Q().IsOpen());
    EXPECT_EQ(r.Text("L_PNUM"), "-");
    EXPECT_EQ(r.ColourOf("L_PNUM"), kBlack);
    EXPECT_EQ(r.Text("L_PSTAT"), "Нет подключения");
    EXPECT_EQ(r.ColourOf("L_PSTAT"), kRed);
    EXPECT_EQ(r.C().HighlightedPort(), 0);
    r.ExpectLinkRule(false);
}

TEST(ConnectionControl, PortThatCannotBeOpenedNamesThePortAndShowsNoLink) {
    Rig r;
    r.device->RefuseOpen("/dev/ttyTEST12");
    r.C().StartExecute(12);
    EXPECT_FALSE(r.form->Q().IsOpen());
    EXPECT_EQ(r.Text("L_PNUM"), "COM12");
    EXPECT_EQ(r.Text("L_PSTAT"), "Нет подключения");
    EXPECT_EQ(r.ColourOf("L_PSTAT"), kRed);
    EXPECT_EQ(r.C().HighlightedPort(), 0);
    r.ExpectLinkRule(false);
}

TEST(ConnectionControl, DifferentPortClearsTheDisplayAndCounterSamePortDoesNot) {
    Rig r;
    r.C().StartExecute(3);
    r.Feed(">DN=4711\r\n");
    ASSERT_EQ(r.Text("LL_DN"), "4711");
    const auto received = r.form->ReceivedBytes();
    ASSERT_EQ(received, 10);

    // The same port again: closed and reopened, nothing cleared, the counter goes on.
    r.C().StartExecute(3);
    EXPECT_EQ(r.device->OpenedPaths().size(), 2u);
    EXPECT_EQ(r.device->CloseCalls(), 1);
    EXPECT_EQ(r.Text("LL_DN"), "4711");
    EXPECT_EQ(r.Text("LL_PIN"), "10 B");
    r.Feed(">DN=4711\r\n");
    EXPECT_EQ(r.form->ReceivedBytes(), 20);

    // Another port: the old one closes first, the display and the counter start afresh.
    r.C().StartExecute(1);
    EXPECT_EQ(r.device->OpenedPaths().back(), "/dev/ttyTEST1");
    EXPECT_EQ(r.Text("LL_DN"), "-");
    EXPECT_EQ(r.form->ReceivedBytes(), 0);
    EXPECT_EQ(r.Text("LL_PIN"), "0");
    EXPECT_EQ(r.C().HighlightedPort(), 1);
    EXPECT_EQ(r.form->Log().Count(), 0u);
}

TEST(ConnectionControl, SpeedIsChosenWhileStoppedAndReachesTheDriver) {
    Rig r;
    EXPECT_EQ(r.C().CheckedSpeedItem(), 0);
    for (int i = 0; i < kSpeedItems; ++i) EXPECT_TRUE(r.C().SpeedItemEnabled(i));

    r.C().SpeedItemClick(3);  // 9600 bit/s
    EXPECT_EQ(r.C().CheckedSpeedItem(), 3);
    EXPECT_EQ(r.form->Q().PortSpeed(), br9600);

    r.C().StartExecute(3);
    EXPECT_EQ(r.device->Applied().back().baudRate, 9600u);
    for (int i = 0; i < kSpeedItems; ++i) EXPECT_EQ(r.C().SpeedItemEnabled(i), i == 3) << i;
    r.C().SpeedItemClick(0);  // disabled: nothing happens
    r.C().SpeedItemClick(3);  // already checked: nothing happens
    EXPECT_EQ(r.C().CheckedSpeedItem(), 3);
    EXPECT_EQ(r.form->Q().PortSpeed(), br9600);

    r.C().StopActionExecute();
    for (int i = 0; i < kSpeedItems; ++i) EXPECT_TRUE(r.C().SpeedItemEnabled(i));
    r.C().SpeedItemClick(4);
    EXPECT_EQ(r.form->Q().PortSpeed(), br4800);

    // A failed start disables the other speeds all the same, until the next stop.
    r.device->RefuseOpen("/dev/ttyTEST12");
    r.C().StartExecute(12);
    for (int i = 0; i < kSpeedItems; ++i) EXPECT_EQ(r.C().SpeedItemEnabled(i), i == 4) << i;
}

TEST(ConnectionControl, PortItemCheckMarkToggles) {
    Rig r;
    r.C().PortItemClick(3);
    EXPECT_EQ(r.C().CheckedPortItem(), 3);
    r.C().PortItemClick(3);  // the second click removes the mark, the port is restarted anyway
    EXPECT_EQ(r.C().CheckedPortItem(), 0);
    EXPECT_TRUE(r.form->Q().IsOpen());
    EXPECT_EQ(r.device->OpenedPaths().size(), 2u);

    r.C().PortItemClick(1);
    EXPECT_EQ(r.C().CheckedPortItem(), 1);
    // "Стоп" and the port buttons move no mark.
    r.C().StopActionExecute();
    EXPECT_EQ(r.C().CheckedPortItem(), 1);
    r.C().StartExecute(12);
    EXPECT_EQ(r.C().CheckedPortItem(), 1);
}

TEST(ConnectionControl, RefreshKeepsTheOpenPortButDropsHighlightAndMarks) {
    Rig r;
    r.C().PortItemClick(3);
    ASSERT_EQ(r.C().HighlightedPort(), 3);
    r.C().FindActionExecute();
    EXPECT_TRUE(r.form->Q().IsOpen());
    EXPECT_EQ(r.Text("L_PSTAT"), "Ok");
    EXPECT_EQ(r.C().HighlightedPort(), 0);
    EXPECT_EQ(r.C().CheckedPortItem(), 0);
    r.ExpectLinkRule(true);
    // The next start colours the cells again.
    r.C().StartExecute(3);
    EXPECT_EQ(r.C().HighlightedPort(), 3);
}

}  // namespace
}  // namespace rv
