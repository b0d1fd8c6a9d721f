#include "layout/SensorAreaLayout.h"

#include <gtest/gtest.h>

#include <string>

namespace rv {
namespace {

TEST(FuelLevelColumns, LevelAndFrequencyShareAThirdOfTheFreeWidth) {
    struct Case {
        int rowWidth;
        int valueWidth;        // level and frequency
        int temperatureWidth;  // what remains
    };
    const Case cases[] = {
        {223, 47, 49},  // 143 free: 47 + 47 + 49
        {224, 48, 48},  // 144 free: three equal columns
        {225, 48, 49}, {226, 48, 50}, {300, 73, 74}, {80, 0, 0}, {83, 1, 1}, {82, 0, 2},
    };
    for (const auto& c : cases) {
        const FuelLevelColumns cols = FuelLevelColumnsFor(c.rowWidth);
        EXPECT_EQ(cols.level.width, c.valueWidth) << c.rowWidth;
        EXPECT_EQ(cols.frequency.width, c.valueWidth) << c.rowWidth;
        EXPECT_EQ(cols.temperature.width, c.temperatureWidth) << c.rowWidth;
        // Caption 40 at the left, 8-pixel gaps between the columns, 16 pixels free at the right.
        EXPECT_EQ(cols.caption.x, 0);
        EXPECT_EQ(cols.caption.width, 40);
        EXPECT_EQ(cols.level.x, 48);
        EXPECT_EQ(cols.frequency.x, cols.level.x + cols.level.width + 8) << c.rowWidth;
        EXPECT_EQ(cols.temperature.x, cols.frequency.x + cols.frequency.width + 8) << c.rowWidth;
        EXPECT_EQ(cols.temperature.x + cols.temperature.width + 16, c.rowWidth) << c.rowWidth;
    }
}

TEST(FuelLevelColumns, NarrowRowsGiveEmptyColumnsNotNegativeOnes) {
    for (int width : {79, 40, 1, 0, -5}) {
        const FuelLevelColumns cols = FuelLevelColumnsFor(width);
        EXPECT_EQ(cols.level.width, 0) << width;
        EXPECT_EQ(cols.frequency.width, 0) << width;
        EXPECT_EQ(cols.temperature.width, 0) << width;
    }
}

TEST(FuelLevelColumns, TemperatureTitleShortensBelowSeventyPixels) {
    struct Case {
        int rowWidth;
        const char* title;
    };
    // The temperature column takes the remainder of the division, so around 70 pixels the title
    // follows the remainder rather than the row width alone.
    const Case cases[] = {{223, "Темп."}, {285, "Темп."},       {286, "Температура"},
                          {287, "Темп."}, {288, "Температура"}, {500, "Температура"},
                          {0, "Темп."}};
    for (const auto& c : cases) {
        const int t = FuelLevelColumnsFor(c.rowWidth).temperature.width;
        EXPECT_EQ(std::string(TemperatureTitle(t)), c.title) << c.rowWidth;
    }
    EXPECT_EQ(std::string(TemperatureTitle(69)), "Темп.");
    EXPECT_EQ(std::string(TemperatureTitle(70)), "Температура");
}

}  // namespace
}  // namespace rv
