#pragma once
// A saved traffic log opened for playback. The console saves and journals its log as Windows-1251
// lines "HH:MM:SS.mmm" + two spaces + the received text, each ended by CR LF; a technician may
// also send a bare capture of the unit's reply lines without times, or a file with LF-only ends.
// The file is read once and indexed: where each line's text starts and its recorded time, twelve
// bytes a line beside the file's own bytes.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "text/RegionalFormats.h"

namespace rv {

class LogFile {
  public:
    // Milliseconds since midnight of a line without a recorded time (a bare capture).
    static constexpr std::int32_t kNoTime = -1;
    // Longer lines are not a received line (the driver cuts far shorter blocks): skipped, counted.
    static constexpr std::size_t kMaxLineLength = 64 * 1024;

    // Indexes the bytes of a file. `progress` (optional) hears the share read so far, 0..1,
    // now and then. Nothing when the bytes are not a traffic log; the reason is in `whyNot`
    // (UTF-8, for the technician).
    static std::optional<LogFile> Index(std::string bytes, std::string* whyNot,
                                        const std::function<void(double)>& progress = {});

    std::size_t Count() const { return starts_.size(); }
    // The received text of line `i`, as the log held it (no time, no line end).
    std::string_view Text(std::size_t i) const;
    // Recorded time of line `i`: milliseconds since midnight, or kNoTime.
    std::int32_t TimeMs(std::size_t i) const { return timesMs_[i]; }
    bool Timed() const { return timed_; }
    // Lines that could not be read (a line cut off at the end of the file, an overlong line, a
    // line without a time in a file of timed lines): skipped.
    std::size_t SkippedLines() const { return skipped_; }

    // Bytes held for the index (without the file's own bytes).
    std::size_t IndexBytes() const {
        return starts_.capacity() * sizeof(std::uint64_t) +
               timesMs_.capacity() * sizeof(std::int32_t);
    }

    // "HH:MM:SS.mmm" of milliseconds since midnight.
    static std::string TimeText(std::int32_t ms);
    // Milliseconds since midnight of a line that starts with "HH:MM:SS.mmm" and two spaces, else
    // kNoTime.
    static std::int32_t LeadingTime(std::string_view line);

  private:
    LogFile() = default;

    std::string bytes_;
    std::vector<std::uint64_t> starts_;
    std::vector<std::int32_t> timesMs_;
    bool timed_ = false;
    std::size_t skipped_ = 0;
};

// Reads and indexes the file at `path`: the log, or the reason it cannot be played (UTF-8): a
// folder, an empty file, a file that cannot be read, a binary file, a file that is not a log.
std::variant<LogFile, std::string> ReadLogFile(const std::filesystem::path& path,
                                               const std::function<void(double)>& progress = {});

}  // namespace rv
