#pragma once
// The console's clock while a saved log plays: while a recorded line goes through the receive
// frame, the time of day is the line's recorded time (so the traffic log keeps the file's times and
// saving it writes the same lines); otherwise, and for the date, the live clock.

#include <cstdint>
#include <optional>

#include "text/RegionalFormats.h"

namespace rv {

class PlaybackClock : public Clock {
  public:
    explicit PlaybackClock(const Clock& live) : live_(live) {}

    LocalDateTime Now() const override {
        return recordedMs_ ? AtRecordedTime(live_.Now(), *recordedMs_) : live_.Now();
    }

    // The moment of a recorded time of day (milliseconds since midnight) on the day of `day`.
    static LocalDateTime AtRecordedTime(LocalDateTime day, std::int32_t recordedMs) {
        day.hour = recordedMs / 3600000;
        day.minute = recordedMs / 60000 % 60;
        day.second = recordedMs / 1000 % 60;
        day.millisecond = recordedMs % 1000;
        return day;
    }

    // Milliseconds since midnight of the line now played; nothing to follow the live clock again.
    void Follow(std::optional<std::int32_t> recordedMs) { recordedMs_ = recordedMs; }

  private:
    const Clock& live_;
    std::optional<std::int32_t> recordedMs_;
};

}  // namespace rv
