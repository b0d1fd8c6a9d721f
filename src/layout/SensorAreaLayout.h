#pragma once
// Geometry of the sensor area that does not depend on the widgets: the columns of the fuel-level
// table and the heights of its rows. The fuel-level rows (LLS0..LLS5) and their column-title row
// share one column rule, so the titles stand above their values at every width.

#include <string_view>

namespace rv {

// Pixel heights of a sensor-area row: folded until its first value, open afterwards.
constexpr int kSensorRowFolded = 1;
constexpr int kSensorRowShown = 20;

// Fixed parts of a fuel-level row, left to right: the sensor number caption, three gaps between
// the four columns, and the free space at the right end.
constexpr int kFuelLevelCaptionWidth = 40;
constexpr int kFuelLevelGap = 8;
constexpr int kFuelLevelRightMargin = 16;
constexpr int kFuelLevelFixedWidth =
    kFuelLevelCaptionWidth + 3 * kFuelLevelGap + kFuelLevelRightMargin;  // 80

// Below this width the temperature column title is shortened.
constexpr int kTemperatureTitleMinWidth = 70;

struct ColumnSpan {
    int x = 0;
    int width = 0;
};

// Columns of one fuel-level row (or of the column-title row) of the given width: the level and
// frequency columns each get (width - 80) / 3 (integer division), the temperature column takes
// what remains. A row narrower than its fixed parts gives empty columns, never negative ones.
struct FuelLevelColumns {
    ColumnSpan caption;
    ColumnSpan level;
    ColumnSpan frequency;
    ColumnSpan temperature;
};

FuelLevelColumns FuelLevelColumnsFor(int rowWidth);

// Title of the temperature column (UTF-8): "Температура" when its column is at least 70 pixels
// wide, otherwise the short "Темп.".
std::string_view TemperatureTitle(int temperatureWidth);

}  // namespace rv
