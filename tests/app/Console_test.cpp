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

// What the log's observers hear, in order: "+N" for LinesAppended(N), "clear" for LogCleared.
struct Heard : LogObserver {
    std::vector<std::string> events;
    void LinesAppended(std::size_t count) override {
        events.push_back("+" + std::to_string(count));
    }
    void LogCleared() override { events.push_back("clear"); }
};

TEST(Console, ABatchTellsItsLinesOnceAtItsEndAndAClearAfterTheLinesBeforeIt) {
    struct Case {
        const char* name;
        std::function<void(Console&)> run;
        std::vector<std::string> heard;
    };
    const std::vector<Case> cases = {
        {"no batch: every line at once",
         [](Console& c) {
             c.ReceiveLine("a\r\n");
             c.ReceiveLine("b\r\n");
         },
         {"+1", "+2"}},
        {"a batch: once, at its end",
         [](Console& c) {
             const Console::LogBatch batch(c);
             for (const char* line : {"a\r\n", "b\r\n", "c\r\n"}) c.ReceiveLine(line);
         },
         {"+3"}},
        {"nested: at the outer end",
         [](Console& c) {
             const Console::LogBatch outer(c);
             {
                 const Console::LogBatch inner(c);
                 c.ReceiveLine("a\r\n");
             }
             c.ReceiveLine("b\r\n");
         },
         {"+2"}},
        {"a clear within: the lines before it first",
         [](Console& c) {
             const Console::LogBatch batch(c);
             c.ReceiveLine("a\r\n");
             c.ReceiveLine("b\r\n");
             c.StatClearExecute();
             c.ReceiveLine("c\r\n");
         },
         {"+2", "clear", "+1"}},
        {"a batch without lines: nothing",
         [](Console& c) { const Console::LogBatch batch(c); },
         {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Fixture f;
        Heard heard;
        const Subscription sub = f.console.Subscribe(heard);
        k.run(f.console);
        EXPECT_EQ(heard.events, k.heard);
    }
}

// A tick's lines came in one read of the port: they carry one time. Each reading of this clock
// is a millisecond later than the one before.
TEST(Console, TheLinesOfABatchAreStampedWithOneReadingOfTheClock) {
    struct TickingClock : Clock {
        mutable int ms = 0;
        LocalDateTime Now() const override { return {2026, 12, 7, 9, 5, 7, ms++}; }
    };
    struct Case {
        const char* name;
        std::function<void(Console&)> run;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"no batch: a reading a line",
         [](Console& c) {
             c.ReceiveLine("a\r\n");
             c.ReceiveLine("b\r\n");
         },
         {"09:05:07.000  a", "09:05:07.001  b"}},
        {"a batch: one reading",
         [](Console& c) {
             const Console::LogBatch batch(c);
             for (const char* line : {"a\r\n", "b\r\n", "c\r\n"}) c.ReceiveLine(line);
         },
         {"09:05:07.000  a", "09:05:07.000  b", "09:05:07.000  c"}},
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
         {"09:05:07.000  a", "09:05:07.001  b", "09:05:07.001  c"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        RegionalFormats formats;
        TickingClock clock;
        Console console{formats, clock};
        clock.ms = 0;  // readings taken while the console was made do not count
        k.run(console);
        std::vector<std::string> lines;
        for (std::size_t i = 0; i < console.Log().Count(); ++i)
            lines.push_back(console.Log().Line(i));
        EXPECT_EQ(lines, k.lines);
    }
}

}  // namespace
}  // namespace rv
