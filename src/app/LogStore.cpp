#include "app/LogStore.h"

#include <cstring>

namespace rv {

LogStore::LogStore() = default;

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

char* LogStore::Reserve(std::size_t length, LineRef& ref) {
    if (chunks_.empty() || used_ + length > chunkSizes_.back()) {
        const std::size_t size = length > kChunkSize ? length : kChunkSize;
        chunks_.push_back(std::make_unique<char[]>(size));
        chunkSizes_.push_back(size);
        used_ = 0;
    }
    ref.chunk = static_cast<std::uint32_t>(chunks_.size() - 1);
    ref.offset = static_cast<std::uint32_t>(used_);
    ref.length = static_cast<std::uint32_t>(length);
    char* p = chunks_.back().get() + used_;
    used_ += length;
    textBytes_ += length;
    return p;
}

void LogStore::WriteLog(std::string_view block, const LocalDateTime& arrival) {
    const std::string time = TimeText(arrival);
    const std::string_view text = TrimLineEnds(block);
    LineRef ref{};
    char* p = Reserve(time.size() + 2 + text.size(), ref);
    std::memcpy(p, time.data(), time.size());
    p[time.size()] = ' ';
    p[time.size() + 1] = ' ';
    if (!text.empty()) std::memcpy(p + time.size() + 2, text.data(), text.size());
    lines_.push_back(ref);
}

void LogStore::AppendLine(std::string_view line) {
    LineRef ref{};
    char* p = Reserve(line.size(), ref);
    if (!line.empty()) std::memcpy(p, line.data(), line.size());
    lines_.push_back(ref);
}

std::string_view LogStore::Line(std::size_t index) const {
    const LineRef& r = lines_[index];
    return std::string_view(chunks_[r.chunk].get() + r.offset, r.length);
}

void LogStore::Clear() {
    chunks_.clear();
    chunkSizes_.clear();
    used_ = 0;
    lines_.clear();
    lines_.shrink_to_fit();
    textBytes_ = 0;
}

std::size_t LogStore::MemoryBytes() const {
    std::size_t chunkBytes = 0;
    for (std::size_t s : chunkSizes_) chunkBytes += s;
    return chunkBytes + lines_.capacity() * sizeof(LineRef);
}

std::string LogStore::FileText() const {
    std::string out;
    out.reserve(textBytes_ + 2 * lines_.size() + 2);
    AppendFileLines(0, out);
    out += "\r\n";
    return out;
}

void LogStore::AppendFileLines(std::size_t from, std::string& out) const {
    for (std::size_t i = from; i < lines_.size(); ++i) {
        out += Line(i);
        out += "\r\n";
    }
}

}  // namespace rv
