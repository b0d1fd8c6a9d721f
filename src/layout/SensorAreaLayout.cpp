#include "layout/SensorAreaLayout.h"

#include <algorithm>

namespace rv {

FuelLevelColumns FuelLevelColumnsFor(int rowWidth) {
    const int free = std::max(0, rowWidth - kFuelLevelFixedWidth);
    const int valueWidth = free / 3;
    FuelLevelColumns c;
    c.caption = {0, kFuelLevelCaptionWidth};
    c.level = {c.caption.x + c.caption.width + kFuelLevelGap, valueWidth};
    c.frequency = {c.level.x + c.level.width + kFuelLevelGap, valueWidth};
    c.temperature = {c.frequency.x + c.frequency.width + kFuelLevelGap, free - 2 * valueWidth};
    return c;
}

std::string_view TemperatureTitle(int temperatureWidth) {
    return temperatureWidth >= kTemperatureTitleMinWidth ? "Температура" : "Темп.";
}

}  // namespace rv
