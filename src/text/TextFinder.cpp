#include "text/TextFinder.h"

#include <cstring>

#include "text/CaseFold.h"

namespace rv {

TextFinder::TextFinder(std::string_view needle, bool matchCase)
    : needle_(matchCase ? std::string(needle) : FoldCase(needle)), matchCase_(matchCase) {
    if (needle_.empty()) return;
    first_ = firstOther_ = static_cast<unsigned char>(needle_[0]);
    if (matchCase_) return;
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        if (byte != first_ && FoldCase(byte) == first_) firstOther_ = byte;
    }
}

std::size_t TextFinder::Find(std::string_view text, std::size_t from) const {
    const std::size_t n = needle_.size();
    if (n == 0 || from > text.size() || text.size() - from < n) return npos;
    if (matchCase_) return text.find(needle_, from);
    const auto* t = reinterpret_cast<const unsigned char*>(text.data());
    const auto* folded = reinterpret_cast<const unsigned char*>(needle_.data());
    const std::size_t last = text.size() - n;  // the last place the needle can start
    for (std::size_t i = from; i <= last; ++i) {
        if (first_ == firstOther_) {
            // A first byte without a case pair (">", a digit): the library's scan jumps to it.
            const void* hit = std::memchr(t + i, first_, last - i + 1);
            if (hit == nullptr) return npos;
            i = static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - t);
        } else if (t[i] != first_ && t[i] != firstOther_) {
            continue;
        }
        std::size_t k = 1;
        while (k < n && kCaseFold[t[i + k]] == folded[k]) ++k;
        if (k == n) return i;
    }
    return npos;
}

}  // namespace rv
