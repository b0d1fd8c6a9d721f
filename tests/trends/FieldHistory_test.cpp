#include "trends/FieldHistory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "HistoryRig.h"
#include "app/Console.h"

namespace rv {
namespace {

using namespace trends_test;

constexpr std::int64_t k10h = 10 * kHour;

struct ConsoleRig {
    RegionalFormats formats = [] {
        RegionalFormats f;
        f.decimalSeparator = ',';
        return f;
    }();
    FixedClock clock;
    Console console{formats, clock};

    void Line(std::int64_t ms, const std::string& text) {
        clock.Set(At(ms));
        console.ReceiveLine(text + "\r\n");
    }
    Points Series(const char* field) const {
        return AsPoints(console.History().All(console.Display().Field(field)));
    }
};

// One stream through the receive frame, and what each field's history holds afterwards.
TEST(FieldHistory, RepliesGiveTimedSeriesPerField) {
    ConsoleRig rig;
    rig.Line(k10h + 0, ">PB=12600;4100");
    rig.Line(k10h + 500, ">GS=7;45;152;9;0");
    rig.Line(k10h + 1000, ">PB=12600;4100");
    rig.Line(k10h + 1500, ">GS=7;-;152;9;0");
    rig.Line(k10h + 2000, ">PB=12600;4100");
    rig.Line(k10h + 2500, ">GS=7;-;152;9;0");
    rig.Line(k10h + 3000, ">PB=11000;4100");
    rig.Line(k10h + 3500, ">GS=7;-;152;9;0");
    rig.Line(k10h + 4000, ">PB=11000;3900");
    rig.Line(k10h + 4500, ">GS=8;50;152;31;0");
    rig.Line(k10h + 5000, ">LLS=1;85;2000;30000;250");
    rig.Line(k10h + 6000, ">LLS=1;85;Err;30000;");
    rig.Line(k10h + 7000, ">TW=0;90061");
    rig.Line(k10h + 8000, ">MT=10240;0;12");

    struct Case {
        const char* field;
        Points expected;
    };
    const Case cases[] = {
        // A run of equal values keeps its first and its latest sample.
        {"LL_PB0",
         {{k10h, F(12.6)}, {k10h + 2000, F(12.6)}, {k10h + 3000, F(11)}, {k10h + 4000, F(11)}}},
        {"LL_PB1", {{k10h, F(4.1)}, {k10h + 3000, F(4.1)}, {k10h + 4000, F(3.9)}}},
        // "-" is a gap, not a zero; repeated gaps collapse like values.
        {"LL_GS1",
         {{k10h + 500, F(45)}, {k10h + 1500, kNone}, {k10h + 3500, kNone}, {k10h + 4500, F(50)}}},
        {"LL_GS0", {{k10h + 500, F(7)}, {k10h + 3500, F(7)}, {k10h + 4500, F(8)}}},
        {"LL_GS3", {{k10h + 500, F(0.9)}, {k10h + 3500, F(0.9)}, {k10h + 4500, F(3.1)}}},
        // Fuel level: the level as sent ("Err" is no number), the temperature read with its sign.
        {"LL_LS0Y", {{k10h + 5000, F(2000)}, {k10h + 6000, kNone}}},
        {"LL_LS0T", {{k10h + 5000, F(-6)}, {k10h + 6000, kNone}}},
        // The running time in hours, the traffic in bytes, the answer wait without its unit.
        {"LL_TW1", {{k10h + 7000, F(25 + 1 / 60.0 + 1 / 3600.0)}}},
        {"LL_MT1", {{k10h + 8000, F(10240)}}},
        {"LL_MT3", {{k10h + 8000, F(12)}}},
        // The send queue that ">MT=" resets: "0 [0] B".
        {"LL_MB", {{k10h + 8000, F(0)}}},
    };
    for (const Case& c : cases) EXPECT_EQ(rig.Series(c.field), c.expected) << c.field;

    const FieldHistory& h = rig.console.History();
    EXPECT_EQ(h.FirstMs(), k10h);
    EXPECT_EQ(h.LastMs(), k10h + 8000);
    // Identities, states and the console's own counter have no trend.
    for (const char* name : {"LL_DN", "LL_DS0", "LL_MS1", "LL_PIN", "LL_DI1", "L_PSTAT"})
        EXPECT_FALSE(h.Keeps(rig.console.Display().Field(name))) << name;
}

TEST(FieldHistory, TheClearActionStartsNewSeries) {
    ConsoleRig rig;
    rig.Line(k10h, ">PB=12600;4100");
    rig.Line(k10h + 1000, ">PB=12500;4100");
    rig.Line(k10h + 2000, ">SERV=0");  // the unit's own clear
    EXPECT_TRUE(rig.console.History().Empty());
    EXPECT_EQ(rig.Series("LL_PB0"), Points{});
    rig.Line(k10h + 3000, ">PB=12400;4100");
    EXPECT_EQ(rig.Series("LL_PB0"), (Points{{k10h + 3000, F(12.4)}}));
    EXPECT_EQ(rig.console.History().FirstMs(), k10h + 3000);

    rig.console.StatClearExecute();  // the menu's clear, also run when a port starts
    EXPECT_EQ(rig.Series("LL_PB0"), Points{});
    rig.Line(k10h + 4000, ">SERV=0\r\n>PB=12300;4100");  // cleared first, then shown
    EXPECT_EQ(rig.Series("LL_PB0"), (Points{{k10h + 4000, F(12.3)}}));
}

// Time runs on one axis for the session: a played file that passes midnight goes on.
TEST(FieldHistory, PlayedTimesPastMidnightGoOnTheNextDay) {
    ConsoleRig rig;
    const std::int64_t late = 24 * kHour - 1000;
    rig.Line(late, ">ML=10");
    rig.Line(500, ">ML=12");  // 00:00:00.500 with the same (today's) date
    EXPECT_EQ(rig.Series("LL_ML"), (Points{{late, F(10)}, {24 * kHour + 500, F(12)}}));
    const LocalDateTime wall = rig.console.History().Axis().Wall(24 * kHour + 500);
    EXPECT_EQ(wall.day, 15);
    EXPECT_EQ(wall.millisecond, 500);
}

TEST(SessionAxis, PlacesReadingsOnOneMonotonicAxis) {
    struct Step {
        LocalDateTime reading;
        std::int64_t expected;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"live clock over midnight",
         {{At(24 * kHour - 10), 24 * kHour - 10}, {At(5, 15), 24 * kHour + 5}}},
        {"played times over midnight",
         {{At(24 * kHour - 10), 24 * kHour - 10},
          {At(5), 24 * kHour + 5},
          {At(kHour), 25 * kHour}}},
        {"a small step back is held",
         {{At(k10h), k10h}, {At(k10h - 300), k10h}, {At(k10h + 1), k10h + 1}}},
        {"a second played midnight",
         {{At(23 * kHour), 23 * kHour},
          {At(kHour), 25 * kHour},
          {At(23 * kHour), 47 * kHour},
          {At(2), 48 * kHour + 2}}},
    };
    for (const Case& c : cases) {
        SessionAxis axis;
        for (const Step& s : c.steps) EXPECT_EQ(axis.Place(s.reading), s.expected) << c.name;
    }
}

// Feeds one field of a history directly, as the display's tap is fed.
struct DirectRig {
    RegionalFormats formats;
    DisplayModel display;
    FieldHistory history;
    explicit DirectRig(std::size_t bound = FieldHistory::kDefaultMemoryBound)
        : history(display, formats, bound) {}

    void Write(std::int64_t ms, const char* field, const std::string& text) {
        history.BeginLine(At(ms));
        history.ValueWritten(display.Field(field), text, true);
    }
    Points Series(const char* field) const { return AsPoints(history.All(display.Field(field))); }
};

TEST(FieldHistory, TruncateToAMarkDropsWhatCameAfterIt) {
    struct Write {
        std::int64_t ms;
        const char* text;
    };
    struct Case {
        const char* name;
        std::vector<Write> before, after;
        Points expected;  // LL_ML after going back to the mark
    };
    std::vector<Write> many;  // enough to take new chunks after the mark
    for (int i = 0; i < 100; ++i) many.push_back({1000 + i, i % 2 ? "[1]" : "[2]"});
    const Case cases[] = {
        {"new samples go",
         {{0, "[5]"}, {10, "[6]"}},
         {{20, "[7]"}, {30, "[8]"}},
         {{0, F(5)}, {10, F(6)}}},
        {"a run's end gets its time back",
         {{0, "[5]"}, {10, "[5]"}},
         {{20, "[5]"}, {30, "[5]"}},
         {{0, F(5)}, {10, F(5)}}},
        {"a gap's end too", {{0, "-"}, {10, "-"}}, {{20, "-"}}, {{0, kNone}, {10, kNone}}},
        {"chunks taken after the mark go", {{0, "[3]"}}, many, {{0, F(3)}}},
        {"to an empty series", {}, {{20, "[7]"}}, {}},
    };
    for (const Case& c : cases) {
        DirectRig rig;
        for (const Write& w : c.before) rig.Write(w.ms, "LL_ML", w.text);
        const std::size_t bytes = rig.history.MemoryBytes();
        const FieldHistory::Mark mark = rig.history.TakeMark();
        for (const Write& w : c.after) rig.Write(w.ms, "LL_ML", w.text);
        const Points whole = rig.Series("LL_ML");
        const auto stretch = rig.history.StretchSince(mark);
        ASSERT_TRUE(stretch.has_value()) << c.name;
        ASSERT_TRUE(rig.history.TruncateTo(mark)) << c.name;
        EXPECT_EQ(rig.Series("LL_ML"), c.expected) << c.name;
        EXPECT_EQ(rig.history.MemoryBytes(), bytes) << c.name;
        // Forward again along the stretch (a seek ahead in a played log), then back.
        ASSERT_TRUE(rig.history.Apply(*stretch)) << c.name;
        EXPECT_EQ(rig.Series("LL_ML"), whole) << c.name;
        rig.history.Apply(*stretch);  // laid on twice: refused, or nothing left to change
        EXPECT_EQ(rig.Series("LL_ML"), whole) << c.name << ": laid on twice";
        ASSERT_TRUE(rig.history.TruncateTo(mark)) << c.name;
        // Playing on from the mark gives what playing straight through would.
        rig.Write(40, "LL_ML", "[9]");
        Points more = c.expected;
        more.push_back({40, F(9)});
        EXPECT_EQ(rig.Series("LL_ML"), more) << c.name;
    }
}

TEST(FieldHistory, AMarkFromBeforeAClearIsRefused) {
    DirectRig rig;
    rig.Write(0, "LL_ML", "[5]");
    const FieldHistory::Mark mark = rig.history.TakeMark();
    rig.history.Clear();
    rig.Write(10, "LL_ML", "[6]");
    EXPECT_FALSE(rig.history.TruncateTo(mark));
    EXPECT_FALSE(rig.history.StretchSince(mark).has_value());
    EXPECT_EQ(rig.Series("LL_ML"), (Points{{10, F(6)}}));
}

// While a file plays, the samples a clear takes (the unit's clear request in the file) are kept
// aside: a seek back across the clear brings them back; a later branch of the file is dropped.
TEST(FieldHistory, SamplesAClearTookComeBackWhileAFilePlays) {
    struct Case {
        const char* name;
        bool keep;
        std::size_t bound;
        bool expectBack;
    } cases[] = {
        {"kept aside while a file plays", true, FieldHistory::kDefaultMemoryBound, true},
        {"freed in live work", false, FieldHistory::kDefaultMemoryBound, false},
        {"beyond the bound, dropped", true, 1, false},
    };
    for (const Case& c : cases) {
        DirectRig rig(c.bound);
        rig.history.KeepClearedSamples(c.keep);
        rig.Write(0, "LL_ML", "[5]");
        rig.Write(10, "LL_ML", "[6]");
        const FieldHistory::Mark beforeClear = rig.history.TakeMark();
        rig.Write(20, "LL_ML", "[7]");
        rig.history.Clear();
        rig.Write(30, "LL_ML", "[8]");
        const FieldHistory::Mark afterClear = rig.history.TakeMark();
        EXPECT_EQ(rig.history.TruncateTo(beforeClear), c.expectBack) << c.name;
        if (!c.expectBack) {
            EXPECT_EQ(rig.Series("LL_ML"), (Points{{30, F(8)}})) << c.name;
            continue;
        }
        EXPECT_EQ(rig.Series("LL_ML"), (Points{{0, F(5)}, {10, F(6)}})) << c.name;
        // The stretch after the clear was shown since: it is played again, not kept.
        EXPECT_FALSE(rig.history.CanTruncateTo(afterClear)) << c.name;
        rig.Write(40, "LL_ML", "[9]");
        EXPECT_EQ(rig.Series("LL_ML"), (Points{{0, F(5)}, {10, F(6)}, {40, F(9)}})) << c.name;
    }
}

// Seeking in a played file lays a stretch on again and may go back to a mark within it. A run
// that had gone on then begins a chunk at its later end, and going back gives it its earlier end.
TEST(FieldHistory, AMarkWithinAStretchLaidOnAgainIsGoneBackTo) {
    DirectRig rig;
    const FieldHistory::Mark start = rig.history.TakeMark();
    for (int i = 0; i < 16; ++i) rig.Write(i, "LL_ML", i % 2 ? "[1]" : "[2]");  // a whole chunk
    rig.Write(100, "LL_ML", "[1]");  // a run begins: its latest sample starts the next chunk
    const FieldHistory::Mark within = rig.history.TakeMark();
    const Points then = rig.Series("LL_ML");
    rig.Write(200, "LL_ML", "[1]");  // the run goes on
    const auto stretch = rig.history.StretchSince(start);
    ASSERT_TRUE(stretch.has_value());
    ASSERT_TRUE(rig.history.TruncateTo(start));
    ASSERT_TRUE(rig.history.Apply(*stretch));
    ASSERT_TRUE(rig.history.TruncateTo(within));
    EXPECT_EQ(rig.Series("LL_ML"), then);
}

// Any sequence of values, marks, seeks and thinning: a value adds a sample to the series as it
// stood, or moves the end of a run of equal values on; going back to a mark or forward along a
// stretch gives the series as it was then. A small bound makes the store thin now and then.
TEST(FieldHistory, EveryStepKeepsTheSeriesAsTheRulesSay) {
    const std::size_t bound = DirectRig().history.MemoryBytes() + 4 * 1024;
    DirectRig rig(bound);
    const int field = rig.display.Field("LL_ML");
    std::mt19937 random(7);
    const auto permille = [&](int n) { return static_cast<int>(random() % 1000) < n; };
    struct Snapshot {
        FieldHistory::Mark mark;
        Points series;
    };
    std::vector<Snapshot> marks;
    Points expected;  // the series as the rules build it
    std::int64_t ms = 0;
    int thinnings = 0, seeks = 0;
    for (int step = 0; step < 40000; ++step) {
        if (permille(990)) {
            ms += static_cast<std::int64_t>(random() % 20);
            // Mostly runs of one value, now and then another value or a gap.
            const int pick = static_cast<int>(random() % 10);
            const char* text = pick < 7 ? "[3]" : pick < 9 ? "[4]" : "-";
            const bool repeated = !expected.empty() && permille(300);
            rig.history.BeginLine(At(ms));
            rig.history.ValueWritten(field, text, !repeated);
            const std::optional<double> value = repeated    ? expected.back().second
                                                : pick == 9 ? kNone
                                                            : F(text[1] - '0');
            const std::size_t n = expected.size();
            if (n >= 2 && expected[n - 1].second == value && expected[n - 2].second == value) {
                expected.back().first = ms;
            } else {
                expected.push_back({ms, value});
            }
            const std::optional<TimedValue> last = rig.history.At(field, ms);
            ASSERT_TRUE(last.has_value()) << step;
            ASSERT_EQ(AsPoints({*last}).front(), expected.back()) << step;
            if (rig.history.Count(field) < expected.size()) {  // the bound was passed: thinned
                ++thinnings;
                expected = rig.Series("LL_ML");
            }
        } else if (permille(400)) {
            marks.push_back({rig.history.TakeMark(), expected});
        } else if (!marks.empty()) {
            // Mostly a few marks back, as a seek in a played file goes.
            const std::size_t back =
                marks.size() - 1 - random() % std::min<std::size_t>(marks.size(), 4);
            const auto stretch = rig.history.StretchSince(marks[back].mark);
            if (rig.history.TruncateTo(marks[back].mark)) {
                ++seeks;
                ASSERT_EQ(rig.Series("LL_ML"), marks[back].series) << step;
                if (stretch && permille(500)) {  // and forward again
                    ASSERT_TRUE(rig.history.Apply(*stretch)) << step;
                } else {
                    expected = marks[back].series;
                    marks.resize(back + 1);  // the values from here on differ from the ones before
                }
            }
        }
        if (step % 64 == 0) {
            ASSERT_EQ(rig.Series("LL_ML"), expected) << step;
        }
    }
    ASSERT_EQ(rig.Series("LL_ML"), expected);
    // The sequence went through what it is meant to test.
    EXPECT_GT(thinnings, 2);
    EXPECT_GT(seeks, 100);
}

// Every field changing every second for a working day fits under 100 MiB at full resolution.
TEST(FieldHistory, AWorkingDayOfEveryFieldFits) {
    DirectRig rig;
    const std::int64_t day = 9 * kHour;
    for (std::int64_t ms = 0; ms < day; ms += 1000) {
        rig.history.BeginLine(At(6 * kHour + ms));
        const int n = static_cast<int>(ms / 1000 % 1000);
        const std::string number = std::to_string(n);
        const std::string duration =
            "0:" + std::to_string(10 + n / 60 % 50) + ":" + std::to_string(10 + n % 50);
        for (const TrendField& f : TrendFields()) {
            rig.history.ValueWritten(rig.display.Field(f.name),
                                     f.reading == NumberReading::Duration ? duration : number,
                                     true);
        }
    }
    ASSERT_EQ(rig.history.KeptFields().size(), TrendFields().size());
    for (int field : rig.history.KeptFields())
        ASSERT_EQ(rig.history.Count(field), static_cast<std::size_t>(day / 1000));
    EXPECT_LT(rig.history.MemoryBytes(), std::size_t{100} << 20);
}

// Past its bound the history thins its oldest samples and stays under the bound; the start of
// the day, a short dip and a gap are still there.
TEST(FieldHistory, TheMemoryBoundHoldsOnABusyDay) {
    const std::size_t bound = std::size_t{1} << 20;
    DirectRig rig(bound);
    const std::int64_t dipAt = 3 * kHour, gapAt = 5 * kHour;
    std::size_t written = 0;
    for (std::int64_t ms = 0; ms < 24 * kHour; ms += 1000) {
        std::string text = std::to_string(12000 + ms / 1000 % 7) + " мс";
        if (ms == dipAt) text = "5 мс";
        if (ms == gapAt) text = "-";
        rig.Write(ms, "LL_MT3", text);
        rig.Write(ms, "LL_ML", "[" + std::to_string(ms / 1000 % 31) + "]");
        written += 2;
        ASSERT_LE(rig.history.MemoryBytes(), bound) << ms;
    }
    const std::size_t kept = rig.history.Count(rig.display.Field("LL_MT3")) +
                             rig.history.Count(rig.display.Field("LL_ML"));
    EXPECT_LT(kept, written);  // thinned ...
    const Points mt = rig.Series("LL_MT3");
    EXPECT_EQ(mt.front().first, 0);  // ... but nothing of the day dropped
    EXPECT_EQ(mt.back().first, 24 * kHour - 1000);
    EXPECT_NE(std::find(mt.begin(), mt.end(), Point{dipAt, F(5)}), mt.end());
    EXPECT_NE(std::find(mt.begin(), mt.end(), Point{gapAt, kNone}), mt.end());
}

}  // namespace
}  // namespace rv
