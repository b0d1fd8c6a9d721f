#include "calibration/SettleWatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calibration/Recorder.h"
#include "protocol/Colours.h"

namespace rv {
namespace {

struct Reading {
    const char* text;
    std::int64_t atMs;
};

struct SettleCase {
    const char* name;
    std::vector<Reading> readings;
    std::int64_t askedAtMs;
    bool known;
    bool settled;
    std::int64_t sinceChangeMs;
};

class SettleTable : public ::testing::TestWithParam<SettleCase> {};

TEST_P(SettleTable, StateFollowsTheReadings) {
    const SettleCase& c = GetParam();
    SettleWatch watch;
    for (const Reading& r : c.readings) watch.Observe(r.text, r.atMs);
    const SettleState s = watch.StateAt(c.askedAtMs);
    EXPECT_EQ(s.known, c.known);
    EXPECT_EQ(s.settled, c.settled);
    EXPECT_EQ(s.sinceChangeMs, c.sinceChangeMs);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, SettleTable,
    ::testing::Values(
        SettleCase{"nothing_seen", {}, 50000, false, false, 0},
        SettleCase{"integer_within_one_count",
                   {{"100", 0}, {"101", 5000}, {"99", 10000}},
                   30000,
                   true,
                   true,
                   30000},
        SettleCase{
            "integer_just_before_the_settling_time", {{"100", 0}}, 29999, true, false, 29999},
        SettleCase{"integer_two_counts_restart_the_calm",
                   {{"100", 0}, {"102", 10000}, {"103", 20000}},
                   39000,
                   true,
                   false,
                   29000},
        SettleCase{"integer_steps_of_one_that_drift_away",
                   {{"100", 0}, {"101", 1000}, {"102", 2000}},
                   32000,
                   true,
                   true,
                   30000},
        SettleCase{"fraction_within_half_a_percent_of_the_range",
                   {{"0.0", 0}, {"50.0", 1000}, {"50.2", 2000}, {"49.8", 3000}},
                   31000,
                   true,
                   true,
                   30000},
        SettleCase{"fraction_beyond_half_a_percent_of_the_range",
                   {{"0.0", 0}, {"50.0", 1000}, {"50.3", 3000}},
                   31000,
                   true,
                   false,
                   28000},
        SettleCase{"decimal_comma_reads_like_a_point",
                   {{"0,0", 0}, {"50,0", 1000}, {"50,3", 3000}},
                   31000,
                   true,
                   false,
                   28000},
        SettleCase{"narrow_range_still_allows_one_step_of_the_last_digit",
                   {{"1.0", 0}, {"1.1", 1000}},
                   30000,
                   true,
                   true,
                   30000},
        SettleCase{"texts_that_are_no_number_are_ignored",
                   {{"100", 0}, {"", 1000}, {"---", 2000}, {"5 5", 3000}},
                   30000,
                   true,
                   true,
                   30000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MillisecondsOf, CountsAcrossMidnightAndMonthEnds) {
    const LocalDateTime before{2024, 2, 29, 23, 59, 50, 0};
    const LocalDateTime after{2024, 3, 1, 0, 0, 5, 250};
    EXPECT_EQ(MillisecondsOf(after) - MillisecondsOf(before), 15250);
}

void Choose(Recorder& rec, int n, const std::string& prefix) {
    rec.cmbDatNDropDown(n);
    const auto& items = rec.State(n).items;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].rfind(prefix, 0) == 0) return rec.cmbDatNChange(n, static_cast<int>(i));
    }
    FAIL() << "not offered: " << prefix;
}

// The recorder feeds the watch of every channel showing the source, also while a typed level
// freezes the entry row, and starts over when another source is chosen.
TEST(RecorderSettle, FollowsTheSourceEvenWhileTheEntryRowIsFrozen) {
    DisplayModel display;
    FixedClock clock({2024, 5, 1, 10, 0, 0, 0});
    RegionalFormats formats;
    Recorder rec(display, clock, formats);
    display.ClearDisplay();
    rec.InitTar();
    rec.SendTarDat("1", "A", "100");
    rec.SendTarDat("2", "A", "7");
    Choose(rec, 1, "IN1");
    rec.pdN4Change(1, "50");
    rec.SendTarDat("1", "A", "100");
    ASSERT_TRUE(rec.State(1).CmdSVisible());  // the entry row is frozen from here on
    clock.Set({2024, 5, 1, 10, 0, 20, 0});
    rec.SendTarDat("1", "A", "140");
    clock.Set({2024, 5, 1, 10, 0, 45, 0});
    EXPECT_FALSE(rec.Settle(1).settled);
    EXPECT_EQ(rec.Settle(1).sinceChangeMs, 25000);

    Choose(rec, 1, "IN2");  // the calm of IN1 says nothing about IN2
    EXPECT_FALSE(rec.Settle(1).known);
    rec.SendTarDat("2", "A", "7");
    clock.Set({2024, 5, 1, 10, 1, 0, 0});
    EXPECT_EQ(rec.Settle(1).sinceChangeMs, 15000);
}

}  // namespace
}  // namespace rv
