#pragma once
// Number, date and time texts with the injected regional formats (never the C locale).

#include <cstdint>
#include <string>

#include "text/RegionalFormats.h"

namespace rv {

// Fixed-point text with `decimals` digits after the separator, rounded as printf's "%.*f" does.
std::string FormatFixed(double value, int decimals, const RegionalFormats& formats);

// Decimal text of an integer.
std::string IntText(std::int64_t value);

// A date / time rendered with a pattern of RegionalFormats' token language.
std::string FormatDateTime(const LocalDateTime& t, const std::string& pattern);

// Short date of the user's formats.
std::string ShortDateText(const LocalDateTime& t, const RegionalFormats& formats);
// Long time of the user's formats.
std::string LongTimeText(const LocalDateTime& t, const RegionalFormats& formats);
// "hh:nn:ss" with the user's time separator: two-digit hour 00-23, minutes, seconds.
std::string HhNnSsText(const LocalDateTime& t, const RegionalFormats& formats);
// The platform's standard date-time text: short date, a blank, long time; the time is left out
// when it is exactly midnight.
std::string DateTimeText(const LocalDateTime& t, const RegionalFormats& formats);

// Calendar moment of a day-count date-time value (days since 1899-12-30, time as day fraction).
LocalDateTime FromDayCount(double dayCount);

}  // namespace rv
