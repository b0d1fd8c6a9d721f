#include "text/Cp1251.h"

#include <gtest/gtest.h>

namespace rv {
namespace {

struct Case {
    const char* utf8;
    std::string bytes;
};

TEST(Cp1251, MixedScriptLiteralsKeepTheirExactBytes) {
    // Literals that mix Latin and Cyrillic letters: the unit and the technician's files rely on
    // every byte being the one the console has always written.
    const Case cases[] = {
        {"Hе требуется", std::string("\x48\xE5\x20\xF2\xF0\xE5\xE1\xF3\xE5\xF2\xF1\xFF")},
        {"Оk", std::string("\xCE\x6B")},
        {"Ok", std::string("Ok")},
        {"№", std::string("\xB9")},
        {"Ё ё", std::string("\xA8\x20\xB8")},
        {"Нет NMEA", std::string("\xCD\xE5\xF2 NMEA")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToCp1251(c.utf8), c.bytes) << c.utf8;
        EXPECT_EQ(Cp1251ToUtf8(c.bytes), c.utf8) << c.utf8;
    }
}

TEST(Cp1251, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    bool lossless = false;
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all), &lossless), all);
    EXPECT_TRUE(lossless);
}

TEST(Cp1251, UnencodableCharactersBecomeQuestionMarksAndAreReported) {
    bool lossless = true;
    EXPECT_EQ(Utf8ToCp1251("a\xE4\xB8\xADz", &lossless), "a?z");  // a CJK character
    EXPECT_FALSE(lossless);
    EXPECT_EQ(Utf8ToCp1251("\xFF\xFE"), "??");  // broken UTF-8 never crashes
}

}  // namespace
}  // namespace rv
