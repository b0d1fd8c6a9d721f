#pragma once
// What the console's display fields hold, in UTF-8: one field by name, or every field by name for
// comparing two sessions or the window with its model.

#include <map>
#include <string>
#include <string_view>

#include "protocol/DisplayModel.h"
#include "text/Cp1251.h"

namespace rv::test {

inline std::string FieldText(const DisplayModel& display, std::string_view name) {
    return Cp1251ToUtf8(display.Text(display.Field(name)));
}

inline std::map<std::string, std::string> DisplayState(const DisplayModel& display) {
    std::map<std::string, std::string> state;
    for (std::size_t i = 0; i < display.FieldCount(); ++i) {
        const int f = static_cast<int>(i);
        state[display.Name(f)] = Cp1251ToUtf8(display.Text(f));
    }
    return state;
}

// Everything the monitor view shows, as one comparable text: every field's text and colour, both
// bars, which sensor rows are open and whether the "no sensors" note shows.
inline std::string FullDisplayState(const DisplayModel& display) {
    std::string state;
    for (std::size_t i = 0; i < display.FieldCount(); ++i) {
        const int f = static_cast<int>(i);
        state += display.Name(f) + "=" + Cp1251ToUtf8(display.Text(f)) + " #" +
                 std::to_string(display.ColourOf(f)) + "\n";
    }
    state += "bars " + std::to_string(display.BarPosition(Bar::SignalLevel)) + " " +
             std::to_string(display.BarPosition(Bar::Battery)) + "\nrows";
    for (std::size_t row = 0; row < SensorRows().size(); ++row) {
        state += display.SensorRowOpen(static_cast<int>(row)) ? " 1" : " 0";
    }
    state += display.LabelNoVisible() ? "\nnote shown\n" : "\nnote hidden\n";
    return state;
}

}  // namespace rv::test
