#include "app/LogSearch.h"

#include <algorithm>

namespace rv {
namespace {

// Lines scanned between two looks at whether a wanted match has been reached.
constexpr std::size_t kStep = 4096;

bool IsTimeByte(char c) {
    return (c >= '0' && c <= '9') || c == ':' || c == '.' || c == ' ';
}

}  // namespace

LogSearch::LogSearch(const LogStore& log) : log_(log) {}

void LogSearch::SetQuery(std::string_view query, bool matchCase) {
    query_ = std::string(query);
    matchCase_ = matchCase;
    finder_ = TextFinder(query, matchCase);
    timeMayMatch_ = !query.empty() && IsTimeByte(query.front());
    scanned_ = 0;
    matches_.clear();
}

void LogSearch::LogCleared() {
    scanned_ = 0;
    std::vector<std::uint32_t>().swap(matches_);
}

void LogSearch::LogTruncated(std::size_t count) {
    scanned_ = std::min(scanned_, count);
    matches_.erase(std::lower_bound(matches_.begin(), matches_.end(), count), matches_.end());
}

bool LogSearch::LineMatches(std::size_t index, std::string_view text) {
    if (finder_.Find(text) != TextFinder::npos) return true;
    if (!timeMayMatch_) return false;
    char time[LogStore::kTimePrefixSize];
    const std::string_view prefix = log_.TimePrefix(index, time);
    if (prefix.empty()) return false;
    // A match that begins in the time reaches at most Length() - 1 bytes into the text.
    start_.assign(prefix);
    start_.append(text.substr(0, finder_.Length() - 1));
    const std::size_t at = finder_.Find(start_);
    return at < prefix.size();
}

bool LogSearch::Scan(std::size_t maxLines) {
    const std::size_t count = log_.Count();
    if (scanned_ > count) LogCleared();  // emptied without a word: start again
    const std::size_t end = count - scanned_ > maxLines ? scanned_ + maxLines : count;
    if (Active()) {
        log_.VisitTexts(scanned_, end, scratch_, [this](std::size_t index, std::string_view text) {
            if (LineMatches(index, text)) matches_.push_back(static_cast<std::uint32_t>(index));
        });
    }
    scanned_ = end;
    return scanned_ >= count;
}

void LogSearch::ScanUntil(std::size_t lines) {
    while (scanned_ < lines && !Scan(std::min(kStep, lines - scanned_))) {
    }
}

std::size_t LogSearch::OrdinalOf(std::size_t line) const {
    const auto it = std::lower_bound(matches_.begin(), matches_.end(), line);
    return it != matches_.end() && *it == line ? static_cast<std::size_t>(it - matches_.begin())
                                               : kNone;
}

std::size_t LogSearch::FirstFrom(std::size_t line) {
    if (!Active()) return kNone;
    for (;;) {
        const auto it = std::lower_bound(matches_.begin(), matches_.end(), line);
        if (it != matches_.end()) return *it;
        if (Scan(kStep)) break;
    }
    const auto it = std::lower_bound(matches_.begin(), matches_.end(), line);
    return it != matches_.end() ? *it : kNone;
}

std::size_t LogSearch::LastUpTo(std::size_t line) {
    if (!Active()) return kNone;
    ScanUntil(line == kNone ? log_.Count() : std::min(line + 1, log_.Count()));
    const auto it = std::upper_bound(matches_.begin(), matches_.end(), line);
    return it == matches_.begin() ? kNone : *(it - 1);
}

std::size_t LogSearch::Next(std::size_t line) {
    const std::size_t next = line == kNone ? kNone : FirstFrom(line + 1);
    return next != kNone ? next : FirstFrom(0);
}

std::size_t LogSearch::Previous(std::size_t line) {
    const std::size_t previous = line == 0 || line == kNone ? kNone : LastUpTo(line - 1);
    return previous != kNone ? previous : LastUpTo(kNone);
}

std::vector<LogSearch::Span> LogSearch::SpansIn(std::string_view shown) const {
    std::vector<Span> spans;
    for (std::size_t at = finder_.Find(shown); at != TextFinder::npos;
         at = finder_.Find(shown, at + finder_.Length())) {
        spans.push_back({at, finder_.Length()});
    }
    return spans;
}

}  // namespace rv
