#pragma once
// The computer's local time of day, for the traffic log, the calibration rows and file names.

#include "text/RegionalFormats.h"

namespace rv {

class SystemClock : public Clock {
  public:
    LocalDateTime Now() const override;
};

}  // namespace rv
