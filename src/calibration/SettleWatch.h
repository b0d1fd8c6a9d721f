#pragma once
// Whether a calibration channel's reading has settled after fuel was poured.
//
// Fuel sloshes and foams for a while after a pour, so a point saved too early records a reading
// that the calm tank would not give. The watch follows the readings of the channel's source and
// calls the reading settled once it has stayed within a small band around the reading where the
// calm began for the settling time. It only advises the technician: saving is never held back.
//
// The band is ±1 count for integer readings (the smallest step the sensor can report, so a calm
// sensor toggling between two neighbouring counts still counts as calm) and ±0.5% of the range
// the readings have covered on this channel for readings with a fraction, but never narrower
// than one step of their last shown digit.

#include <cstdint>
#include <optional>
#include <string_view>

#include "text/RegionalFormats.h"

namespace rv {

struct SettleRules {
    double rangeFraction = 0.005;   // ±0.5% of the readings' range
    std::int64_t settleMs = 30000;  // 30 s within the band
};

struct SettleState {
    bool known = false;              // a reading has been seen since the source was chosen
    bool settled = false;            // within the band for the settling time
    std::int64_t sinceChangeMs = 0;  // time since the reading last left the band
};

// Milliseconds of a calendar moment on a continuous scale (differences are what count).
std::int64_t MillisecondsOf(const LocalDateTime& t);

// A reading text as a number: an optional sign, digits, one "." or "," as the decimal point.
std::optional<double> ReadingNumber(std::string_view text);

class SettleWatch {
  public:
    SettleWatch() = default;
    explicit SettleWatch(SettleRules rules) : rules_(rules) {}

    // Forgets every reading (another source was chosen, or the channel was emptied).
    void Reset() { *this = SettleWatch(rules_); }
    // A reading of the source arrived at `nowMs`; texts that are not numbers are ignored.
    void Observe(std::string_view reading, std::int64_t nowMs);
    SettleState StateAt(std::int64_t nowMs) const;

  private:
    double Band() const;

    SettleRules rules_{};
    bool known_ = false;
    double anchor_ = 0;  // the reading where the current calm began
    double low_ = 0, high_ = 0;
    double step_ = 1;  // one step of the last shown digit
    std::int64_t changedMs_ = 0;
};

}  // namespace rv
