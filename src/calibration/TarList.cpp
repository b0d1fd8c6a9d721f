#include "calibration/TarList.h"

#include <array>
#include <cstdint>

namespace rv {
namespace {

// Sort weight of every Windows-1251 byte: the folded (lower-case) code times two; ё gets the
// weight just after е. Built once.
struct Weights {
    std::array<std::uint16_t, 256> w{};
    Weights() {
        std::array<std::uint8_t, 256> fold{};
        for (int c = 0; c < 256; ++c) fold[c] = static_cast<std::uint8_t>(c);
        for (int c = 'A'; c <= 'Z'; ++c) fold[c] = static_cast<std::uint8_t>(c + 32);
        for (int c = 0xC0; c <= 0xDF; ++c) fold[c] = static_cast<std::uint8_t>(c + 32);
        // Cyrillic capitals outside А-Я and their small letters in Windows-1251.
        const std::uint8_t pairs[][2] = {
            {0x80, 0x90} /* Ђ ђ */, {0x81, 0x83} /* Ѓ ѓ */, {0x8A, 0x9A} /* Љ љ */,
            {0x8C, 0x9C} /* Њ њ */, {0x8D, 0x9D} /* Ќ ќ */, {0x8E, 0x9E} /* Ћ ћ */,
            {0x8F, 0x9F} /* Џ џ */, {0xA1, 0xA2} /* Ў ў */, {0xA3, 0xBC} /* Ј ј */,
            {0xA5, 0xB4} /* Ґ ґ */, {0xA8, 0xB8} /* Ё ё */, {0xAA, 0xBA} /* Є є */,
            {0xAF, 0xBF} /* Ї ї */, {0xB2, 0xB3} /* І і */, {0xBD, 0xBE} /* Ѕ ѕ */,
        };
        for (const auto& p : pairs) fold[p[0]] = p[1];
        for (int c = 0; c < 256; ++c) w[c] = static_cast<std::uint16_t>(fold[c] * 2);
        const std::uint16_t yo = 0xE5 * 2 + 1;  // ё right after е
        w[0xA8] = yo;
        w[0xB8] = yo;
    }
};

const Weights& SortWeights() {
    static const Weights weights;
    return weights;
}

}  // namespace

int CompareTextCp1251(std::string_view a, std::string_view b) {
    const auto& w = SortWeights().w;
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int wa = w[static_cast<std::uint8_t>(a[i])];
        const int wb = w[static_cast<std::uint8_t>(b[i])];
        if (wa != wb) return wa < wb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::size_t TarList::LowerBound(std::string_view name) const {
    std::size_t lo = 0;
    std::size_t hi = names_.size();
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (CompareTextCp1251(names_[mid], name) < 0) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return lo;
}

int TarList::IndexOf(std::string_view name) const {
    const std::size_t i = LowerBound(name);
    if (i < names_.size() && CompareTextCp1251(names_[i], name) == 0) return static_cast<int>(i);
    return -1;
}

bool TarList::Add(std::string_view name) {
    const std::size_t i = LowerBound(name);
    if (i < names_.size() && CompareTextCp1251(names_[i], name) == 0) return false;
    names_.insert(names_.begin() + static_cast<std::ptrdiff_t>(i), std::string(name));
    return true;
}

}  // namespace rv
