#include "app/LogStore.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace rv {
namespace {

constexpr std::size_t kFirstBlock = 4 << 10;
constexpr std::size_t kLargestBlock = 1 << 20;
constexpr std::size_t kGrowingBlocks = 9;  // 4 KiB .. 1 MiB
// Text bytes the growing blocks hold together.
constexpr std::uint64_t kGrowingBytes = kFirstBlock * ((std::uint64_t{1} << kGrowingBlocks) - 1);
constexpr std::size_t kPage = 4096;

constexpr std::size_t ToPages(std::size_t bytes) {
    return (bytes + kPage - 1) / kPage * kPage;
}

// A time of day as the log writes it, HH MM SS mmm, packed into one number below 10^8.
std::uint32_t PackTime(const LocalDateTime& t) {
    const auto mod = [](int v, int m) { return static_cast<std::uint32_t>((v % m + m) % m); };
    return ((mod(t.hour, 100) * 100 + mod(t.minute, 100)) * 100 + mod(t.second, 100)) * 1000 +
           mod(t.millisecond, 1000);
}

}  // namespace

LogStore::LogStore() = default;
LogStore::~LogStore() = default;

std::string LogStore::TimeText(const LocalDateTime& t) {
    char buf[16];
    const auto two = [](char* p, int v) {
        p[0] = static_cast<char>('0' + (v / 10) % 10);
        p[1] = static_cast<char>('0' + v % 10);
    };
    two(buf, t.hour);
    buf[2] = ':';
    two(buf + 3, t.minute);
    buf[5] = ':';
    two(buf + 6, t.second);
    buf[8] = '.';
    buf[9] = static_cast<char>('0' + (t.millisecond / 100) % 10);
    buf[10] = static_cast<char>('0' + (t.millisecond / 10) % 10);
    buf[11] = static_cast<char>('0' + t.millisecond % 10);
    return std::string(buf, 12);
}

std::string_view LogStore::TrimLineEnds(std::string_view block) {
    const auto isEnd = [](char c) { return c == '\r' || c == '\n'; };
    while (!block.empty() && isEnd(block.front())) block.remove_prefix(1);
    while (!block.empty() && isEnd(block.back())) block.remove_suffix(1);
    return block;
}

std::size_t LogStore::BlockSize(std::size_t block) {
    return block < kGrowingBlocks ? kFirstBlock << block : kLargestBlock;
}

std::size_t LogStore::BlockOf(std::uint64_t at, std::uint64_t& blockStart) {
    if (at < kGrowingBytes) {
        // Block k starts at kFirstBlock * (2^k - 1).
        const std::size_t block =
            static_cast<std::size_t>(std::bit_width(at / kFirstBlock + 1)) - 1;
        blockStart = kFirstBlock * ((std::uint64_t{1} << block) - 1);
        return block;
    }
    const std::uint64_t beyond = (at - kGrowingBytes) / kLargestBlock;
    blockStart = kGrowingBytes + beyond * kLargestBlock;
    return kGrowingBlocks + static_cast<std::size_t>(beyond);
}

void LogStore::WriteText(std::uint64_t at, std::string_view text) {
    while (!text.empty()) {
        std::uint64_t start = 0;
        const std::size_t block = BlockOf(at, start);
        while (blocks_.size() <= block) {
            // Not zero-filled: every byte is written before it is read.
            blocks_.push_back(std::make_unique_for_overwrite<char[]>(BlockSize(blocks_.size())));
        }
        const std::size_t offset = static_cast<std::size_t>(at - start);
        const std::size_t n = std::min(text.size(), BlockSize(block) - offset);
        std::memcpy(blocks_[block].get() + offset, text.data(), n);
        text.remove_prefix(n);
        at += n;
    }
}

void LogStore::ReadText(std::uint64_t at, std::uint64_t length, std::string& out) const {
    while (length > 0) {
        std::uint64_t start = 0;
        const std::size_t block = BlockOf(at, start);
        const std::size_t offset = static_cast<std::size_t>(at - start);
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(length, BlockSize(block) - offset));
        out.append(blocks_[block].get() + offset, n);
        length -= n;
        at += n;
    }
}

void LogStore::Append(std::uint32_t time, std::string_view text) {
    const std::size_t slot = count_ % kPageLines;
    if (slot == 0) pages_.push_back(std::make_unique_for_overwrite<IndexPage>());
    IndexPage& page = *pages_.back();
    if (slot % kAnchorEvery == 0) page.anchor[slot / kAnchorEvery] = textBytes_;
    if (text.size() < kLongLine) {
        page.length[slot] = static_cast<std::uint16_t>(text.size());
    } else {
        page.length[slot] = kLongLine;
        longLines_.push_back({count_, text.size()});
    }
    page.time[slot] = time;
    WriteText(textBytes_, text);
    textBytes_ += text.size();
    ++count_;
}

void LogStore::WriteLog(std::string_view block, const LocalDateTime& arrival) {
    Append(PackTime(arrival), TrimLineEnds(block));
}

void LogStore::AppendLine(std::string_view line) {
    Append(kNoTime, line);
}

std::uint64_t LogStore::LengthOf(std::size_t index) const {
    const std::uint16_t length = pages_[index / kPageLines]->length[index % kPageLines];
    if (length != kLongLine) return length;
    const auto it = std::lower_bound(longLines_.begin(), longLines_.end(), index,
                                     [](const LongLine& l, std::size_t i) { return l.index < i; });
    return it->length;
}

std::uint64_t LogStore::PositionOf(std::size_t index) const {
    const std::size_t slot = index % kPageLines;
    const std::size_t first = index - slot % kAnchorEvery;
    std::uint64_t at = pages_[index / kPageLines]->anchor[slot / kAnchorEvery];
    for (std::size_t i = first; i < index; ++i) at += LengthOf(i);
    return at;
}

void LogStore::WriteTimePrefix(std::uint32_t time, char (&out)[kTimePrefixSize]) {
    const std::uint32_t ms = time % 1000;
    const std::uint32_t hms = time / 1000;
    const auto two = [](char* p, std::uint32_t v) {
        p[0] = static_cast<char>('0' + v / 10);
        p[1] = static_cast<char>('0' + v % 10);
    };
    two(out, hms / 10000);
    out[2] = ':';
    two(out + 3, hms / 100 % 100);
    out[5] = ':';
    two(out + 6, hms % 100);
    out[8] = '.';
    out[9] = static_cast<char>('0' + ms / 100);
    out[10] = static_cast<char>('0' + ms / 10 % 10);
    out[11] = static_cast<char>('0' + ms % 10);
    out[12] = ' ';
    out[13] = ' ';
}

void LogStore::AppendTime(std::uint32_t time, std::string& out) {
    char buf[kTimePrefixSize];
    WriteTimePrefix(time, buf);
    out.append(buf, sizeof buf);
}

std::string_view LogStore::TimePrefix(std::size_t index, char (&out)[kTimePrefixSize]) const {
    const std::uint32_t time = pages_[index / kPageLines]->time[index % kPageLines];
    if (time == kNoTime) return {};
    WriteTimePrefix(time, out);
    return std::string_view(out, kTimePrefixSize);
}

std::string LogStore::Line(std::size_t index) const {
    std::string line;
    const std::uint32_t time = pages_[index / kPageLines]->time[index % kPageLines];
    const std::uint64_t length = LengthOf(index);
    line.reserve(static_cast<std::size_t>(length) + (time == kNoTime ? 0 : 14));
    if (time != kNoTime) AppendTime(time, line);
    ReadText(PositionOf(index), length, line);
    return line;
}

void LogStore::Clear() {
    blocks_.clear();
    blocks_.shrink_to_fit();
    pages_.clear();
    pages_.shrink_to_fit();
    longLines_.clear();
    longLines_.shrink_to_fit();
    textBytes_ = 0;
    count_ = 0;
}

void LogStore::Truncate(std::size_t count) {
    if (count >= count_) return;
    if (count == 0) {
        Clear();
        return;
    }
    textBytes_ = PositionOf(count);
    count_ = count;
    // An index page is added by the first line that needs it, so only pages with a kept line stay.
    pages_.resize((count + kPageLines - 1) / kPageLines);
    const auto firstDropped =
        std::lower_bound(longLines_.begin(), longLines_.end(), count,
                         [](const LongLine& l, std::size_t i) { return l.index < i; });
    longLines_.erase(firstDropped, longLines_.end());
    std::uint64_t start = 0;
    const std::size_t blocks = textBytes_ == 0 ? 0 : BlockOf(textBytes_ - 1, start) + 1;
    if (blocks < blocks_.size()) blocks_.resize(blocks);
}

std::size_t LogStore::MemoryBytes() const {
    std::size_t bytes = blocks_.capacity() * sizeof(blocks_[0]) +
                        pages_.capacity() * sizeof(pages_[0]) +
                        longLines_.capacity() * sizeof(LongLine);
    // Full blocks, then the written part of the last one.
    for (std::size_t b = 0; b + 1 < blocks_.size(); ++b) bytes += BlockSize(b);
    if (!blocks_.empty()) {
        std::uint64_t start = 0;
        BlockOf(textBytes_ == 0 ? 0 : textBytes_ - 1, start);
        bytes += ToPages(static_cast<std::size_t>(textBytes_ - start));
    }
    return bytes + pages_.size() * sizeof(IndexPage);
}

std::string LogStore::FileText() const {
    std::string out;
    out.reserve(static_cast<std::size_t>(textBytes_) + 16 * count_ + 2);
    AppendFileLines(0, out);
    out += "\r\n";
    return out;
}

void LogStore::AppendFileLines(std::size_t from, std::string& out) const {
    if (from >= count_) return;
    std::uint64_t at = PositionOf(from);
    for (std::size_t i = from; i < count_; ++i) {
        const std::uint32_t time = pages_[i / kPageLines]->time[i % kPageLines];
        const std::uint64_t length = LengthOf(i);
        if (time != kNoTime) AppendTime(time, out);
        ReadText(at, length, out);
        out += "\r\n";
        at += length;
    }
}

}  // namespace rv
