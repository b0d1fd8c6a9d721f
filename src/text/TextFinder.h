#pragma once
// Finds a piece of Windows-1251 text in other text, with or without regard to case (see
// CaseFold). Made once for a query and used on many lines: it allocates nothing per search.

#include <cstddef>
#include <string>
#include <string_view>

namespace rv {

class TextFinder {
  public:
    static constexpr std::size_t npos = std::string_view::npos;

    TextFinder() = default;
    TextFinder(std::string_view needle, bool matchCase);

    // Where the needle first stands in `text` at or after `from`; npos when it does not, and
    // always for an empty needle (an empty query matches nothing).
    std::size_t Find(std::string_view text, std::size_t from = 0) const;
    std::size_t Length() const { return needle_.size(); }
    bool Empty() const { return needle_.empty(); }

  private:
    std::string needle_;  // folded unless the case is to match
    bool matchCase_ = false;
    unsigned char first_ = 0;       // the needle's first byte, folded
    unsigned char firstOther_ = 0;  // the capital that folds to it (first_ when there is none)
};

}  // namespace rv
