#pragma once
// The user's regional formats and the clock, injected into the core: the window reads them from
// the desktop, tests give fixed values, so no rule depends on the machine it runs on.

#include <string>

namespace rv {

// Date and time patterns use these tokens: d dd M MM yy yyyy (date), H HH h hh m mm s ss
// (time; h/hh are 12-hour only when the pattern holds AP or ap), AP ap (AM/PM marker); any other
// character is copied; text in single quotes is copied literally.
struct RegionalFormats {
    char decimalSeparator = '.';
    char timeSeparator = ':';
    std::string shortDateFormat = "dd.MM.yyyy";
    std::string longTimeFormat = "H:mm:ss";
};

struct LocalDateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() const = 0;
};

// A clock that always answers the same moment; tests set it.
class FixedClock : public Clock {
  public:
    explicit FixedClock(LocalDateTime t = {}) : now_(t) {}
    LocalDateTime Now() const override { return now_; }
    void Set(LocalDateTime t) { now_ = t; }

  private:
    LocalDateTime now_;
};

}  // namespace rv
