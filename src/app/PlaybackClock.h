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
        LocalDateTime t = live_.Now();
        if (recordedMs_) {
            t.hour = *recordedMs_ / 3600000;
            t.minute = *recordedMs_ / 60000 % 60;
            t.second = *recordedMs_ / 1000 % 60;
            t.millisecond = *recordedMs_ % 1000;
        }
        return t;
    }

    // Milliseconds since midnight of the line now played; nothing to follow the live clock again.
    void Follow(std::optional<std::int32_t> recordedMs) { recordedMs_ = recordedMs; }

  private:
    const Clock& live_;
    std::optional<std::int32_t> recordedMs_;
};

}  // namespace rv
