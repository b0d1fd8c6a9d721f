#pragma once
// A reply handler on a fresh display for decoder tests: lines are written in UTF-8 and sent as
// Windows-1251 blocks; field texts are read back as UTF-8.

#include <string>
#include <string_view>
#include <vector>

#include "protocol/DisplayModel.h"
#include "protocol/ReplyHandler.h"
#include "support/RecordingCapture.h"
#include "text/Cp1251.h"

namespace rv {

struct ReplyRig {
    explicit ReplyRig(char decimalSeparator = '.') {
        formats.decimalSeparator = decimalSeparator;
        display.ClearDisplay();
    }

    // Sends the block exactly as given (Windows-1251 bytes).
    void Raw(std::string_view block) { handler.Decode(block); }
    // Sends a UTF-8 reply body as one line: Windows-1251, then CR LF.
    void Line(std::string_view body) {
        const std::string block = W(body) + "\r\n";
        handler.Decode(block);
    }

    std::string Text(std::string_view name) const {
        return Cp1251ToUtf8(display.Text(display.Field(name)));
    }
    Colour ColourOf(std::string_view name) const { return display.ColourOf(display.Field(name)); }
    bool RowOpen(std::string_view name) const {
        return display.SensorRowHeight(display.SensorRowOf(display.Field(name))) >= 20;
    }

    RegionalFormats formats;
    DisplayModel display;
    RecordingCapture capture;
    int clears = 0;
    std::vector<std::string> errors;
    ReplyHandler handler{display, formats, capture,
                         [this] {
                             ++clears;
                             display.ClearDisplay();
                         },
                         [this](const std::string& m) { errors.push_back(m); }};
};

}  // namespace rv
