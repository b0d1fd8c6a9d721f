#pragma once
// The traffic log: every received line since the last clear, with its time of arrival, in
// Windows-1251. A session in the field runs for hours at up to a thousand lines a second, so the
// store is compact and its cost per line never grows:
// - the text of all lines is one run of bytes kept in blocks that are never moved; the first block
//   is 4 KiB and each next one twice the last, up to 1 MiB (a short session or a log just cleared
//   costs a few pages, a long one whole megabytes); blocks are not zero-filled;
// - a line's time is kept as its milliseconds of the day (4 bytes) and written out as text only
//   when the line is read, and its length as 2 bytes (longer lines are noted aside);
// - the index lives in pages of a fixed number of lines, so it is never copied as it grows.
// A line of 13 bytes (15 on the wire) costs about 19 bytes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/RegionalFormats.h"

namespace rv {

class LogStore {
  public:
    LogStore();
    ~LogStore();
    LogStore(const LogStore&) = delete;
    LogStore& operator=(const LogStore&) = delete;

    // Appends one log line: the time text HH:MM:SS.mmm, two spaces, and the block text with every
    // CR and LF removed from its start and its end.
    void WriteLog(std::string_view block, const LocalDateTime& arrival);
    // Appends a ready line as it is.
    void AppendLine(std::string_view line);

    std::size_t Count() const { return count_; }
    // The text of a line as the file holds it (without its CR LF).
    std::string Line(std::size_t index) const;
    void Clear();
    // Drops the lines from `count` on (nothing when the log holds no more): the log is as it was
    // when it held `count` lines, and what is appended next is stored as in a log that never held
    // the dropped ones. Text blocks and index pages left empty are freed.
    void Truncate(std::size_t count);

    // Bytes of memory the log occupies: its full text blocks, the written part of the last one to
    // whole pages of 4 KiB (a block's unwritten rest is never touched, so it takes no memory), the
    // index pages and the lists of blocks and pages.
    std::size_t MemoryBytes() const;

    // The log as a file: every line followed by CR LF, then one more CR LF.
    std::string FileText() const;
    // The file bytes of lines `from` .. Count() - 1 (each line followed by CR LF) added to `out`:
    // what the file holds for them, without the closing CR LF (the session journal's bytes).
    void AppendFileLines(std::size_t from, std::string& out) const;

    // Reading in place, for searches over the whole log. `visit(index, text)` gets the text of
    // each line `from` .. `to` - 1 in order, without the time in front of it, as a view into the
    // store: nothing is copied or allocated, except that a line running over the end of one text
    // block into the next is put together in `scratch` (a few lines per megabyte of text). A view
    // lasts until the next line is visited.
    template <class Visit>
    void VisitTexts(std::size_t from, std::size_t to, std::string& scratch, Visit&& visit) const;
    // What a line shows in front of its text: "HH:MM:SS.mmm  " written into `out`, or nothing for
    // a line appended ready (without a time).
    static constexpr std::size_t kTimePrefixSize = 14;
    std::string_view TimePrefix(std::size_t index, char (&out)[kTimePrefixSize]) const;

    // "HH:MM:SS.mmm".
    static std::string TimeText(const LocalDateTime& t);
    // The text of a block without its leading and trailing CR / LF.
    static std::string_view TrimLineEnds(std::string_view block);

  private:
    static constexpr std::size_t kPageLines = 256;
    static constexpr std::size_t kAnchorEvery = 32;  // lines between two text positions kept
    static constexpr std::uint16_t kLongLine = 0xFFFF;
    static constexpr std::uint32_t kNoTime = 0xFFFFFFFF;
    struct IndexPage {
        std::uint64_t anchor[kPageLines / kAnchorEvery];  // text position of every 32nd line
        std::uint16_t length[kPageLines];                 // kLongLine: see longLines_
        std::uint32_t time[kPageLines];                   // packed time of day, or kNoTime
    };
    struct LongLine {
        std::size_t index;
        std::uint64_t length;
    };

    void Append(std::uint32_t time, std::string_view text);
    void WriteText(std::uint64_t at, std::string_view text);
    void ReadText(std::uint64_t at, std::uint64_t length, std::string& out) const;
    std::uint64_t LengthOf(std::size_t index) const;
    std::uint64_t PositionOf(std::size_t index) const;
    static void AppendTime(std::uint32_t time, std::string& out);
    static void WriteTimePrefix(std::uint32_t time, char (&out)[kTimePrefixSize]);
    // The block holding text position `at` and the position where that block starts.
    static std::size_t BlockOf(std::uint64_t at, std::uint64_t& blockStart);
    static std::size_t BlockSize(std::size_t block);

    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<std::unique_ptr<IndexPage>> pages_;
    std::vector<LongLine> longLines_;  // in line order
    std::uint64_t textBytes_ = 0;
    std::size_t count_ = 0;
};

template <class Visit>
void LogStore::VisitTexts(std::size_t from, std::size_t to, std::string& scratch,
                          Visit&& visit) const {
    to = std::min(to, count_);
    if (from >= to) return;
    std::uint64_t at = PositionOf(from);
    std::uint64_t blockStart = 0;
    std::uint64_t blockEnd = 0;  // nothing looked up yet
    const char* block = nullptr;
    for (std::size_t i = from; i < to; ++i) {
        const std::uint64_t length = LengthOf(i);
        if (length == 0) {  // may stand where no block is made yet
            visit(i, std::string_view());
            continue;
        }
        if (at >= blockEnd || at < blockStart) {
            const std::size_t b = BlockOf(at, blockStart);
            blockEnd = blockStart + BlockSize(b);
            block = blocks_[b].get();
        }
        if (at + length <= blockEnd) {
            visit(i, std::string_view(block + (at - blockStart), static_cast<std::size_t>(length)));
        } else {
            scratch.clear();
            ReadText(at, length, scratch);
            visit(i, std::string_view(scratch));
        }
        at += length;
    }
}

}  // namespace rv
