#include "trends/SessionAxis.h"

namespace rv {

// The civil-date algorithms of H. Hinnant (public domain), for years of either sign.
std::int64_t DaysFromCivil(int year, int month, int day) {
    const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

std::int64_t SessionAxis::Place(const LocalDateTime& t) {
    // Lines of one day follow each other: the day number is worked out when the date moves.
    if (t.year != lastYear_ || t.month != lastMonth_ || t.day != lastDay_) {
        lastYear_ = t.year, lastMonth_ = t.month, lastDay_ = t.day;
        dayNumber_ = DaysFromCivil(t.year, t.month, t.day);
    }
    const std::int64_t day = dayNumber_;
    if (!started_) {
        started_ = true;
        originDay_ = day;
        wrapMs_ = 0;
        lastMs_ = 0;
    }
    const std::int64_t ofDay =
        ((static_cast<std::int64_t>(t.hour) * 60 + t.minute) * 60 + t.second) * 1000 +
        t.millisecond;
    std::int64_t ms = (day - originDay_) * kDayMs + ofDay + wrapMs_;
    if (ms < lastMs_ - kDayMs / 2) {
        wrapMs_ += kDayMs;
        ms += kDayMs;
    }
    if (ms < lastMs_) ms = lastMs_;
    lastMs_ = ms;
    return ms;
}

LocalDateTime SessionAxis::Wall(std::int64_t ms) const {
    std::int64_t days = ms / kDayMs;
    std::int64_t ofDay = ms % kDayMs;
    if (ofDay < 0) ofDay += kDayMs, --days;
    LocalDateTime t;
    CivilFromDays(originDay_ + days, t.year, t.month, t.day);
    t.hour = static_cast<int>(ofDay / 3600000);
    t.minute = static_cast<int>(ofDay / 60000 % 60);
    t.second = static_cast<int>(ofDay / 1000 % 60);
    t.millisecond = static_cast<int>(ofDay % 1000);
    return t;
}

void SessionAxis::Restore(const State& s) {
    started_ = s.started;
    originDay_ = s.originDay;
    wrapMs_ = s.wrapMs;
    lastMs_ = s.lastMs;
}

}  // namespace rv
