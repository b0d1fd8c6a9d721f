#include "app/LogPlayer.h"

#include <gtest/gtest.h>

#include <random>

#include "app/LogSave.h"
#include "support/DisplayState.h"
#include "support/TempFolder.h"
#include "text/Cp1251.h"

namespace rv {
namespace {

// A working unit's traffic: status cycles whose values move, sensors coming and going, modem
// chatter, a line the decoders refuse, and the unit's own clear request in the middle.
std::vector<std::string> Traffic() {
    std::vector<std::string> lines;
    const auto n = [](int v) { return std::to_string(v); };
    for (int t = 0; t < 40; ++t) {
        lines.push_back(">GK=55." + n(751200 + t) + ";37." + n(618400 + t));
        lines.push_back(">GS=" + n(5 + t % 7) + ";" + n(t % 90) + ";152;" + n(9 + t % 25) + ";1");
        lines.push_back(">PB=" + n(12600 - t % 400) + ";" + n(4100 - t % 300));
        lines.push_back(">ML=" + n(t % 32));
        lines.push_back(">MS=" + n(t % 8));
        lines.push_back(">MO=" + W("МегаФон") + ";25002");
        lines.push_back(">ID" + n(t % 4) + "=" + n(t % 2));
        lines.push_back(">IF2=" + n(1500 + t % 50));
        if (t > 5) lines.push_back(">LLS=1;" + n(5 + t % 3) + ";" + n(2000 + t) + ";30000;24");
        if (t % 9 == 4) lines.push_back(">OWT=28FF4A1B;" + n(20 + t % 5) + ".5");
        if (t % 13 == 7) lines.push_back(">GK=x;y");
        if (t == 21) lines.push_back(">SERV=0");
        lines.push_back("+CSQ: 18,99");
    }
    return lines;
}

struct Session {
    RegionalFormats formats;
    FixedClock live{{2026, 12, 7, 0, 0, 0, 0}};
    PlaybackClock clock{live};
    Console console{formats, clock};
    Session() { console.StatClearExecute(); }  // as the form starts
};

std::string State(Console& console) {
    std::string state = test::FullDisplayState(console.Display()) + "sources";
    for (const std::string& source : console.Calibration().Sources()) {
        state += " " + Cp1251ToUtf8(source);
    }
    return state + "\nlog " + std::to_string(console.Log().Count()) + " bytes " +
           std::to_string(console.ReceivedBytes());
}

// Saves what a live session logged; the lines arrive 250 ms apart.
std::filesystem::path RecordedFile(const test::TempFolder& dir) {
    Session live;
    int ms = 9 * 3600000;
    for (const std::string& line : Traffic()) {
        live.live.Set({2026, 12, 7, ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000});
        live.console.ReceiveLine(line + "\r\n");
        ms += 250;
    }
    const auto path = dir.path() / "field.log";
    EXPECT_FALSE(SaveLogFile(path.string(), live.console.Log()).has_value());
    return path;
}

LogFile Open(const std::filesystem::path& path) {
    auto result = ReadLogFile(path);
    if (auto* why = std::get_if<std::string>(&result)) ADD_FAILURE() << *why;
    return std::get<LogFile>(std::move(result));
}

TEST(LogPlayer, APlayedLogSavesToTheSameBytes) {
    test::TempFolder dir;
    const auto recorded = RecordedFile(dir);
    const LogFile file = Open(recorded);
    Session s;
    LogPlayer player(s.console, s.clock, file);
    player.Play(file.Count() + 5);
    EXPECT_TRUE(player.AtEnd());
    const auto again = dir.path() / "again.log";
    ASSERT_FALSE(SaveLogFile(again.string(), s.console.Log()).has_value());
    EXPECT_EQ(test::ReadAll(again), test::ReadAll(recorded));
    // After playback the console keeps the live clock again.
    EXPECT_EQ(s.clock.Now().hour, 0);
}

TEST(LogPlayer, ACutJournalPlaysItsWholeLines) {
    test::TempFolder dir;
    const auto recorded = RecordedFile(dir);
    const std::size_t whole = Open(recorded).Count();
    std::string bytes = test::ReadAll(recorded);
    bytes.resize(bytes.size() - 2);                         // the closing line end
    bytes.resize(bytes.rfind('\n', bytes.size() - 2) + 8);  // and a line cut after its first bytes
    std::ofstream(dir.path() / "cut.log", std::ios::binary) << bytes;
    const LogFile file = Open(dir.path() / "cut.log");
    EXPECT_EQ(file.SkippedLines(), 1u);
    EXPECT_EQ(file.Count(), whole - 1);
    Session s;
    LogPlayer player(s.console, s.clock, file);
    player.Play(file.Count());
    EXPECT_EQ(s.console.Log().Count(), file.Count());
}

TEST(LogPlayer, SeekingShowsTheConsoleAsItWasAtThatMoment) {
    test::TempFolder dir;
    const LogFile file = Open(RecordedFile(dir));
    Session played;
    LogPlayer player(played.console, played.clock, file);
    std::mt19937 random(14);
    std::vector<std::size_t> moments = {0, file.Count(), 1};
    for (int i = 0; i < 12; ++i) moments.push_back(random() % (file.Count() + 1));
    for (std::size_t moment : moments) {
        player.SeekTo(moment);
        Session fresh;
        for (std::size_t i = 0; i < moment; ++i) {
            const std::int32_t ms = file.TimeMs(i);
            fresh.live.Set({2026, 12, 7, ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000});
            fresh.console.ReceiveLine(std::string(file.Text(i)) + "\r\n");
        }
        EXPECT_EQ(State(played.console), State(fresh.console)) << "moment " << moment;
    }
}

}  // namespace
}  // namespace rv
