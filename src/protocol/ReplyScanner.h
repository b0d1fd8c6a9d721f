#pragma once
// Reading the unit's reply lines: a received block, the scan position inside it, the key search
// and the field cuts every reply family uses. A reply is ">" + key + "=" + fields separated by
// ";" + CR LF; keys are found anywhere in a block, first occurrence only. Texts are Windows-1251
// byte strings; fields are views into the block (no copy); their conversions into shown values
// are in FieldConversions.h.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace rv {

class ReplyScanner {
  public:
    // Takes a new block (the view must stay valid while it is scanned) and notes where its '>'
    // characters stand, so that each key search only looks there.
    void Reset(std::string_view block);

    std::string_view Block() const { return block_; }

    // Finds the first occurrence of `key` anywhere in the block (case-sensitive). When found, the
    // scan position indexes the first character after the key; returns whether it was found.
    bool FindKey(std::string_view key);

    // The field from the scan position up to the next `delimiter` (not included); the scan
    // position moves past the delimiter. Without a delimiter the field stops one character before
    // the end of the block (the final LF is dropped, a CR before it stays) and the position is
    // past the end, so every further field is empty.
    std::string_view NextField(char delimiter);

    // Scan position as 0-based index of the next character to read (== block size when past the
    // end).
    std::size_t Position() const { return pos_; }
    // Moves the scan position `count` characters forward (never past the end).
    void Skip(std::size_t count);
    // The character at 0-based index `at`, or 0 when `at` is past the end.
    char CharAt(std::size_t at) const { return at < block_.size() ? block_[at] : '\0'; }

    // Calls `visit` once with each distinct character that follows a '>' in the block: only keys
    // ">" + one of them can be found in it.
    template <typename Visit>
    void ForEachCharAfterMark(Visit visit) const {
        for (unsigned word = 0; word < next_.size(); ++word) {
            for (std::uint64_t bits = next_[word]; bits != 0; bits &= bits - 1)
                visit(static_cast<unsigned char>(word * 64 + std::countr_zero(bits)));
        }
    }

  private:
    std::string_view block_;
    std::size_t pos_ = 0;
    std::vector<std::uint32_t> marks_;   // indexes of '>' in the block (capacity kept)
    std::array<std::uint64_t, 4> next_;  // set of characters that follow a '>'
};

}  // namespace rv
