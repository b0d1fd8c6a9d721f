// End to end: the simulated unit on a real pseudo-terminal, published in a temporary ports folder,
// and the console's form with the real serial device reading it. Each test starts its own unit.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/MainForm.h"
#include "support/DisplayState.h"
#include "support/ScriptedSerialDevice.h"
#include "support/SimProcess.h"
#include "support/TempRuntimeDir.h"

namespace fs = std::filesystem;

namespace rv {
namespace {

using test::SimProcess;
using test::TempRuntimeDir;
using test::WaitFor;

struct Session {
    static constexpr int kPort = 9;
    Session() : Session({"--port", std::to_string(kPort), "--seed", "7"}) {}
    explicit Session(std::vector<std::string> args) : sim(std::move(args)) {}

    TempRuntimeDir runtime{"sim"};
    SimProcess sim;
    RegionalFormats formats;
    FixedClock clock{{2026, 12, 8, 9, 5, 7, 4}};
    test::ManualTickSource ticks;
    std::vector<std::string> errors;
    std::unique_ptr<MainForm> form;

    // Waits for the unit's link, then brings the console up (with the real serial device) and
    // starts the unit's port as the technician would.
    bool Connect() {
        if (!sim.Running()) return false;
        if (!WaitFor([&] { return fs::exists(runtime.Link(kPort)); })) return false;
        FormPlatform p;
        p.ticks = &ticks;
        p.reportError = [this](const std::string& m) { errors.push_back(m); };
        form = std::make_unique<MainForm>(formats, clock, std::move(p));
        form->FormCreate();
        form->Connection().PortItemClick(kPort);
        return form->Q().IsOpen();
    }
    std::string Text(const char* name) const { return test::FieldText(form->Display(), name); }
    bool Until(const std::function<bool()>& done) {
        return WaitFor(done, [&] { form->Q().PollReceive(); });
    }
    bool LogHas(std::string_view text) const { return LogIndex(text) >= 0; }
    // Index of the last log line that holds `text`, -1 when none does.
    long LogIndex(std::string_view text) const {
        for (std::size_t i = form->Log().Count(); i-- > 0;)
            if (form->Log().Line(i).find(text) != std::string_view::npos)
                return static_cast<long>(i);
        return -1;
    }
};

bool IsNumber(const std::string& s, double lo, double hi) {
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    return !s.empty() && *end == '\0' && v >= lo && v <= hi;
}

TEST(Sim, ConsoleFindsTheUnitAndDecodesItsReplies) {
    Session s;
    ASSERT_TRUE(s.Connect());
    // The unit is offered (beside whatever serial hardware this machine has).
    bool offered = false;
    for (const auto& p : s.form->Connection().Ports()) offered = offered || p.name == "COM9";
    EXPECT_TRUE(offered);
    EXPECT_EQ(s.Text("L_PSTAT"), "Ok");
    EXPECT_EQ(s.Text("L_PNUM"), "COM9");

    ASSERT_TRUE(s.Until([&] {
        return s.Text("LL_DI0") != "-" && s.Text("LL_DN") != "-" && s.Text("LL_GK0") != "-" &&
               s.Text("LL_MO") != "-" && s.Text("LL_MS7") != "-";
    }));
    EXPECT_EQ(s.Text("LL_DI0"), "Rarevi");
    EXPECT_EQ(s.Text("LL_DI1"), "1.5");
    EXPECT_EQ(s.Text("LL_DN").size(), 8u);
    EXPECT_EQ(s.Text("LL_MN").size(), 15u);
    EXPECT_TRUE(IsNumber(s.Text("LL_GK0"), 55.5, 56.0)) << s.Text("LL_GK0");
    EXPECT_TRUE(IsNumber(s.Text("LL_GK1"), 37.4, 37.9)) << s.Text("LL_GK1");
    EXPECT_EQ(s.Text("LL_MO"), "МегаФон [25002]");
    EXPECT_EQ(s.Text("LL_MS1"), "Оk");
    EXPECT_EQ(s.Text("LL_MS7"), "Ok");
    EXPECT_TRUE(s.errors.empty());
    EXPECT_GT(s.form->ReceivedBytes(), 0);
}

TEST(Sim, TheUnitStoresPinAndAccessPointAndReportsThemBack) {
    Session s;
    ASSERT_TRUE(s.Connect());
    s.form->ExecuteAction("SettingsPinRead");  // ">I 4"
    ASSERT_TRUE(s.Until([&] { return s.Text("LL_SP") == "0000" && s.Text("LL_SP2") == "0000"; }))
        << s.Text("LL_SP");
    s.form->ExecuteAction("DoCommand", ">S 6;4321");
    ASSERT_TRUE(s.Until([&] { return s.Text("LL_SP") == "4321"; })) << s.Text("LL_SP");
    s.form->ExecuteAction("DoCommand", ">S ISS1 internet.test;driver;secret7");
    s.form->ExecuteAction("DoCommand", ">S ISS2 auto;auto;auto");
    ASSERT_TRUE(
        s.Until([&] { return s.Text("LL_SS02") == "auto" && s.Text("LL_SS22") == "auto"; }));
    // Nonsense is ignored and the unit keeps talking; a fresh read gives what it stored.
    s.form->ExecuteAction("DoCommand", ">S 6;12;34;;\x01>>");
    s.form->ExecuteAction("SettingsStrRead");  // ">I 3"
    ASSERT_TRUE(s.Until([&] { return s.Text("LL_SS01") == "internet.test"; })) << s.Text("LL_SS01");
    EXPECT_EQ(s.Text("LL_SS11"), "driver");
    EXPECT_EQ(s.Text("LL_SS21"), "secret7");
    EXPECT_EQ(s.Text("LL_SP"), "4321");
}

TEST(Sim, LogOffStopsTheStream) {
    Session s;
    ASSERT_TRUE(s.Connect());
    ASSERT_TRUE(s.Until([&] { return s.LogHas(">GK="); }));
    s.form->ExecuteAction("LogOff");       // ">D 10;0"
    s.form->ExecuteAction("GSMLogOff");    // ">D 9;0"
    s.form->ExecuteAction("UpdateState");  // ">I 1": its answer marks where the stream stopped
    s.form->StatClearExecute();
    // The answer is self-test, supply, memory and clock, in that order.
    ASSERT_TRUE(s.Until([&] {
        const long ds = s.LogIndex(">DS=");
        return ds >= 0 && s.LogIndex(">TW=") > ds;
    }));
    s.form->StatClearExecute();
    // Navigation comes every second while the stream is on; two seconds bring none now.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < end) {
        s.form->Q().PollReceive();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(s.form->Log().Count(), 0u) << (s.form->Log().Count() ? s.form->Log().Line(0) : "");
    // Requests are still answered.
    s.form->ExecuteAction("UpdateParam");  // ">I 0"
    EXPECT_TRUE(s.Until([&] { return s.Text("LL_DI0") == "Rarevi"; }));
}

TEST(Sim, RestartClearsTheWindowThenTheUnitReportsAgain) {
    Session s;
    ASSERT_TRUE(s.Connect());
    ASSERT_TRUE(s.Until([&] { return s.Text("LL_TW1") != "-" && s.Text("LL_DN") != "-"; }));
    EXPECT_NE(s.Text("LL_TW1").rfind("0:00:", 0), 0u);  // it has been running for a while
    const std::string unitId = s.Text("LL_DN");
    s.form->ExecuteAction("DeviceRestart");  // ">D 1;0"
    bool cleared = false;
    ASSERT_TRUE(s.Until([&] {
        cleared = cleared || s.Text("LL_DN") == "-";
        return cleared && s.Text("LL_DN") != "-" && s.Text("LL_TW1") != "-";
    }));
    EXPECT_EQ(s.Text("LL_DN"), unitId);
    EXPECT_EQ(s.Text("LL_TW1").rfind("0:00:", 0), 0u) << s.Text("LL_TW1");  // just started
    ASSERT_GT(s.form->Log().Count(), 0u);
    EXPECT_NE(s.form->Log().Line(0).find(">DI="), std::string_view::npos);
}

TEST(Sim, PortWhoseUnitHasGoneCannotBeStarted) {
    Session s;
    ASSERT_TRUE(s.Connect());
    s.form->Connection().StopActionExecute();
    EXPECT_EQ(s.sim.Stop(), 0);
    s.form->Connection().StartExecute(Session::kPort);
    EXPECT_FALSE(s.form->Q().IsOpen());
    EXPECT_EQ(s.Text("L_PNUM"), "COM9");
    EXPECT_EQ(s.Text("L_PSTAT"), "Нет подключения");
    EXPECT_EQ(s.form->Display().ColourOf(s.form->Display().Field("L_PSTAT")), kRed);
    s.form->Connection().FindActionExecute();
    for (const auto& p : s.form->Connection().Ports()) EXPECT_NE(p.name, "COM9");
}

TEST(Sim, OneRoundOfEveryReplyFamilyFillsEverySection) {
    Session s{{"--port", "9", "--once"}};
    ASSERT_TRUE(s.Connect());
    // The last reply of the round is the last CAN key.
    ASSERT_TRUE(s.Until([&] { return s.Text("LL_CU") != "-"; }));
    for (const char* name :
         {"LL_DI0",     "LL_DI1",     "LL_DN",   "LL_MN",   "LL_DF0",   "LL_TW0", "LL_TW1",
          "LL_GK0",     "LL_GS0",     "LL_GS3",  "LL_RMC",  "LL_PB0",   "LL_PB1", "LL_RW0",
          "LL_RWRES",   "LL_DS0",     "LL_MS1",  "LL_MO",   "LL_ML",    "LL_MD0", "LL_MT1",
          "LL_MB",      "LL_MW1",     "LL_SA",   "LL_SS",   "LL_SMSIN", "LL_I0",  "LL_I3",
          "LL_I5",      "LL_LS0Y",    "LL_LS0T", "LL_LS2T", "LL_OW0",   "LL_OW1", "LL_GAS10",
          "LL_GAS1480", "LL_GAS1460", "LL_ML0",  "LL_ML1",  "LL_ML2",   "LL_ML3", "LL_ML5",
          "LL_ICT0",    "LL_ICT2",    "LL_CV0",  "LL_CV1",  "LL_CA",    "LL_CC",  "LL_CE",
          "LL_CG",      "LL_CK",      "LL_CR",   "LL_CT",   "LL_CU"}) {
        EXPECT_NE(s.Text(name), "-") << name;
        EXPECT_NE(s.Text(name), "") << name;
    }
    EXPECT_EQ(s.Text("LL_DS10"), "Ok");
    EXPECT_EQ(s.Text("LL_ML3").rfind("MSCU", 0), 0u) << s.Text("LL_ML3");
    EXPECT_EQ(s.Text("LLS0"), "1:");
    EXPECT_EQ(s.Text("LLOWT1"), "28F0E1D2C3B4:");
    EXPECT_TRUE(IsNumber(s.Text("LL_ML0"), -30, -5)) << s.Text("LL_ML0");
    EXPECT_TRUE(s.errors.empty()) << s.errors.front();
    EXPECT_FALSE(s.form->Display().LabelNoVisible());
    EXPECT_EQ(s.sim.Wait(), 0);  // --once ends by itself
}

TEST(Sim, ReplayOfASavedLogGivesTheSameDisplay) {
    TempRuntimeDir runtime("replay");
    std::string log;
    std::map<std::string, std::string> original;
    {
        Session s{{"--port", "9", "--once", "--seed", "11"}};
        ASSERT_TRUE(s.Connect());
        ASSERT_TRUE(s.Until([&] { return s.Text("LL_CU") != "-"; }));
        original = test::DisplayState(s.form->Display());
        log = s.form->Log().FileText();
    }
    const fs::path file = runtime.Root() / "session.log";
    {
        std::FILE* f = std::fopen(file.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(log.data(), 1, log.size(), f);
        std::fclose(f);
    }
    Session replay{{"--port", "9", "--replay", file.string(), "--speed", "0"}};
    ASSERT_TRUE(replay.Connect());
    ASSERT_TRUE(replay.Until([&] { return replay.Text("LL_CU") != "-"; }));
    EXPECT_EQ(test::DisplayState(replay.form->Display()), original);
    EXPECT_EQ(replay.form->Log().FileText(), log) << "same lines, same (fixed) arrival time";
    EXPECT_EQ(replay.sim.Wait(), 0);
}

TEST(Sim, NumberIsRefusedWhileTakenAndTheLinkGoesWithTheUnit) {
    TempRuntimeDir runtime("simnumber");
    SimProcess first({"--port", "7"});
    ASSERT_TRUE(WaitFor([&] { return fs::exists(runtime.Link(7)); }));
    SimProcess second({"--port", "7"});
    EXPECT_EQ(second.Wait(), 3);
    EXPECT_TRUE(fs::exists(runtime.Link(7)));

    EXPECT_EQ(first.Stop(SIGTERM), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(runtime.Link(7))));

    SimProcess third({"--port", "7"});
    ASSERT_TRUE(WaitFor([&] { return fs::exists(runtime.Link(7)); }));
    EXPECT_EQ(third.Stop(SIGINT), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(runtime.Link(7))));
}

TEST(Sim, UnitPublishesOnlyInAFolderOfTheUsersOwn) {
    TempRuntimeDir runtime("simfolder");
    for (const fs::path& folder : {runtime.PortsFolder(), runtime.PortsFolder().parent_path()}) {
        SCOPED_TRACE(folder);
        fs::permissions(folder, fs::perms::all);  // anybody may put a link there
        SimProcess sim({"--port", "4"});
        EXPECT_EQ(sim.Wait(), 1);
        EXPECT_FALSE(fs::exists(fs::symlink_status(runtime.Link(4))));
        fs::permissions(folder, fs::perms::owner_all);
    }
}

TEST(Sim, BadArgumentsAreRefused) {
    TempRuntimeDir runtime("simargs");
    for (const char* port : {"0", "100", "x"}) {
        SimProcess sim({"--port", port});
        EXPECT_EQ(sim.Wait(), 2) << port;
    }
    EXPECT_FALSE(fs::exists(runtime.Link(0)));
}

}  // namespace
}  // namespace rv
