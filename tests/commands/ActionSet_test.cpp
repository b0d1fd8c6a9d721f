#include "commands/ActionSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace rv {
namespace {

struct Recorder {
    std::vector<std::string> lines;
    ActionSet::SendFunction Send() {
        return [this](const std::string& line) {
            lines.push_back(line);
            return true;
        };
    }
};

class ChangeCounter : public ActionObserver {
  public:
    void ActionChanged(int action) override { changed.push_back(action); }
    std::vector<int> changed;
};

// The exact bytes of every fixed command, written out here independently of the catalogue.
struct FixedCommand {
    const char* action;
    const char* line;
};

const FixedCommand kFixedCommands[] = {
    {"DeviceRestart", "\r>D 1;0\n"},
    {"LogOn", "\r>D 10;1\n"},
    {"LogOff", "\r>D 10;0\n"},
    {"GSMLogOn", "\r>D 9;1\n"},
    {"GSMLogOff", "\r>D 9;0\n"},
    {"UpdateParam", "\r>I 0\n"},
    {"UpdateState", "\r>I 1\n"},
    {"GSMUpdate", "\r>I 7\n"},
    {"DeviceUpdateWeb", "\r>D 2;0\n"},
    {"DeviceUpdateLocal", "\r>D 3;0\n"},
    {"SettingsUpdateWeb", "\r>D 0;0\n"},
    {"CoordinatePack", "\r>D 4;1\n"},
    {"ClearMemory", "\r>D 8;0\n"},
    {"SettingsPinRead", "\r>I 4\n"},
    {"SettingsStrRead", "\r>I 3\n"},
    {"Test1", "\r>D 6;0\n"},
    {"Test2", "\r>D 7;0\n"},
    {"SettingsStrAuto", "\r>S ISS1 auto;auto;auto\n"},
    {"SettingsStrAuto2", "\r>S ISS2 auto;auto;auto\n"},
    {"SettingsStrRead2", "\r>I 9\n"},
};

TEST(ActionSet, EveryFixedCommandSendsItsExactLineOnce) {
    for (const auto& c : kFixedCommands) {
        Recorder rec;
        ActionSet actions(rec.Send());
        actions.Execute(c.action);
        ASSERT_EQ(rec.lines.size(), 1u) << c.action;
        EXPECT_EQ(rec.lines[0], std::string(c.line)) << c.action;
    }
}

TEST(ActionSet, EveryCatalogueRowIsCovered) {
    // Each action either has a fixed line listed above or is one of the run-time ones.
    const std::vector<std::string> runTime = {"DoCommand",        "GoHome",
                                              "SettingsPinWrite", "SettinsPinWrite2",
                                              "SettingsStrWrite", "SettingsStrWrite2"};
    ActionSet actions;
    for (int i = 0; i < actions.Count(); ++i) {
        const std::string name = actions.Info(i).name;
        bool listed = std::find(runTime.begin(), runTime.end(), name) != runTime.end();
        for (const auto& c : kFixedCommands) listed = listed || name == c.action;
        EXPECT_TRUE(listed) << name;
    }
}

TEST(ActionSet, FreeCommandLineAddsOnlyCrAndLf) {
    struct Case {
        std::string box;
        std::string sent;
    };
    const Case cases[] = {
        {">D 10;1", std::string("\r>D 10;1\n")},
        {"", std::string("\r\n")},
        {" >I 1 ", std::string("\r >I 1 \n")},  // not trimmed
        {std::string(">S 6;1") + '\0' + "2", std::string("\r>S 6;1") + '\0' + "2\n"},
    };
    for (const auto& c : cases) {
        Recorder rec;
        ActionSet actions(rec.Send());
        const std::string box = c.box;
        actions.DoCommandExecute(box);
        ASSERT_EQ(rec.lines.size(), 1u);
        EXPECT_EQ(rec.lines[0], c.sent);
    }
}

TEST(ActionSet, ActionsWithoutLineNeedTheirHandler) {
    Recorder rec;
    ActionSet actions(rec.Send());
    for (const char* name : {"DoCommand", "SettingsPinWrite", "SettinsPinWrite2",
                             "SettingsStrWrite", "SettingsStrWrite2"}) {
        EXPECT_THROW(actions.Execute(name), std::logic_error) << name;
    }
    EXPECT_TRUE(rec.lines.empty());
    int runs = 0;
    actions.SetExecuteHandler(actions.Index("DoCommand"), [&] {
        ++runs;
        actions.DoCommandExecute(">I 1");
    });
    actions.Execute("DoCommand");
    EXPECT_EQ(runs, 1);
    ASSERT_EQ(rec.lines.size(), 1u);
    EXPECT_EQ(rec.lines[0], "\r>I 1\n");
    // An installed handler replaces the fixed line too; removing it restores the line.
    actions.SetExecuteHandler(actions.Index("LogOn"), [&] { ++runs; });
    actions.Execute("LogOn");
    EXPECT_EQ(rec.lines.size(), 1u);
    actions.SetExecuteHandler(actions.Index("LogOn"), {});
    actions.Execute("LogOn");
    EXPECT_EQ(rec.lines.back(), "\r>D 10;1\n");
}

TEST(ActionSet, GoHomeOpensTheHomePageAndSendsNothing) {
    Recorder rec;
    ActionSet actions(rec.Send());
    std::vector<std::string> opened;
    actions.SetHomePageOpener([&](const std::string& address) { opened.push_back(address); });
    actions.Execute("GoHome");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], kHomePageAddress);
    EXPECT_TRUE(rec.lines.empty());
}

TEST(ActionSet, SendWithoutDriverReportsFailure) {
    ActionSet actions;
    EXPECT_FALSE(actions.Send("\r>I 1\n"));
    actions.Execute("UpdateState");  // dropped, no crash
    actions.SetSend([](const std::string&) { return false; });
    EXPECT_FALSE(actions.Send("\r>I 1\n"));
}

TEST(ActionSet, LinkRuleEnablesDeviceActionsWithTagZeroOnly) {
    ActionSet actions;
    const int goHome = actions.Index("GoHome");
    // At start nothing that writes to the port is enabled; the home page is.
    for (int i = 0; i < actions.Count(); ++i) EXPECT_EQ(actions.Enabled(i), i == goHome) << i;

    actions.ApplyLinkRule(true);
    for (int i = 0; i < actions.Count(); ++i) {
        const std::string name = actions.Info(i).name;
        const bool blocked = name == "SettingsPinWrite" || name == "SettinsPinWrite2" ||
                             name == "SettingsStrWrite" || name == "SettingsStrWrite2";
        EXPECT_EQ(actions.Tag(i), blocked ? 1 : 0) << name;
        EXPECT_EQ(actions.Enabled(i), !blocked) << name;
    }

    actions.SetTag(actions.Index("SettingsStrWrite"), 0);
    actions.SetTag(actions.Index("LogOn"), 2);
    actions.ApplyLinkRule(true);
    EXPECT_TRUE(actions.Enabled("SettingsStrWrite"));
    EXPECT_FALSE(actions.Enabled("LogOn"));

    actions.ApplyLinkRule(false);
    for (int i = 0; i < actions.Count(); ++i) EXPECT_EQ(actions.Enabled(i), i == goHome) << i;
}

TEST(ActionSet, ObserverHearsRealChangesOnly) {
    ActionSet actions;
    ChangeCounter counter;
    Subscription subscription = actions.Subscribe(counter);
    actions.ApplyLinkRule(false);  // already so: nothing changes
    EXPECT_TRUE(counter.changed.empty());
    actions.ApplyLinkRule(true);
    int deviceWithTagZero = 0;
    for (int i = 0; i < actions.Count(); ++i) {
        if (actions.IsDevice(i) && actions.Tag(i) == 0) ++deviceWithTagZero;
    }
    EXPECT_EQ(static_cast<int>(counter.changed.size()), deviceWithTagZero);
    counter.changed.clear();
    const int write = actions.Index("SettingsPinWrite");
    actions.SetTag(write, 1);
    EXPECT_TRUE(counter.changed.empty());
    actions.SetTag(write, 3);
    EXPECT_EQ(counter.changed, std::vector<int>{write});
    subscription.Reset();
    actions.SetTag(write, 0);
    EXPECT_EQ(counter.changed.size(), 1u);
}

}  // namespace
}  // namespace rv
