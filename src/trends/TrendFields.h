#pragma once
// Which display fields have a trend, how their text is read as a number, and what they are called.
//
// A field has a trend when the unit reports a quantity in it: voltages, signal level, speed,
// satellites, HDOP, memory and traffic counters, input values, CAN values, fuel levels and
// frequencies, temperatures, gas values. Texts that name a state (self-test, connection stage,
// update state), identities (unit ID, IMEI, firmware, container ID, server) and the console's own
// received-bytes counter have none. A text that holds no number ("-", "Err", "замкнут", the empty
// text) is a gap in the trend, never a zero.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rv {

class DisplayModel;

enum class NumberReading {
    Leading,  // the number at the start: "12,50 В", "[17]", "+23", "3[512] B", "340/5", "1500 rpm"
    ByteSize,  // the byte-size text: "0", "812 B", "10,5 KB", "1,2 MB" (in bytes)
    Duration,  // a running time "25:01:01" (in hours)
};

struct TrendField {
    const char* name;  // display field
    NumberReading reading;
};

// Every field with a trend, in the order the monitor view shows them.
const std::vector<TrendField>& TrendFields();

// The number a field's text holds, nothing when it holds none. The decimal separator is the full
// stop or `decimalSeparator` (the one the console formats its numbers with).
std::optional<double> ReadFieldNumber(std::string_view text, NumberReading reading,
                                      char decimalSeparator);

inline bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number at `at` of a text (sign, digits, one decimal separator and digits); `at` moves past
// it. Read on the receive path for every value that changed, so the digits are gathered as one
// integer and scaled once; a number of more than 18 digits (never sent) takes the slow way.
inline std::optional<double> ReadLeadingNumber(std::string_view text, std::size_t& at,
                                               char separator) {
    // Powers of ten are exact doubles up to 1e22: one division rounds the value correctly.
    static constexpr double kTens[] = {1,    1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9,
                                       1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin + at;
    while (p < end && *p == ' ') ++p;
    if (p < end && *p == '[') ++p;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
    std::uint64_t digits = 0;
    const char* const whole = p;
    while (p < end && IsDecimalDigit(*p)) digits = digits * 10 + static_cast<unsigned>(*p++ - '0');
    const std::ptrdiff_t wholeDigits = p - whole;
    const char* fraction = p;
    if (p + 1 < end && (*p == '.' || *p == separator) && IsDecimalDigit(p[1])) {
        fraction = ++p;
        while (p < end && IsDecimalDigit(*p))
            digits = digits * 10 + static_cast<unsigned>(*p++ - '0');
    }
    const std::ptrdiff_t fractionDigits = p - fraction;
    at = static_cast<std::size_t>(p - begin);
    if (wholeDigits + fractionDigits == 0) return std::nullopt;
    double value;
    if (wholeDigits + fractionDigits <= 18) {
        value = static_cast<double>(digits) / kTens[fractionDigits];
    } else {
        value = 0;
        for (const char* d = whole; d < whole + wholeDigits; ++d) value = value * 10 + (*d - '0');
        double scale = 0.1;
        for (const char* d = fraction; d < fraction + fractionDigits; ++d, scale /= 10)
            value += (*d - '0') * scale;
    }
    return negative ? -value : value;
}

// How the technician knows a field (UTF-8): the section or sensor group it stands in, and its
// caption without the colon. Rows whose caption the replies rewrite (inputs, sensor addresses)
// are named by what they show now.
struct TrendFieldLabel {
    std::string group;
    std::string caption;
};
TrendFieldLabel LabelOfTrendField(const DisplayModel& display, int field);

}  // namespace rv
