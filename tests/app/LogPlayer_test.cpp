#include "app/LogPlayer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "app/LogSave.h"
#include "support/DisplayState.h"
#include "support/TempFolder.h"
#include "text/Cp1251.h"

namespace rv {
namespace {

// A working unit's traffic: status cycles whose values move, sensors coming and going, inputs the
// calibration captures, settings read back, modem chatter, a line the decoders refuse, and (when
// asked) the unit's own clear request in the middle.
std::vector<std::string> Traffic(bool clearRequest = true, int cycles = 40) {
    std::vector<std::string> lines;
    const auto n = [](int v) { return std::to_string(v); };
    for (int t = 0; t < cycles; ++t) {
        lines.push_back(">GK=55." + n(751200 + t) + ";37." + n(618400 + t));
        lines.push_back(">GS=" + n(5 + t % 7) + ";" + n(t % 90) + ";152;" + n(9 + t % 25) + ";1");
        // The supply holds each value for three status cycles: runs of equal samples that span
        // checkpoints and end between them.
        lines.push_back(">PB=" + n(12600 - t / 3 * 10) + ";" + n(4100 - t % 300));
        lines.push_back(">ML=" + n(t % 32));
        lines.push_back(">MS=" + n(t % 8));
        lines.push_back(">MO=" + W("МегаФон") + ";25002");
        lines.push_back(">ID" + n(t % 4) + "=" + n(t % 2));
        lines.push_back(">IF2=" + n(1500 + t % 50));
        lines.push_back(">IA3=" + n(t % 11 < 6 ? 2400 + t : 2450));
        if (t > 5) lines.push_back(">LLS=1;" + n(5 + t % 3) + ";" + n(2000 + t) + ";30000;24");
        if (t % 9 == 4) lines.push_back(">OWT=28FF4A1B;" + n(20 + t % 5) + ".5");
        if (t % 13 == 7) lines.push_back(">GK=x;y");
        if (t % 10 == 2) lines.push_back(">PIN1=" + n(1000 + t));
        if (t % 10 == 3) lines.push_back(">ISS1=apn" + n(t) + ";u;");
        if (t == 21 && clearRequest) lines.push_back(">SERV=0");
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

    // The technician picks the inputs the traffic carries as calibration sources.
    void ChooseSources() {
        const char* sources[] = {"IN2 (частотный)", "IN3 (аналоговый)", "LLS0 (уровень)"};
        for (int n = 1; n <= 3; ++n) {
            KeptTableState table;
            table.channel = n;
            table.sourceName = W(sources[n - 1]);
            console.Calibration().RestoreChannel(n, table);
        }
    }
};

// Everything received lines change: the display, the calibration sources seen and each channel's
// entry row and settle watch, the traffic log line by line, the counter.
std::string State(Session& s) {
    Console& console = s.console;
    std::string state = test::FullDisplayState(console.Display()) + "sources";
    for (const std::string& source : console.Calibration().Sources()) {
        state += " " + Cp1251ToUtf8(source);
    }
    // The settle watches are read at the same moment in both sessions.
    const LocalDateTime now = s.live.Now();
    s.live.Set({2026, 12, 7, 23, 0, 0, 0});
    for (int n = 1; n <= kTarChannels; ++n) {
        const Recorder::Channel& c = console.Calibration().State(n);
        const SettleState settle = console.Calibration().Settle(n);
        state += "\nchannel " + Cp1251ToUtf8(c.ComboText()) + " " + c.pd2 + " " + c.pd3 +
                 " settle " + std::to_string(settle.known) + std::to_string(settle.settled) + " " +
                 std::to_string(settle.sinceChangeMs);
    }
    s.live.Set(now);
    // The fields' histories, sample by sample.
    const FieldHistory& history = console.History();
    for (const int field : history.KeptFields()) {
        if (history.Count(field) == 0) continue;
        state += "\nhistory " + console.Display().Name(field);
        for (const TimedValue& v : history.All(field)) {
            state +=
                " " + std::to_string(v.ms) + "=" + (v.IsGap() ? "gap" : std::to_string(v.value));
        }
    }
    return state + "\nbytes " + std::to_string(console.ReceivedBytes()) + "\nlog\n" +
           console.Log().FileText();
}

// The lines of two states that differ, for a readable failure.
std::string Difference(const std::string& a, const std::string& b) {
    std::istringstream as(a), bs(b);
    std::string la, lb, out;
    for (;;) {
        const bool moreA = static_cast<bool>(std::getline(as, la));
        const bool moreB = static_cast<bool>(std::getline(bs, lb));
        if (!moreA && !moreB) break;
        if (!moreA) la = "(none)";
        if (!moreB) lb = "(none)";
        if (la != lb) out += "  " + la + "\n  " + lb + "\n";
    }
    return out;
}

// Saves what a live session logged; the lines arrive 250 ms apart.
std::filesystem::path RecordedFile(const test::TempFolder& dir,
                                   const std::vector<std::string>& traffic = Traffic()) {
    Session live;
    int ms = 9 * 3600000;
    for (const std::string& line : traffic) {
        live.live.Set({2026, 12, 7, ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000});
        live.console.ReceiveLine(line + "\r\n");
        ms += 250;
    }
    const auto path = dir.path() / "field.log";
    EXPECT_FALSE(SaveLogFile(path.string(), live.console.Log()).has_value());
    return path;
}

// A capture of the unit's lines with their times, 250 ms apart, the clear request included (a
// saved log would begin after it).
std::filesystem::path CaptureFile(const test::TempFolder& dir,
                                  const std::vector<std::string>& traffic) {
    std::string bytes;
    int ms = 9 * 3600000;
    for (const std::string& line : traffic) {
        bytes += LogFile::TimeText(ms) + "  " + line + "\r\n";
        ms += 250;
    }
    const auto path = dir.path() / "capture.log";
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

// A fresh console fed the first `moment` lines of the file with their times.
void Feed(Session& fresh, const LogFile& file, std::size_t moment) {
    for (std::size_t i = 0; i < moment; ++i) {
        const std::int32_t ms = file.TimeMs(i);
        fresh.live.Set({2026, 12, 7, ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000});
        fresh.console.ReceiveLine(std::string(file.Text(i)) + "\r\n");
    }
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
    struct Case {
        const char* what;
        bool clearRequest;   // the log is cleared in the middle, so a seek writes its lines again
        bool chooseSources;  // calibration channels follow the inputs (not across a clear)
        std::size_t every;   // lines between checkpoints
    } cases[] = {
        {"with the unit's clear request", true, false, 7},
        {"with calibration sources chosen", false, true, 7},
        {"with a checkpoint after every line", false, true, 1},
        {"with checkpoints further apart than the file", true, false, 100000},
    };
    for (const Case& c : cases) {
        test::TempFolder dir;
        const LogFile file = Open(CaptureFile(dir, Traffic(c.clearRequest)));
        Session played;
        LogPlayer player(played.console, played.clock, file, c.every);
        if (c.chooseSources) played.ChooseSources();
        // Forward and back over many checkpoints, and forward past a checkpoint beyond the
        // position (after a seek back), onto a checkpoint, to the ends.
        std::mt19937 random(14);
        std::vector<std::size_t> moments = {file.Count(), 0, 1, 3 * c.every, c.every, file.Count()};
        for (std::size_t& moment : moments) moment = std::min(moment, file.Count());
        for (int i = 0; i < 24; ++i) moments.push_back(random() % (file.Count() + 1));
        for (std::size_t moment : moments) {
            player.SeekTo(moment);
            EXPECT_EQ(player.Position(), moment);
            Session fresh;
            if (c.chooseSources) fresh.ChooseSources();
            Feed(fresh, file, moment);
            EXPECT_EQ(Difference(State(played), State(fresh)), "")
                << c.what << ", moment " << moment;
        }
        EXPECT_EQ(player.CheckpointCount(), file.Count() / c.every + 1) << c.what;
    }
}

TEST(LogPlayer, AConsoleClearedByTheTechnicianGivesNoCheckpoint) {
    test::TempFolder dir;
    const LogFile file = Open(RecordedFile(dir, Traffic(false)));
    Session played;
    LogPlayer player(played.console, played.clock, file, 5);
    player.SeekTo(100);
    played.console.StatClearExecute();
    player.SeekTo(200);  // plays on from the cleared console
    for (std::size_t moment : {150, 260, 170}) {
        player.SeekTo(moment);
        Session fresh;
        Feed(fresh, file, moment);
        EXPECT_EQ(Difference(State(played), State(fresh)), "") << "moment " << moment;
    }
}

TEST(LogPlayer, WhatTheTechnicianDidStaysAcrossSeeks) {
    test::TempFolder dir;
    const LogFile file = Open(RecordedFile(dir, Traffic(false)));
    Session played;
    LogPlayer player(played.console, played.clock, file, 5);
    Recorder& recorder = played.console.Calibration();
    player.SeekTo(200);
    played.ChooseSources();
    player.SeekTo(240);
    recorder.pdN4Change(1, "10");
    recorder.cmdSNClick(1);
    recorder.pdN4Change(2, "20");  // typed against the reading shown: the entry row holds it
    const Recorder::Channel held = recorder.State(2);
    ASSERT_TRUE(held.CmdSVisible());
    recorder.SetComment(1, "bak");
    const std::vector<TarRow> rows = recorder.State(1).rows;
    ASSERT_EQ(rows.size(), 1u);
    for (std::size_t moment : {30, 380, 100}) {
        player.SeekTo(moment);
        EXPECT_EQ(recorder.State(1).rows, rows) << moment;
        EXPECT_EQ(recorder.State(1).comment, "bak") << moment;
        EXPECT_EQ(recorder.State(2).pd3, held.pd3) << moment;
        EXPECT_EQ(recorder.State(2).pd2, held.pd2) << moment;
        EXPECT_EQ(Cp1251ToUtf8(recorder.State(3).ComboText()), "LLS0 (уровень)") << moment;
    }
    // A source chosen after the checkpoint shows the reading the window shows at the moment.
    EXPECT_EQ(recorder.State(3).pd3,
              played.console.Display().Text(played.console.Display().Field("LL_LS0Y")));
}

}  // namespace
}  // namespace rv
