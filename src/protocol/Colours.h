#pragma once
// Colours as the unit's display rules name them: Windows colour values 0x00BBGGRR.

#include <cstdint>

namespace rv {

using Colour = std::uint32_t;

constexpr Colour kBlack = 0x00000000;
constexpr Colour kGrey = 0x00808080;
constexpr Colour kRed = 0x000000FF;
constexpr Colour kOlive = 0x00008080;
constexpr Colour kGreen = 0x00008000;

}  // namespace rv
