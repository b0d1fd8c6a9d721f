#include "calibration/TarChecks.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace rv {
namespace {

constexpr std::uint8_t T = kAgainstTrend, S = kSameLevel, L = kStepTooLarge, M = kStepTooSmall;

struct ChecksCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> levelAndReading;
    std::vector<std::uint8_t> flags;
};

std::vector<TarRow> Rows(const ChecksCase& c) {
    std::vector<TarRow> rows;
    for (const auto& [level, reading] : c.levelAndReading) {
        rows.push_back({std::to_string(rows.size() + 1), "10:00:00", reading, level, true});
    }
    return rows;
}

class ChecksTable : public ::testing::TestWithParam<ChecksCase> {};

TEST_P(ChecksTable, FlagsTheRows) {
    EXPECT_EQ(CheckTarRows(Rows(GetParam())), GetParam().flags);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ChecksTable,
    ::testing::Values(
        ChecksCase{"even_rising_table",
                   {{"10", "100"}, {"20", "200"}, {"30", "300"}, {"40", "400"}},
                   {0, 0, 0, 0}},
        ChecksCase{"falling_readings_are_a_trend_too",
                   {{"10", "900"}, {"20", "800"}, {"30", "700"}, {"40", "600"}},
                   {0, 0, 0, 0}},
        ChecksCase{"one_reading_against_its_neighbours",
                   {{"10", "100"}, {"20", "200"}, {"30", "350"}, {"40", "300"}, {"50", "500"}},
                   {0, 0, T, T, 0}},
        ChecksCase{"fractional_readings_with_a_comma",
                   {{"10", "1,5"}, {"20", "2,5"}, {"30", "2,4"}, {"40", "4,5"}},
                   {0, T, T, 0}},
        ChecksCase{"same_level_twice",
                   {{"10", "100"}, {"20", "200"}, {"20", "210"}, {"30", "300"}},
                   {0, S, S, 0}},
        ChecksCase{"mistyped_level_is_a_large_step_then_a_reversal",
                   {{"100", "10"}, {"200", "20"}, {"300", "30"}, {"4000", "40"}, {"500", "50"}},
                   {0, 0, 0, T | L, T | L}},
        ChecksCase{"a_short_pour",
                   {{"100", "10"}, {"200", "20"}, {"230", "23"}, {"330", "33"}, {"430", "43"}},
                   {0, 0, M, 0, 0}},
        ChecksCase{"steps_need_three_to_be_judged",
                   {{"100", "10"}, {"200", "20"}, {"900", "90"}},
                   {0, 0, 0}},
        ChecksCase{"texts_that_are_no_number_are_not_judged",
                   {{"10", "100"}, {"20", "---"}, {"30", "300"}},
                   {0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TarChecks, HiddenRowsAreNeitherFlaggedNorJudged) {
    std::vector<TarRow> rows = {
        {"1", "", "100", "10", true}, {"", "", "999", "10", false}, {"2", "", "200", "20", true}};
    EXPECT_EQ(CheckTarRows(rows), (std::vector<std::uint8_t>{0, 0, 0}));
}

TEST(TarChecks, ExportWarnsOfFewRowsAndOfFindings) {
    std::vector<TarRow> rows;
    for (int i = 1; i <= 10; ++i) {
        rows.push_back({std::to_string(i), "", std::to_string(i * 10), std::to_string(i * 100)});
    }
    EXPECT_TRUE(TarExportWarnings(rows).empty());
    rows.back().visible = false;
    EXPECT_EQ(TarExportWarnings(rows).size(), 1u);
    rows[3].level = "300";
    EXPECT_EQ(TarExportWarnings(rows).size(), 2u);
}

}  // namespace
}  // namespace rv
