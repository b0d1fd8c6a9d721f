#include "calibration/SettleWatch.h"

#include <algorithm>
#include <cmath>

namespace rv {

std::int64_t MillisecondsOf(const LocalDateTime& t) {
    // Days from 1970-01-01 of a proleptic Gregorian date.
    const int y = t.year - (t.month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int mp = (t.month + 9) % 12;
    const int doy = (153 * mp + 2) / 5 + t.day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const std::int64_t days = static_cast<std::int64_t>(era) * 146097 + doe - 719468;
    return ((days * 24 + t.hour) * 60 + t.minute) * 60000 + t.second * 1000 + t.millisecond;
}

namespace {

// Number and the step of its last digit.
std::optional<std::pair<double, double>> ParseReading(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    double value = 0, step = 1;
    bool digits = false, fraction = false;
    for (; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch >= '0' && ch <= '9') {
            digits = true;
            if (fraction) {
                step /= 10;
                value += (ch - '0') * step;
            } else {
                value = value * 10 + (ch - '0');
            }
        } else if ((ch == '.' || ch == ',') && !fraction) {
            fraction = true;
        } else if (ch == ' ') {
            if (text.find_first_not_of(' ', i) != std::string_view::npos) return std::nullopt;
            break;
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    return std::make_pair(negative ? -value : value, step);
}

}  // namespace

std::optional<double> ReadingNumber(std::string_view text) {
    if (auto parsed = ParseReading(text)) return parsed->first;
    return std::nullopt;
}

double SettleWatch::Band() const {
    if (step_ >= 1) return step_;  // integer readings: ±1 count
    return std::max(rules_.rangeFraction * (high_ - low_), step_);
}

void SettleWatch::Observe(std::string_view reading, std::int64_t nowMs) {
    const auto parsed = ParseReading(reading);
    if (!parsed) return;
    const double value = parsed->first;
    if (!known_) {
        known_ = true;
        anchor_ = low_ = high_ = value;
        step_ = parsed->second;
        changedMs_ = nowMs;
        return;
    }
    low_ = std::min(low_, value);
    high_ = std::max(high_, value);
    step_ = std::min(step_, parsed->second);
    // A small tolerance, so that a reading exactly on the band's edge stays inside it.
    if (std::fabs(value - anchor_) > Band() * (1 + 1e-9)) {
        anchor_ = value;
        changedMs_ = nowMs;
    }
}

SettleState SettleWatch::StateAt(std::int64_t nowMs) const {
    if (!known_) return {};
    const std::int64_t since = std::max<std::int64_t>(nowMs - changedMs_, 0);
    return {true, since >= rules_.settleMs, since};
}

}  // namespace rv
