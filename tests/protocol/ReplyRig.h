#pragma once
// A reply handler on a fresh display for decoder tests: lines are written in UTF-8 and sent as
// Windows-1251 blocks; field texts are read back as UTF-8. Tables of reply cases run through
// ExpectReplies, each case on a fresh rig.

#include <gtest/gtest.h>

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
    // Sends several UTF-8 reply bodies as one block, each ended by CR LF.
    void Block(std::initializer_list<std::string_view> bodies) {
        std::string block;
        for (std::string_view b : bodies) block += W(b) + "\r\n";
        handler.Decode(block);
    }

    int F(std::string_view name) const { return display.Field(name); }
    std::string Text(std::string_view name) const {
        return Cp1251ToUtf8(display.Text(display.Field(name)));
    }
    Colour ColourOf(std::string_view name) const { return display.ColourOf(display.Field(name)); }
    bool RowOpen(std::string_view name) const {
        return display.SensorRowOpen(display.SensorRowOf(display.Field(name)));
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

// What one display field shows after a reply (UTF-8 text).
struct Shown {
    const char* field;
    std::string text;
    Colour colour;
};

// A reply line (UTF-8 body without CR LF, or a whole raw block when `raw`) and every field it
// writes.
struct ReplyCase {
    std::string line;
    std::vector<Shown> shown;
    char decimalSeparator = '.';
};

// Runs every case on a fresh rig and checks text and colour of each listed field; no case may
// report a conversion failure.
inline void ExpectReplies(const std::vector<ReplyCase>& cases) {
    for (const ReplyCase& c : cases) {
        ReplyRig rig(c.decimalSeparator);
        rig.Line(c.line);
        EXPECT_TRUE(rig.errors.empty()) << c.line;
        for (const Shown& s : c.shown) {
            EXPECT_EQ(rig.Text(s.field), s.text) << c.line << " -> " << s.field;
            EXPECT_EQ(rig.ColourOf(s.field), s.colour) << c.line << " -> " << s.field;
        }
    }
}

}  // namespace rv
