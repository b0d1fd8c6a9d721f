#include "app/Console.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace rv {
namespace {

struct Fixture {
    RegionalFormats formats;
    FixedClock clock{{2026, 12, 7, 9, 5, 7, 4}};
    Console console{formats, clock};
    int pin() const { return console.Display().Field("LL_PIN"); }
};

TEST(Console, EveryBlockIsCountedShownAndLogged) {
    Fixture f;
    f.console.ReceiveLine(">DN=1\r\n");
    EXPECT_EQ(f.console.ReceivedBytes(), 7);
    EXPECT_EQ(f.console.Display().Text(f.pin()), "7 B");
    EXPECT_EQ(f.console.Display().ColourOf(f.pin()), kGrey);
    ASSERT_EQ(f.console.Log().Count(), 1u);
    EXPECT_EQ(f.console.Log().Line(0), "09:05:07.004  >DN=1");
}

TEST(Console, ClearKeepsTheCounterButShowsADash) {
    Fixture f;
    f.console.ReceiveLine(std::string(100, 'x'));
    f.console.StatClearExecute();
    EXPECT_EQ(f.console.Display().Text(f.pin()), "-");
    EXPECT_EQ(f.console.Log().Count(), 0u);
    f.console.ReceiveLine(std::string(10, 'y'));
    EXPECT_EQ(f.console.Display().Text(f.pin()), "110 B");
}

TEST(Console, ZeroAndNegativeSizesGiveAnEmptyBlock) {
    Fixture f;
    f.console.QReceiveData(nullptr, 0);
    f.console.QReceiveData(nullptr, -3);
    EXPECT_EQ(f.console.ReceivedBytes(), 0);
    EXPECT_EQ(f.console.Log().Count(), 2u);
    EXPECT_EQ(f.console.Display().Text(f.pin()), "0");
}

// What the log's observers hear, in order: "+N" for LinesAppended(N) (N: the lines in the log),
// "clear" for LogCleared.
struct Heard : LogObserver {
    std::vector<std::string> events;
    void LinesAppended(std::size_t count) override {
        events.push_back("+" + std::to_string(count));
    }
    void LogCleared() override { events.push_back("clear"); }
};

// What a batch (the serial driver's tick) does with its lines: the observers hear of them once,
// at its end, a clear after the lines before it; and the lines carry one reading of the clock, as
// they came in one read of the port. Each reading of this clock is a millisecond after the last.
TEST(Console, ABatchTellsItsLinesOnceAtItsEndAndStampsThemWithOneReadingOfTheClock) {
    struct TickingClock : Clock {
        mutable int ms = 0;
        LocalDateTime Now() const override { return {2026, 12, 7, 9, 5, 7, ms++}; }
    };
    struct Case {
        const char* name;
        std::function<void(Console&)> run;
        std::vector<std::string> heard;
        std::vector<std::string> lines;  // the log afterwards
    };
    const std::vector<Case> cases = {
        {"no batch: every line at once, a reading a line",
         [](Console& c) {
             c.ReceiveLine("a\r\n");
             c.ReceiveLine("b\r\n");
         },
         {"+1", "+2"},
         {"09:05:07.000  a", "09:05:07.001  b"}},
        {"a batch: once, at its end, one reading",
         [](Console& c) {
             const Console::LogBatch batch(c);
             for (const char* line : {"a\r\n", "b\r\n", "c\r\n"}) c.ReceiveLine(line);
         },
         {"+3"},
         {"09:05:07.000  a", "09:05:07.000  b", "09:05:07.000  c"}},
        {"nested: at the outer end",
         [](Console& c) {
             const Console::LogBatch outer(c);
             {
                 const Console::LogBatch inner(c);
                 c.ReceiveLine("a\r\n");
             }
             c.ReceiveLine("b\r\n");
         },
         {"+2"},
         {"09:05:07.000  a", "09:05:07.000  b"}},
        {"a clear within: the lines before it first",
         [](Console& c) {
             const Console::LogBatch batch(c);
             c.ReceiveLine("a\r\n");
             c.ReceiveLine("b\r\n");
             c.StatClearExecute();
             c.ReceiveLine("c\r\n");
         },
         {"+2", "clear", "+1"},
         {"09:05:07.000  c"}},
        {"the next batch: a new reading",
         [](Console& c) {
             {
                 const Console::LogBatch batch(c);
                 c.ReceiveLine("a\r\n");
             }
             const Console::LogBatch batch(c);
             c.ReceiveLine("b\r\n");
             c.ReceiveLine("c\r\n");
         },
         {"+1", "+3"},  // the log's count
         {"09:05:07.000  a", "09:05:07.001  b", "09:05:07.001  c"}},
        {"a batch without lines: nothing",
         [](Console& c) { const Console::LogBatch batch(c); },
         {},
         {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        RegionalFormats formats;
        TickingClock clock;
        Console console{formats, clock};
        clock.ms = 0;  // readings taken while the console was made do not count
        Heard heard;
        const Subscription sub = console.Subscribe(heard);
        k.run(console);
        EXPECT_EQ(heard.events, k.heard);
        std::vector<std::string> lines;
        for (std::size_t i = 0; i < console.Log().Count(); ++i)
            lines.push_back(console.Log().Line(i));
        EXPECT_EQ(lines, k.lines);
    }
}

}  // namespace
}  // namespace rv
