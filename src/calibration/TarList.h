#pragma once
// TarList: the calibration sources seen since the last reset, a sorted list of Windows-1251
// names in case-insensitive text order, duplicates ignored, looked up by binary search.
//
// Order and case folding: two names are compared character by character after folding each
// Windows-1251 byte to lower case: Latin A-Z -> a-z; Cyrillic А-Я (0xC0-0xDF) -> а-я (0xE0-0xFF);
// Ё/ё, and the other Cyrillic capitals of the code page (Ђ Ѓ Љ Њ Ќ Ћ Џ Ў Ј Ґ Є Ї І Ѕ), to their
// small letters. Folded letters then sort by code, except that ё sorts right after е (as in the
// Russian alphabet, which is what the desktop's linguistic sort of a Russian user gives for these
// names); blanks, punctuation and digits come before all letters, Latin before Cyrillic. Names that
// differ only in case are equal, so the second one is a duplicate and is ignored, as a
// case-insensitive string list does. A name that is a prefix of another sorts first.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rv {

// <0, 0, >0 as a sorts before, equal to (ignoring case) or after b.
int CompareTextCp1251(std::string_view a, std::string_view b);

class TarList {
  public:
    // Index of the name (case-insensitive) or -1.
    int IndexOf(std::string_view name) const;
    // Adds the name at its sorted place unless it is already held; true when it was added.
    bool Add(std::string_view name);
    void Clear() { names_.clear(); }

    std::size_t size() const { return names_.size(); }
    bool empty() const { return names_.empty(); }
    const std::string& operator[](std::size_t i) const { return names_[i]; }
    std::vector<std::string>::const_iterator begin() const { return names_.begin(); }
    std::vector<std::string>::const_iterator end() const { return names_.end(); }

  private:
    // First position whose name does not sort before `name`.
    std::size_t LowerBound(std::string_view name) const;
    std::vector<std::string> names_;
};

}  // namespace rv
