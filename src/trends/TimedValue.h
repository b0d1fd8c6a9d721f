#pragma once
// One point of a field's history: when (milliseconds on the session's axis) and what it showed.

#include <cmath>
#include <cstdint>
#include <limits>

namespace rv {

struct TimedValue {
    std::int64_t ms = 0;
    double value = 0;  // NaN: the field showed no number then (a gap)

    bool IsGap() const { return std::isnan(value); }
    friend bool operator==(const TimedValue& a, const TimedValue& b) {
        return a.ms == b.ms && (a.value == b.value || (a.IsGap() && b.IsGap()));
    }
};

inline constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

}  // namespace rv
