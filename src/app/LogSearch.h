#pragma once
// Search in the traffic log: the lines whose text as the technician sees it (the time, two spaces,
// the received text) holds a query, with or without regard to case. A reply key such as ">LLS="
// is a query like any other.
//
// A log runs to millions of lines, so the search reads the store in place and is done in slices:
// Scan takes a number of lines at a time and the window runs it between its other work, so the
// count grows while the window stays live; lines that arrive later are scanned as they come. The
// matching lines are kept as an ascending list, which is also what a view that shows only the
// matches draws from. Next and previous look in that list and scan on as far as they must.
//
// The time in front of a line is written out only for a query that could match in it: a match
// that begins in "HH:MM:SS.mmm  " begins with a digit, ':', '.' or a space, so a query starting
// with any other byte (">LLS=", a word) is looked for in the received text alone.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/LogStore.h"
#include "text/TextFinder.h"

namespace rv {

class LogSearch {
  public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    // Where the query stands in one line: its first byte and its length.
    struct Span {
        std::size_t start = 0;
        std::size_t length = 0;
        bool operator==(const Span&) const = default;
    };

    explicit LogSearch(const LogStore& log);

    // A new query (Windows-1251; empty: nothing matches). What was found is forgotten and the
    // scan starts again at the first line.
    void SetQuery(std::string_view query, bool matchCase);
    const std::string& Query() const { return query_; }
    bool MatchCase() const { return matchCase_; }
    bool Active() const { return !finder_.Empty(); }

    // Scans at most `maxLines` more lines of the log; true when every line the log holds is
    // scanned.
    bool Scan(std::size_t maxLines);
    bool Complete() const { return scanned_ >= log_.Count(); }
    std::size_t Scanned() const { return scanned_; }
    // The matching lines among those scanned, in ascending order. Line numbers are kept in 32
    // bits: four thousand million lines are beyond any session.
    const std::vector<std::uint32_t>& Matches() const { return matches_; }
    // The position of `line` in Matches(), or kNone when it is not a known match.
    std::size_t OrdinalOf(std::size_t line) const;

    // The first matching line at or after `line`, the last at or before it (scanning on as far as
    // that needs); kNone when there is none.
    std::size_t FirstFrom(std::size_t line);
    std::size_t LastUpTo(std::size_t line);
    // The next match after `line` and the previous one before it, going round the log's ends.
    std::size_t Next(std::size_t line);
    std::size_t Previous(std::size_t line);

    // Every place the query stands in `shown` (a line's whole text as shown), left to right and
    // not overlapping: what a view marks.
    std::vector<Span> SpansIn(std::string_view shown) const;

    // The log was emptied: nothing is scanned or found; the query stays.
    void LogCleared();
    // The log was cut back to its first `count` lines (a played file sought backwards): what was
    // found beyond them is forgotten and the lines appended next are scanned as they come.
    void LogTruncated(std::size_t count);

  private:
    bool LineMatches(std::size_t index, std::string_view text);
    void ScanUntil(std::size_t lines);

    const LogStore& log_;
    std::string query_;
    bool matchCase_ = false;
    TextFinder finder_;
    bool timeMayMatch_ = false;  // the query begins with a byte the time text holds
    std::size_t scanned_ = 0;
    std::vector<std::uint32_t> matches_;
    std::string scratch_;  // a line over two blocks of the store
    std::string start_;    // a line's time and the first bytes of its text
};

}  // namespace rv
