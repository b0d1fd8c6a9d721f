#pragma once
// Shared by the trend tests: clock readings of one day and series compared as (time, value)
// pairs, with the values as the history stores them (single precision) and gaps as nothing.

#include <cstdint>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

#include "text/RegionalFormats.h"
#include "trends/TimedValue.h"

namespace rv::trends_test {

using Point = std::pair<std::int64_t, std::optional<double>>;
using Points = std::vector<Point>;

inline constexpr std::int64_t kHour = 3600000;

// A reading of 14 March 2025 at `ms` after midnight.
inline LocalDateTime At(std::int64_t ms, int day = 14) {
    return {2025,
            3,
            day,
            static_cast<int>(ms / kHour),
            static_cast<int>(ms / 60000 % 60),
            static_cast<int>(ms / 1000 % 60),
            static_cast<int>(ms % 1000)};
}

inline Points AsPoints(const std::vector<TimedValue>& samples) {
    Points out;
    for (const TimedValue& v : samples)
        out.push_back({v.ms, v.IsGap() ? std::nullopt : std::optional<double>(v.value)});
    return out;
}

// A value as a float holds it.
inline std::optional<double> F(double v) {
    return static_cast<double>(static_cast<float>(v));
}
inline const std::optional<double> kNone = std::nullopt;

}  // namespace rv::trends_test
