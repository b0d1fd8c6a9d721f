#pragma once
// Which display fields have a trend, how their text is read as a number, and what they are called.
//
// A field has a trend when the unit reports a quantity in it: voltages, signal level, speed,
// satellites, HDOP, memory and traffic counters, input values, CAN values, fuel levels and
// frequencies, temperatures, gas values. Texts that name a state (self-test, connection stage,
// update state), identities (unit ID, IMEI, firmware, container ID, server) and the console's own
// received-bytes counter have none. A text that holds no number ("-", "Err", "замкнут", the empty
// text) is a gap in the trend, never a zero.

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

// How the technician knows a field (UTF-8): the section or sensor group it stands in, and its
// caption without the colon. Rows whose caption the replies rewrite (inputs, sensor addresses)
// are named by what they show now.
struct TrendFieldLabel {
    std::string group;
    std::string caption;
};
TrendFieldLabel LabelOfTrendField(const DisplayModel& display, int field);

}  // namespace rv
