#include "app/SystemClock.h"

#include <chrono>

namespace rv {

LocalDateTime SystemClock::Now() const {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    if (seconds != second_) {
        std::tm tm{};
#ifdef _WIN32
        localtime_s(&tm, &seconds);
#else
        localtime_r(&seconds, &tm);
#endif
        fields_.year = tm.tm_year + 1900;
        fields_.month = tm.tm_mon + 1;
        fields_.day = tm.tm_mday;
        fields_.hour = tm.tm_hour;
        fields_.minute = tm.tm_min;
        fields_.second = tm.tm_sec;
        second_ = seconds;
    }
    LocalDateTime t = fields_;
    t.millisecond = static_cast<int>(ms < 0 ? ms + 1000 : ms);
    return t;
}

}  // namespace rv
