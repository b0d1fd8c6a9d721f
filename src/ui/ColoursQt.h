#pragma once
// Windows colour values (0x00BBGGRR), as the unit's display rules and the window's design name
// them, turned into Qt colours.

#include <QColor>

#include "protocol/Colours.h"

namespace rv {

inline QColor ToQColor(Colour c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

// Colours of the window's design.
constexpr Colour kLightGreen = 0x00C0DCC0;  // strips, header cells, port cells
constexpr Colour kWhite = 0x00FFFFFF;
constexpr Colour kLightGrey = 0x00EEEEEE;  // columns 2 and 4, copyable and settings edit boxes
constexpr Colour kFrameGrey = 0x00E5E5E5;  // lower and right frame edges of the framed panel

}  // namespace rv
