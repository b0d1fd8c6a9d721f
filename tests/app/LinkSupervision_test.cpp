// The running console following its device without widgets: a port that will not open says why,
// a lost device closes the port and is watched for until it returns, a unit's half line does not
// lead another unit's first one, the port list follows hot-plug, a silent unit and an unsent
// command are reported in the report strip.

#include <gtest/gtest.h>

#include <map>

#include "app/MainForm.h"
#include "support/DisplayState.h"
#include "support/ScriptedPlatform.h"

namespace rv {
namespace {

struct Rig {
    Rig() {
        FormPlatform p = test::ScriptedPlatform(
            device, &ticks, [this] { return list; }, &errors);
        p.findDevice = [this](const std::string& identity) {
            ++lookups;
            const auto it = presence.find(identity);
            return it == presence.end() ? PortPresence{} : it->second;
        };
        p.elapsedMs = [this] { return nowMs; };
        form = std::make_unique<MainForm>(formats, clock, std::move(p));
        form->FormCreate();
    }
    ConnectionControl& C() { return form->Connection(); }
    std::string Text(const char* name) const { return test::FieldText(form->Display(), name); }
    void Feed(std::string_view bytes) {
        device->QueueRead(bytes);
        form->Q().PollReceive();
    }
    void Lose() {
        device->QueueLoss();
        form->Q().PollReceive();
    }
    const Report* Standing(std::string_view topic) const { return form->Reports().Standing(topic); }
    std::string StandingText(std::string_view topic) const {
        const Report* r = Standing(topic);
        return r ? r->text : "(none)";
    }
    // The device of port `from` is back as port `to`, as `what` (a new node each time).
    void Return(int from, int to, const std::string& what) {
        presence["TEST" + std::to_string(from)] = {to, what};
    }
    // Runs `count` watch ticks; the number of open attempts made meanwhile.
    std::size_t WatchTicks(int count) {
        const std::size_t before = device->OpenedPaths().size();
        for (int i = 0; i < count; ++i) form->SuperviseLink();
        return device->OpenedPaths().size() - before;
    }

    RegionalFormats formats;
    FixedClock clock{{2026, 12, 8, 12, 41, 7, 0}};
    test::ManualTickSource ticks;
    test::ScriptedSerialDevice* device = nullptr;
    std::string list = test::PortList({"COM3", "COM5"});
    std::map<std::string, PortPresence> presence;
    int lookups = 0;
    std::int64_t nowMs = 1000;
    std::vector<std::string> errors;
    std::unique_ptr<MainForm> form;
};

TEST(LinkSupervision, PortThatWillNotOpenSaysWhyInTheStatusHintAndTheStrip) {
    using K = SerialFailureKind;
    struct Case {
        SerialFailure why;
        const char* says;  // a part of the reason that tells the technician what to do
    };
    const Case cases[] = {
        {{K::Busy, {}, {}}, "занят другой программой"},
        {{K::BusyByProcess, "minicom", {}}, "«minicom»"},
        {{K::NoPermission, {}, {}}, "dialout"},
        {{K::Missing, {}, {}}, "не найдено"},
        {{K::NotSerialDevice, {}, {}}, "не последовательный порт"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        Rig r;
        r.device->RefuseOpen("/dev/ttyTEST3", c.why);
        r.C().StartExecute(3);
        EXPECT_EQ(r.Text("L_PSTAT"), "Нет подключения");
        const std::string& reason = r.C().LinkReason();
        EXPECT_EQ(reason.rfind("COM3: ", 0), 0u) << reason;
        EXPECT_NE(reason.find(c.says), std::string::npos) << reason;
        ASSERT_NE(r.Standing(report_topic::kLink), nullptr);
        EXPECT_EQ(r.Standing(report_topic::kLink)->text, reason);
        EXPECT_EQ(r.Standing(report_topic::kLink)->level, ReportLevel::Error);

        // Once it opens, the reason is gone from both.
        r.device->AcceptOpen("/dev/ttyTEST3");
        r.C().StartExecute(3);
        EXPECT_EQ(r.Text("L_PSTAT"), "Ok");
        EXPECT_EQ(r.C().LinkReason(), "");
        EXPECT_EQ(r.Standing(report_topic::kLink), nullptr);
    }
}

TEST(LinkSupervision, LostDeviceClosesThePortAndSaysWhenButKeepsThePortChosen) {
    Rig r;
    r.C().SpeedItemClick(3);  // 9600 bit/s
    r.C().StartExecute(3);
    r.Feed(">DN=4711\r\n");
    r.Lose();
    EXPECT_FALSE(r.form->Q().IsOpen());
    EXPECT_EQ(r.Text("L_PSTAT"), "Нет подключения");
    EXPECT_EQ(r.form->Display().ColourOf(r.form->Display().Field("L_PSTAT")), kRed);
    EXPECT_FALSE(r.C().HeaderButtonsEnabled());
    EXPECT_FALSE(r.form->Actions().Enabled("DeviceRestart"));
    EXPECT_EQ(r.C().HighlightedPort(), 0);
    EXPECT_EQ(r.C().LinkReason(), "COM3: связь потеряна в 12:41:07");
    EXPECT_EQ(r.StandingText(report_topic::kLink), "COM3: связь потеряна в 12:41:07");
    // Still the technician's port: its name and the chosen speed stay, the values stay.
    EXPECT_EQ(r.Text("L_PNUM"), "COM3");
    EXPECT_FALSE(r.C().SpeedItemEnabled(0));
    EXPECT_EQ(r.Text("LL_DN"), "4711");
    EXPECT_TRUE(r.C().WatchingForReturn());
}

TEST(LinkSupervision, ReturnedDeviceIsReopenedAsTheSamePortKeepingWhatWasShown) {
    Rig r;
    r.C().SpeedItemClick(3);  // 9600 bit/s
    r.C().StartExecute(3);
    r.Feed(">DN=4711\r\n");
    r.Lose();
    const std::size_t logged = r.form->Log().Count();
    const auto counted = r.form->ReceivedBytes();

    // While it is away, looking for it opens nothing.
    EXPECT_EQ(r.WatchTicks(20), 0u);
    EXPECT_GE(r.lookups, 20);

    r.Return(3, 3, "pts/4 #2");
    EXPECT_EQ(r.WatchTicks(1), 1u);  // within one watch period of its return
    EXPECT_TRUE(r.form->Q().IsOpen());
    EXPECT_FALSE(r.C().WatchingForReturn());
    EXPECT_EQ(r.device->OpenedPaths().back(), "/dev/ttyTEST3");
    EXPECT_EQ(r.device->Applied().back().baudRate, 9600u);
    EXPECT_EQ(r.Text("L_PSTAT"), "Ok");
    EXPECT_EQ(r.C().HighlightedPort(), 3);
    EXPECT_TRUE(r.form->Actions().Enabled("DeviceRestart"));
    EXPECT_EQ(r.C().LinkReason(), "");
    ASSERT_NE(r.Standing(report_topic::kLink), nullptr);
    EXPECT_EQ(r.Standing(report_topic::kLink)->text, "COM3: связь восстановлена в 12:41:07");
    EXPECT_EQ(r.Standing(report_topic::kLink)->level, ReportLevel::Notice);
    // Nothing was cleared: the same port, as a restart of it.
    EXPECT_EQ(r.Text("LL_DN"), "4711");
    EXPECT_EQ(r.form->Log().Count(), logged);
    r.Feed(">DN=4712\r\n");
    EXPECT_EQ(r.form->ReceivedBytes(), counted + 10);
    EXPECT_EQ(r.form->Log().Count(), logged + 1);
}

TEST(LinkSupervision, RenumberedAdapterIsReopenedUnderItsNewNumber) {
    Rig r;
    r.C().StartExecute(3);
    r.Feed(">DN=4711\r\n");
    r.Lose();
    r.Return(3, 5, "ttyUSB1");
    EXPECT_EQ(r.WatchTicks(1), 1u);
    EXPECT_EQ(r.device->OpenedPaths().back(), "/dev/ttyTEST5");
    EXPECT_EQ(r.Text("L_PNUM"), "COM5");
    EXPECT_EQ(r.C().HighlightedPort(), 5);
    EXPECT_EQ(r.Text("LL_DN"), "4711");
    EXPECT_EQ(r.StandingText(report_topic::kLink),
              "COM5: связь восстановлена в 12:41:07 (прежде COM3)");
}

TEST(LinkSupervision, ReturnedDeviceThatRefusesIsTriedAgainOnlyNowAndThen) {
    Rig r;
    r.C().StartExecute(3);
    r.Lose();
    r.device->RefuseOpen("/dev/ttyTEST3", {SerialFailureKind::Busy, {}, {}});
    r.Return(3, 3, "ttyACM0 #1");
    // Opening looks for other holders of the device, which costs: not on every tick.
    EXPECT_EQ(r.WatchTicks(1), 1u);
    EXPECT_EQ(r.WatchTicks(ConnectionControl::kRetryTicks - 1), 0u);
    EXPECT_EQ(r.WatchTicks(1), 1u);
    // A device made anew (unplugged and plugged in again) is tried at once.
    r.Return(3, 3, "ttyACM0 #2");
    r.device->AcceptOpen("/dev/ttyTEST3");
    EXPECT_EQ(r.WatchTicks(1), 1u);
    EXPECT_TRUE(r.form->Q().IsOpen());
}

TEST(LinkSupervision, StopOrAnotherPortEndsTheWatch) {
    for (const bool stop : {true, false}) {
        SCOPED_TRACE(stop ? "Стоп" : "another port");
        Rig r;
        r.C().StartExecute(3);
        r.Lose();
        if (stop) {
            r.C().StopActionExecute();
            EXPECT_EQ(r.Standing(report_topic::kLink), nullptr);
            EXPECT_EQ(r.C().LinkReason(), "");
        } else {
            r.device->RefuseOpen("/dev/ttyTEST5");
            r.C().StartExecute(5);
        }
        EXPECT_FALSE(r.C().WatchingForReturn());
        r.Return(3, 3, "pts/4 #2");
        EXPECT_EQ(r.WatchTicks(20), 0u);
        EXPECT_FALSE(r.form->Q().IsOpen());
    }
}

TEST(LinkSupervision, HalfLineOfOneUnitDoesNotLeadAnothersFirstLine) {
    Rig r;
    r.C().StartExecute(3);
    r.Feed(">ID=UNIT_A_PARTIAL");
    r.C().StartExecute(5);
    r.Feed(">MS=7\r\n");
    ASSERT_EQ(r.form->Log().Count(), 1u);
    EXPECT_EQ(r.form->Log().Line(0).find("UNIT_A"), std::string_view::npos);
    EXPECT_NE(r.form->Log().Line(0).find(">MS=7"), std::string_view::npos);
}

TEST(LinkSupervision, HotPlugFollowsThePortListKeepingMarkAndHighlight) {
    Rig r;
    struct Counter : ConnectionObserver {
        int rebuilt = 0;
        void PortsChanged() override { ++rebuilt; }
    } counter;
    const Subscription s = r.C().Subscribe(counter);
    r.C().PortItemClick(3);
    r.list = test::PortList({"COM3", "COM5", "COM7"});
    r.form->PortsHotPlugged();
    ASSERT_EQ(r.C().Ports().size(), 3u);
    EXPECT_EQ(r.C().Ports()[2].name, "COM7");
    EXPECT_EQ(r.C().CheckedPortItem(), 3);
    EXPECT_EQ(r.C().HighlightedPort(), 3);
    EXPECT_EQ(counter.rebuilt, 1);
    r.form->PortsHotPlugged();  // nothing changed: nothing rebuilt
    EXPECT_EQ(counter.rebuilt, 1);
    r.list = test::PortList({"COM5", "COM7"});
    r.form->PortsHotPlugged();
    EXPECT_EQ(r.C().Ports().size(), 2u);
    EXPECT_EQ(r.C().CheckedPortItem(), 0);
    EXPECT_EQ(r.C().HighlightedPort(), 0);
}

// Lines come in the serial driver's ticks, or are read by a direct poll.
TEST(LinkSupervision, SilentUnitIsReportedWithHowLongAndWithdrawnWhenALineArrives) {
    for (const bool inTick : {false, true}) {
        SCOPED_TRACE(inTick ? "in a tick" : "a direct poll");
        Rig r;
        const auto feed = [&](std::string_view bytes) {
            if (!inTick) return r.Feed(bytes);
            r.device->QueueRead(bytes);
            r.ticks.Tick();
        };
        r.C().StartExecute(3);
        feed(">DN=4711\r\n");
        r.nowMs += MainForm::kSilenceReportMs - 1;
        r.form->SuperviseLink();
        EXPECT_EQ(r.Standing(report_topic::kSilence), nullptr);
        r.nowMs += 1;
        r.form->SuperviseLink();
        EXPECT_EQ(r.StandingText(report_topic::kSilence), "COM3: устройство молчит 5 с");
        const std::size_t history = r.form->Reports().History().size();
        r.nowMs += 60000;
        r.form->SuperviseLink();
        EXPECT_EQ(r.StandingText(report_topic::kSilence), "COM3: устройство молчит 1 мин 05 с");
        EXPECT_EQ(r.form->Reports().History().size(), history);  // the same silence, told anew
        EXPECT_EQ(r.Text("LL_DN"), "4711");                      // the values stay as they were
        EXPECT_EQ(r.Text("L_PSTAT"), "Ok");

        feed(">DN=4712\r\n");
        EXPECT_EQ(r.Standing(report_topic::kSilence), nullptr);
        r.form->SuperviseLink();
        EXPECT_EQ(r.Standing(report_topic::kSilence), nullptr);

        // A closed port is not silent.
        r.nowMs += MainForm::kSilenceReportMs;
        r.form->SuperviseLink();
        ASSERT_NE(r.Standing(report_topic::kSilence), nullptr);
        r.C().StopActionExecute();
        EXPECT_EQ(r.Standing(report_topic::kSilence), nullptr);
        r.nowMs += MainForm::kSilenceReportMs;
        r.form->SuperviseLink();
        EXPECT_EQ(r.Standing(report_topic::kSilence), nullptr);
    }
}

TEST(LinkSupervision, CommandThatDidNotGoOutIsReported) {
    Rig r;
    r.C().StartExecute(3);
    r.device->SetWriteShortBy(1);  // the unit took all but the last byte in time
    r.form->ExecuteAction("DoCommand", ">I 1");
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0], "COM3: команда «>I 1» не отправлена: устройство не принимает данные");
    EXPECT_EQ(r.StandingText(report_topic::kSend), r.errors[0]);
    r.device->SetWriteShortBy(0);
    r.form->ExecuteAction("DoCommand", ">I 2");
    EXPECT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.Standing(report_topic::kSend), nullptr);
    // A write that finds the device gone: the command and the link are both reported.
    r.device->LoseOnWrite();
    r.form->ExecuteAction("DoCommand", ">I 3");
    ASSERT_EQ(r.errors.size(), 2u);
    EXPECT_EQ(r.errors[1], "COM3: команда «>I 3» не отправлена: связь потеряна");
    EXPECT_EQ(r.Text("L_PSTAT"), "Нет подключения");
    EXPECT_TRUE(r.C().WatchingForReturn());
}

}  // namespace
}  // namespace rv
