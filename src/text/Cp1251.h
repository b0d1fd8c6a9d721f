#pragma once
// Windows-1251, the code page of the unit's serial stream and of every file the console writes.
// The core keeps such text as 8-bit byte strings; literals are written in UTF-8 in the source and
// turned into Windows-1251 once, by these functions.

#include <string>
#include <string_view>

namespace rv {

// UTF-8 -> Windows-1251. A character the code page cannot hold becomes '?'; when `lossless` is
// given it is set to false in that case (the settings editor refuses such input).
std::string Utf8ToCp1251(std::string_view utf8, bool* lossless = nullptr);

// Windows-1251 -> UTF-8; every byte maps to a character, so nothing is lost.
std::string Cp1251ToUtf8(std::string_view cp1251);

// Short form for literals: W("Ошибка") is the Windows-1251 text of a UTF-8 literal.
inline std::string W(std::string_view utf8) {
    return Utf8ToCp1251(utf8);
}

}  // namespace rv
