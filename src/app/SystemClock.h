#pragma once
// The computer's local time of day, for the traffic log, the calibration rows and file names.

#include <ctime>

#include "text/RegionalFormats.h"

namespace rv {

class SystemClock : public Clock {
  public:
    LocalDateTime Now() const override;

  private:
    // Every received line is stamped, hundreds a second: the calendar fields of the current
    // second are worked out once (the time-zone conversion costs more than the rest of a line).
    mutable std::time_t second_ = -1;
    mutable LocalDateTime fields_{};
};

}  // namespace rv
