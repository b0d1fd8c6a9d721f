#include "text/TextFinder.h"

#include <gtest/gtest.h>

#include "text/CaseFold.h"
#include "text/Cp1251.h"

namespace rv {
namespace {

// The code point of the one character a UTF-8 text holds.
char32_t CodePoint(const std::string& utf8) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]) & 0x3Fu; };
    const auto lead = static_cast<unsigned char>(utf8[0]);
    if (lead < 0x80) return lead;
    if (lead < 0xE0) return (char32_t{lead & 0x1Fu} << 6) | b(1);
    return (char32_t{lead & 0x0Fu} << 12) | (char32_t{b(1)} << 6) | b(2);
}

// Unicode's small letter for the scripts the code page holds: Latin, the Cyrillic capitals
// U+0400..U+042F and Ґ.
char32_t SmallLetter(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 0x20;
    if (c >= 0x0410 && c <= 0x042F) return c + 0x20;
    if (c >= 0x0400 && c <= 0x040F) return c + 0x50;
    if (c == 0x0490) return 0x0491;
    return c;
}

TEST(CaseFold, EveryCapitalOfTheCodePageBecomesItsSmallLetterAndNothingElseChanges) {
    int capitals = 0;
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string folded(1, static_cast<char>(FoldCase(static_cast<unsigned char>(b))));
        const char32_t expected = SmallLetter(CodePoint(Cp1251ToUtf8(byte)));
        EXPECT_EQ(CodePoint(Cp1251ToUtf8(folded)), expected) << "byte " << b;
        capitals += folded != byte;
    }
    EXPECT_EQ(capitals, 26 + 32 + 15);  // Latin, А..Я, the other Cyrillic capitals
    EXPECT_EQ(FoldCase(W("Ёж ЇЖАК Qz")), W("ёж їжак qz"));
}

TEST(TextFinder, FindsTheFirstPlaceWithOrWithoutCase) {
    struct Case {
        const char* needle;  // UTF-8
        const char* text;    // UTF-8
        bool matchCase;
        std::size_t from;
        std::size_t at;
    } cases[] = {
        {">LLS=", "x>LLS=1", false, 0, 1},  // a first byte without a case pair
        {">lls=", "x>LLS=1", false, 0, 1},
        {">lls=", "x>LLS=1", true, 0, TextFinder::npos},
        {"Ошибка", "связь: ОШИБКА", false, 0, 7},  // Cyrillic capitals
        {"ошибка", "связь: ОШИБКА", true, 0, TextFinder::npos},
        {"ёлка", "ЁЛКА", false, 0, 0},
        {"aa", "aAaA", false, 1, 1},
        {"aa", "aAaA", true, 1, TextFinder::npos},
        {"ab", "xxab", false, 3, TextFinder::npos},  // starts too late to fit
        {"abc", "ab", false, 0, TextFinder::npos},   // longer than the text
        {"", "abc", false, 0, TextFinder::npos},     // an empty query matches nothing
        {"c", "abc", false, 4, TextFinder::npos},    // beyond the end
        {"5", "12345", false, 0, 4},
    };
    for (const Case& c : cases) {
        const TextFinder finder(W(c.needle), c.matchCase);
        EXPECT_EQ(finder.Find(W(c.text), c.from), c.at) << c.needle << " in " << c.text;
    }
}

}  // namespace
}  // namespace rv
