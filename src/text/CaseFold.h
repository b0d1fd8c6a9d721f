#pragma once
// Case folding of Windows-1251 text, for searches that ignore case: every capital letter of the
// code page (Latin A..Z, the Russian alphabet with Ё, and the other Cyrillic capitals it holds:
// Ђ Ѓ Љ Њ Ќ Ћ Џ Ў Ј Ґ Є Ї І Ѕ) becomes its small letter; every other byte stays as it is. One byte
// stays one byte, so a position in folded text is the same position in the original.

#include <array>
#include <string>
#include <string_view>

namespace rv {

// By byte: the small letter of a capital, any other byte unchanged.
extern const std::array<unsigned char, 256> kCaseFold;

inline unsigned char FoldCase(unsigned char byte) {
    return kCaseFold[byte];
}
std::string FoldCase(std::string_view text);

}  // namespace rv
