// The receive hold: when the lines the driver's ticks read are taken in, in which order and with
// which time.
#include "app/ReceiveHold.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rv {
namespace {

// Every reading is a millisecond later than the one before.
class SteppingClock : public Clock {
  public:
    LocalDateTime Now() const override { return {2026, 12, 9, 8, 0, 0, ms_++}; }

  private:
    mutable int ms_ = 0;
};

// Runs ticks, each reading the lines of one string (separated by '|'; a leading '!' says the window
// paints a frame at the tick's end), and returns what each tick's end took in as "line@ms" items,
// ticks separated by ' ' and "-" for a tick that took nothing in.
std::string RunTicks(ReceiveHold& hold, const std::vector<std::string>& ticks) {
    std::string out;
    for (const std::string& tick : ticks) {
        const bool frameDue = !tick.empty() && tick[0] == '!';
        const std::string lines = tick.substr(frameDue ? 1 : 0);
        hold.TickBegins();
        EXPECT_TRUE(hold.Holding());
        std::size_t begin = 0;
        while (begin < lines.size()) {
            std::size_t end = lines.find('|', begin);
            if (end == std::string::npos) end = lines.size();
            hold.Add(std::string_view(lines).substr(begin, end - begin));
            begin = end + 1;
        }
        std::string taken;
        if (hold.TickEnds(frameDue)) {
            hold.TakeIn([&taken](std::string_view block, const LocalDateTime& readAt) {
                taken += (taken.empty() ? "" : ",") + std::string(block) + "@" +
                         std::to_string(readAt.millisecond);
            });
            EXPECT_TRUE(hold.Empty());
        }
        EXPECT_FALSE(hold.Holding());
        out += (out.empty() ? "" : " ") + (taken.empty() ? std::string("-") : taken);
    }
    return out;
}

TEST(ReceiveHold, TakesInAtOnceWhenQuietAtAFrameAndAtLeastEveryFourthTickWhileLinesStream) {
    struct Case {
        const char* name;
        std::vector<std::string> ticks;
        const char* taken;
    };
    const Case cases[] = {
        {"a lone line after quiet is taken in at its own tick", {"a"}, "a@0"},
        {"nothing read, nothing taken in", {"", "", ""}, "- - -"},
        {"a stream: its first tick at once, then every fourth, each line with its tick's time",
         {"a|b", "c", "d", "e", "f|g", "h"},
         "a@0,b@0 - - - c@1,d@2,e@3,f@4,g@4 -"},
        {"a tick without lines still counts towards the fourth",
         {"a", "b", "", "", "c"},
         "a@0 - - - b@1,c@2"},
        {"four quiet ticks after a taking-in: the next line is taken in at once",
         {"a", "", "", "", "", "b"},
         "a@0 - - - - b@1"},
        {"a frame at a tick's end takes in what is held, whatever the count",
         {"a", "b", "!c", "d", "!", "e", "f", "g", "h"},
         "a@0 - b@1,c@2 - d@3 - - - e@4,f@5,g@6,h@7"},
        {"lines of empty text are kept in their place", {"a||b"}, "a@0,@0,b@0"},
    };
    for (const Case& c : cases) {
        SteppingClock clock;
        ReceiveHold hold(clock);
        EXPECT_EQ(RunTicks(hold, c.ticks), c.taken) << c.name;
    }
}

TEST(ReceiveHold, LinesReadWhileTakingInWaitForTheNextTakingIn) {
    SteppingClock clock;
    ReceiveHold hold(clock);
    hold.TickBegins();
    hold.Add("a");
    hold.Add("b");
    ASSERT_TRUE(hold.TickEnds());
    std::string taken;
    hold.TakeIn([&](std::string_view block, const LocalDateTime&) {
        taken += block;
        // Taking a line in may end up in the driver reading again (a port reopened).
        if (block == "a") {
            hold.TickBegins();
            hold.Add("c");
            hold.TickEnds();
        }
    });
    EXPECT_EQ(taken, "ab");
    ASSERT_FALSE(hold.Empty());
    hold.TakeIn([&](std::string_view block, const LocalDateTime& readAt) {
        taken += block;
        EXPECT_EQ(readAt.millisecond, 1);  // its own tick's reading, not the one of "a" and "b"
    });
    EXPECT_EQ(taken, "abc");
    EXPECT_TRUE(hold.Empty());
}

}  // namespace
}  // namespace rv
