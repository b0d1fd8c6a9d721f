#pragma once
// The time axis of a session's histories: milliseconds since midnight of the day the session
// began, read from the console's clock. The live clock's date moves on at midnight by itself; a
// played traffic log only has the time of day of each line (the date is today's), so a file that
// runs past midnight would jump back a day: a step back of more than half a day is taken as the
// next day. A smaller step back (a clock set back, a played line without a time between recorded
// ones) is held at the latest point, so the axis never goes backwards.

#include <cstdint>

#include "text/RegionalFormats.h"

namespace rv {

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(int year, int month, int day);
void CivilFromDays(std::int64_t days, int& year, int& month, int& day);

class SessionAxis {
  public:
    static constexpr std::int64_t kDayMs = 86400000;

    // The axis point of a clock reading; the first reading after Reset fixes the session's day.
    std::int64_t Place(const LocalDateTime& t);
    void Reset() { *this = SessionAxis(); }
    bool Started() const { return started_; }

    // The local date and time of an axis point.
    LocalDateTime Wall(std::int64_t ms) const;

    // What the axis remembers, for going back to an earlier point of the session.
    struct State {
        bool started = false;
        std::int64_t originDay = 0;
        std::int64_t wrapMs = 0;
        std::int64_t lastMs = 0;
    };
    State Save() const { return {started_, originDay_, wrapMs_, lastMs_}; }
    void Restore(const State& s);

  private:
    bool started_ = false;
    std::int64_t originDay_ = 0;  // days since 1970-01-01 of the session's first reading
    std::int64_t wrapMs_ = 0;     // days added for played times that passed midnight
    std::int64_t lastMs_ = 0;
    int lastYear_ = 0, lastMonth_ = 0, lastDay_ = 0;  // the date last read, and its day number
    std::int64_t dayNumber_ = 0;
};

}  // namespace rv
