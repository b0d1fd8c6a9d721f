#include "files/StateFolder.h"

#include <gtest/gtest.h>

#include <map>

#include "support/TempFolder.h"

namespace rv {
namespace {

namespace fs = std::filesystem;

EnvironmentLookup Environment(std::map<std::string, std::string> values) {
    return [values = std::move(values)](const char* name) -> std::optional<std::string> {
        const auto it = values.find(name);
        if (it == values.end()) return std::nullopt;
        return it->second;
    };
}

TEST(StateFolder, FollowsTheBaseDirectoryRules) {
    struct Case {
        std::map<std::string, std::string> environment;
        std::optional<fs::path> folder;
    } cases[] = {
        {{{"XDG_STATE_HOME", "/s"}, {"HOME", "/home/t"}}, fs::path("/s/revodive")},
        {{{"HOME", "/home/t"}}, fs::path("/home/t/.local/state/revodive")},
        {{{"XDG_STATE_HOME", ""}, {"HOME", "/home/t"}}, fs::path("/home/t/.local/state/revodive")},
        {{{"XDG_STATE_HOME", "rel"}, {"HOME", "/home/t"}},
         fs::path("/home/t/.local/state/revodive")},  // relative: ignored
        {{{"XDG_STATE_HOME", "/s"}}, fs::path("/s/revodive")},
        {{}, std::nullopt},
        {{{"HOME", ""}}, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto folder = StateFolder(Environment(c.environment));
        EXPECT_EQ(folder, c.folder) << (folder ? folder->string() : "(none)");
    }
}

TEST(StateFolder, SubfoldersAreMadeOnDemandPrivateToTheUser) {
    test::TempFolder home;
    const auto env = Environment({{"HOME", home.path().string()}});
    for (const char* name : {kJournalFolder, kCalibrationFolder}) {
        const StateSubfolder sub = EnsureStateSubfolder(name, env);
        EXPECT_EQ(sub.error, "");
        EXPECT_EQ(sub.path, home.path() / ".local/state/revodive" / name);
        for (const fs::path& made : {sub.path, sub.path.parent_path()})
            EXPECT_EQ(fs::status(made).permissions() & fs::perms::all, fs::perms::owner_all)
                << made;
        // A second call finds it.
        EXPECT_EQ(EnsureStateSubfolder(name, env).error, "");
    }
}

TEST(StateFolder, AFolderThatCannotBeMadeIsReported) {
    test::TempFolder home;
    test::WriteAll(home.path() / "state", "a file where the folder should be");
    const auto env = Environment({{"XDG_STATE_HOME", (home.path() / "state").string()}});
    const StateSubfolder sub = EnsureStateSubfolder(kJournalFolder, env);
    EXPECT_NE(sub.error.find((home.path() / "state/revodive/journal").string()), std::string::npos)
        << sub.error;
    EXPECT_EQ(EnsureStateSubfolder(kJournalFolder, Environment({})).error.empty(), false);
}

}  // namespace
}  // namespace rv
