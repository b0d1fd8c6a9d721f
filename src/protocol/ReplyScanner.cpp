#include "protocol/ReplyScanner.h"

#include <cstring>

namespace rv {

void ReplyScanner::Reset(std::string_view block) {
    block_ = block;
    pos_ = 0;
    marks_.clear();
    next_.fill(0);
    const char* data = block.data();
    const std::size_t size = block.size();
    const char* p = size ? static_cast<const char*>(std::memchr(data, '>', size)) : nullptr;
    while (p) {
        const auto at = static_cast<std::size_t>(p - data);
        marks_.push_back(static_cast<std::uint32_t>(at));
        if (at + 1 < size) {
            const auto c = static_cast<unsigned char>(data[at + 1]);
            next_[c >> 6] |= std::uint64_t{1} << (c & 63);
        }
        p = at + 1 < size ? static_cast<const char*>(std::memchr(p + 1, '>', size - at - 1))
                          : nullptr;
    }
}

bool ReplyScanner::FindKey(std::string_view key) {
    pos_ = 0;
    if (key.empty()) return false;
    if (key[0] != '>') {
        const std::size_t at = block_.find(key);
        if (at == std::string_view::npos) return false;
        pos_ = at + key.size();
        return true;
    }
    if (key.size() >= 2) {
        const auto c = static_cast<unsigned char>(key[1]);
        if (!(next_[c >> 6] >> (c & 63) & 1)) return false;
    }
    // Every occurrence of the key starts at a '>', and the marks are in block order, so the first
    // mark that matches is the first occurrence anywhere in the block.
    for (const std::uint32_t at : marks_) {
        if (block_.size() - at < key.size()) break;
        if (std::memcmp(block_.data() + at, key.data(), key.size()) == 0) {
            pos_ = at + key.size();
            return true;
        }
    }
    return false;
}

std::string_view ReplyScanner::NextField(char delimiter) {
    const std::size_t size = block_.size();
    if (pos_ >= size) {
        pos_ = size;
        return {};
    }
    const char* start = block_.data() + pos_;
    const void* hit = std::memchr(start, delimiter, size - pos_);
    if (hit) {
        const auto end = static_cast<std::size_t>(static_cast<const char*>(hit) - block_.data());
        std::string_view field(start, end - pos_);
        pos_ = end + 1;
        return field;
    }
    // No delimiter: the field stops one character before the end of the block.
    std::string_view field(start, size - 1 - pos_);
    pos_ = size;
    return field;
}

void ReplyScanner::Skip(std::size_t count) {
    pos_ = count >= block_.size() - pos_ ? block_.size() : pos_ + count;
}

}  // namespace rv
