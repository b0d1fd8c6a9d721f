// The running console without widgets: lines from the device travel through the driver, the
// receive frame, the traffic log and the decoders; the clear, the error report and the close
// request behave as the technician relies on.
#include "app/MainForm.h"

#include <gtest/gtest.h>

#include "support/DisplayState.h"
#include "support/ScriptedPlatform.h"

namespace rv {
namespace {

struct Rig {
    Rig() {
        form = std::make_unique<MainForm>(formats, clock,
                                          test::ScriptedPlatform(
                                              device, &ticks,
                                              [] {
                                                  return test::PortList({"COM3", "COM9"});
                                              },
                                              &errors));
        form->FormCreate();
    }
    std::string Text(const char* name) const { return test::FieldText(form->Display(), name); }
    void Feed(std::string_view bytes) {
        device->QueueRead(bytes);
        form->Q().PollReceive();
    }

    RegionalFormats formats;
    FixedClock clock{{2026, 12, 8, 9, 5, 7, 4}};
    test::ManualTickSource ticks;
    test::ScriptedSerialDevice* device = nullptr;
    std::vector<std::string> errors;
    std::unique_ptr<MainForm> form;
};

TEST(MainForm, StartUpLeavesEveryFieldIdleAndNoPortOpen) {
    Rig r;
    EXPECT_FALSE(r.form->Q().IsOpen());
    EXPECT_EQ(r.form->Q().Port(), 99);
    EXPECT_EQ(r.form->Q().PortSpeed(), br115200);
    EXPECT_EQ(r.form->Q().EndByte(), 10);
    EXPECT_EQ(r.Text("LL_DN"), "-");
    EXPECT_EQ(r.Text("L_PSTAT"), "Нет подключения");
    EXPECT_EQ(r.form->Display().ColourOf(r.form->Display().Field("L_PSTAT")), kRed);
    EXPECT_EQ(r.Text("L_PNUM"), "---");
    EXPECT_EQ(r.form->Connection().Ports().size(), 2u);
    EXPECT_FALSE(r.form->Actions().Enabled("DeviceRestart"));
    EXPECT_TRUE(r.form->Actions().Enabled("GoHome"));
    EXPECT_TRUE(r.device->OpenedPaths().empty());
}

TEST(MainForm, LinesFromTheDeviceAreLoggedCountedAndDecoded) {
    Rig r;
    r.form->Connection().StartExecute(3);
    ASSERT_TRUE(r.form->Q().IsOpen());
    EXPECT_EQ(r.device->OpenedPaths().back(), "/dev/ttyTEST3");
    // Two lines in one read, the second split over two reads.
    r.Feed(">DN=123456\r\n>GK=55.75");
    r.Feed("12;37.6184\r\n");
    EXPECT_EQ(r.Text("LL_DN"), "123456");
    EXPECT_EQ(r.Text("LL_GK0"), "55.7512");
    EXPECT_EQ(r.Text("LL_GK1"), "37.6184");
    ASSERT_EQ(r.form->Log().Count(), 2u);
    EXPECT_EQ(r.form->Log().Line(1), "09:05:07.004  >GK=55.7512;37.6184");
    EXPECT_EQ(r.form->ReceivedBytes(), 12 + 21);
    EXPECT_EQ(r.Text("LL_PIN"), "33 B");
}

TEST(MainForm, ServZeroClearsFirstThenShowsTheRestOfTheBlock) {
    Rig r;
    r.form->Connection().StartExecute(3);
    r.Feed(">DN=777\r\n");
    r.Feed(">SERV=0\r>GK=1;2\r\n");
    EXPECT_EQ(r.Text("LL_DN"), "-");
    EXPECT_EQ(r.Text("LL_GK0"), "1");
    // The block is logged before it is decoded, so the clear it carries empties the log too:
    // after the unit's restart the window starts afresh.
    EXPECT_EQ(r.form->Log().Count(), 0u);
}

TEST(MainForm, AConversionFailureIsReportedAndEndsOnlyItsBlock) {
    Rig r;
    r.form->Connection().StartExecute(3);
    r.Feed(">GAS=10;abc\r>CA=100\r\n");
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0], "'abc' is not a valid integer value");
    EXPECT_EQ(r.Text("LL_CA"), "-");  // after the failure in the same block: not decoded
    r.Feed(">CA=100\r\n");
    EXPECT_EQ(r.Text("LL_CA"), "1.00");
}

TEST(MainForm, CommandsGoToTheOpenPortOnly) {
    Rig r;
    r.form->ExecuteAction("DeviceRestart");
    EXPECT_EQ(r.device->Written(), "");
    r.form->Connection().StartExecute(3);
    r.form->ExecuteAction("DeviceRestart");
    r.form->ExecuteAction("DoCommand", ">I 1");
    EXPECT_EQ(r.device->Written(), "\r>D 1;0\n\r>I 1\n");
}

TEST(MainForm, NothingReachesTheDecodersAfterTheCloseRequest) {
    Rig r;
    r.form->Connection().StartExecute(3);
    r.form->FormCloseQuery();
    EXPECT_FALSE(r.form->Q().IsOpen());
    r.device->QueueRead(">DN=5\r\n");
    r.form->Q().PollReceive();
    EXPECT_EQ(r.Text("LL_DN"), "-");
    EXPECT_EQ(r.form->Log().Count(), 0u);
}

TEST(MainForm, LinesReadOnTicksAreTakenInWithTheirTicksTimeAndNoneIsLostWhenThePortStops) {
    // The first tick after quiet is taken in at once; the next ones are held for the fourth tick,
    // which the port stopping (the technician's stop, the cable pulled, the window closed) does not
    // wait for.
    const std::function<void(Rig&)> stops[] = {
        [](Rig& r) { r.form->Connection().StopActionExecute(); },
        [](Rig& r) { r.form->FormCloseQuery(); },
        [](Rig& r) {
            r.device->QueueLoss();
            r.ticks.Tick();
        },
    };
    for (const auto& stop : stops) {
        Rig r;
        r.form->Connection().StartExecute(3);
        const char* reads[] = {">DN=1\r\n", ">DN=2\r\n", ">CA=100\r\n"};
        for (int i = 0; i < 3; ++i) {
            r.clock.Set({2026, 12, 8, 9, 5, 7, 10 * i});
            r.device->QueueRead(reads[i]);
            r.ticks.Tick();
        }
        EXPECT_EQ(r.Text("LL_DN"), "1");
        EXPECT_EQ(r.form->Log().Count(), 1u);
        r.clock.Set({2026, 12, 8, 9, 5, 8, 0});
        stop(r);
        EXPECT_FALSE(r.form->Q().IsOpen());
        EXPECT_EQ(r.Text("LL_DN"), "2");
        EXPECT_EQ(r.Text("LL_CA"), "1.00");
        ASSERT_EQ(r.form->Log().Count(), 3u);
        EXPECT_EQ(r.form->Log().Line(1), "09:05:07.010  >DN=2");
        EXPECT_EQ(r.form->Log().Line(2), "09:05:07.020  >CA=100");
    }
}

TEST(MainForm, AnUnreadablePortListIsReportedAndStartUpGoesOn) {
    RegionalFormats formats;
    FixedClock clock;
    test::ManualTickSource ticks;
    test::ScriptedSerialDevice* device = nullptr;
    std::vector<std::string> errors;
    MainForm form(
        formats, clock,
        test::ScriptedPlatform(
            device, &ticks, []() -> std::string { throw std::runtime_error("Permission denied"); },
            &errors));
    form.FormCreate();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Permission denied");
    EXPECT_EQ(test::FieldText(form.Display(), "L_PSTAT"), "Нет подключения");
}

TEST(MainForm, AnUntrustedPortsFolderIsReportedOnceAndWithdrawnWhenFixed) {
    RegionalFormats formats;
    FixedClock clock;
    test::ManualTickSource ticks;
    test::ScriptedSerialDevice* device = nullptr;
    std::vector<std::string> errors;
    auto platform = test::ScriptedPlatform(
        device, &ticks, [] { return test::PortList({"COM1"}); }, &errors);
    std::string problem = "Папка портов не используется: «/tmp/x» — ссылка, а не папка.";
    platform.portsFolderProblem = [&problem] { return problem; };
    MainForm form(formats, clock, std::move(platform));
    form.FormCreate();
    form.Connection().FindActionExecute();  // "Обновить список" again: nothing new to tell
    EXPECT_EQ(errors, std::vector<std::string>{problem});
    ASSERT_NE(form.Reports().Standing(report_topic::kPorts), nullptr);
    EXPECT_EQ(form.Reports().Standing(report_topic::kPorts)->text, problem);
    EXPECT_EQ(form.Connection().Ports().size(), 1u);  // the other ports are still offered

    problem.clear();
    form.Connection().FindActionExecute();
    EXPECT_EQ(form.Reports().Standing(report_topic::kPorts), nullptr);
    EXPECT_EQ(errors.size(), 1u);
}

}  // namespace
}  // namespace rv
