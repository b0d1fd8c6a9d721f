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

}  // namespace rv::test
