#include "app/Console.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace rv
