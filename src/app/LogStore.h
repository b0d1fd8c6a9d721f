#pragma once
// The traffic log: every received line since the last clear, with its time of arrival, in
// Windows-1251. Lines live in fixed-size chunks, so appending costs the same however long the
// session runs (no reallocation of what is already stored) and memory stays close to the raw text.

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

    // Appends one log line: the time text HH:MM:SS.mmm, two spaces, and the block text with every
    // CR and LF removed from its start and its end.
    void WriteLog(std::string_view block, const LocalDateTime& arrival);
    // Appends a ready line as it is.
    void AppendLine(std::string_view line);

    std::size_t Count() const { return lines_.size(); }
    std::string_view Line(std::size_t index) const;
    void Clear();

    // Bytes held for the text and the index (what the log costs in memory).
    std::size_t MemoryBytes() const;

    // The log as a file: every line followed by CR LF, then one more CR LF.
    std::string FileText() const;
    // The file bytes of lines `from` .. Count() - 1 (each line followed by CR LF) added to `out`:
    // what the file holds for them, without the closing CR LF (the session journal's bytes).
    void AppendFileLines(std::size_t from, std::string& out) const;

    // "HH:MM:SS.mmm".
    static std::string TimeText(const LocalDateTime& t);
    // The text of a block without its leading and trailing CR / LF.
    static std::string_view TrimLineEnds(std::string_view block);

  private:
    static constexpr std::size_t kChunkSize = 1 << 20;
    struct LineRef {
        std::uint32_t chunk;
        std::uint32_t offset;
        std::uint32_t length;
    };
    char* Reserve(std::size_t length, LineRef& ref);

    std::vector<std::unique_ptr<char[]>> chunks_;
    std::vector<std::size_t> chunkSizes_;
    std::size_t used_ = 0;  // bytes used in the last chunk
    std::vector<LineRef> lines_;
    std::size_t textBytes_ = 0;
};

}  // namespace rv
