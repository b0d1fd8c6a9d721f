#include "text/CaseFold.h"

namespace rv {
namespace {

struct Pair {
    unsigned char capital;
    unsigned char small;
};

// The Cyrillic capitals outside the run А..Я (0xC0..0xDF, whose small letters are 0x20 above).
constexpr Pair kOtherCapitals[] = {
    {0x80, 0x90},  // Ђ ђ
    {0x81, 0x83},  // Ѓ ѓ
    {0x8A, 0x9A},  // Љ љ
    {0x8C, 0x9C},  // Њ њ
    {0x8D, 0x9D},  // Ќ ќ
    {0x8E, 0x9E},  // Ћ ћ
    {0x8F, 0x9F},  // Џ џ
    {0xA1, 0xA2},  // Ў ў
    {0xA3, 0xBC},  // Ј ј
    {0xA5, 0xB4},  // Ґ ґ
    {0xA8, 0xB8},  // Ё ё
    {0xAA, 0xBA},  // Є є
    {0xAF, 0xBF},  // Ї ї
    {0xB2, 0xB3},  // І і
    {0xBD, 0xBE},  // Ѕ ѕ
};

constexpr std::array<unsigned char, 256> MakeTable() {
    std::array<unsigned char, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b);
    for (int b = 'A'; b <= 'Z'; ++b)
        table[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b + 0x20);
    for (int b = 0xC0; b <= 0xDF; ++b)
        table[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b + 0x20);
    for (const Pair& p : kOtherCapitals) table[p.capital] = p.small;
    return table;
}

}  // namespace

const std::array<unsigned char, 256> kCaseFold = MakeTable();

std::string FoldCase(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) c = static_cast<char>(kCaseFold[static_cast<unsigned char>(c)]);
    return folded;
}

}  // namespace rv
