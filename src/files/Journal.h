#pragma once
// The session journal: every line of the traffic log also goes to a file in the state folder, so
// that a crash, a power cut or a clear loses at most the last second of reception. A journal file
// holds exactly the bytes a saved traffic log holds for its lines, so it is itself a saved log.
//
// One file per stretch of reception (Start .. Close), named from the start time and the port, and
// renamed to carry the unit ID once it is known. The thread that receives (the window's) only hands
// bytes over: Append copies them into a buffer under a short lock and never waits on the disk. A
// writer thread of the journal's own takes the buffer, writes it and puts it on the disk at least
// once per flush interval, and at every Close and Flush. A failing disk (full, read-only) is
// reported once through TakeFailure and reception goes on; while the writer is behind by more than
// the buffer limit, further lines are dropped and counted instead of growing the memory without
// bound.
//
// Retention: the folder's .log files are kept within the limits (size, age) whenever a stretch
// starts and when it is closed; the open file is never removed.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "files/Retention.h"
#include "text/RegionalFormats.h"

namespace rv {

// "2026-12-08_14-03-22_COM9.log", or "..._COM9_<unit ID>.log" once the unit ID is known
// (Windows-1251, every character that cannot stand in a file name made "-", cut to the length
// file systems accept).
std::string JournalFileName(const LocalDateTime& start, std::string_view port,
                            std::string_view unitId = {});

class Journal {
  public:
    struct Options {
        std::filesystem::path folder;  // made by the caller (EnsureStateSubfolder)
        std::size_t maxPendingBytes = std::size_t{64} << 20;
        std::chrono::milliseconds flushInterval{1000};
        RetentionLimits limits{};
        std::function<std::int64_t()> now = FileClockSeconds;  // for the age limit
    };

    explicit Journal(Options options);
    // Closes the stretch (everything appended reaches the disk) and stops the writer; waits for it.
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // A new stretch of reception: the open file (if any) is closed, a new one is made. `port` is
    // the port's name ("COM9"), Windows-1251 like the unit ID.
    void Start(const LocalDateTime& start, std::string_view port);
    // The unit ID of this stretch: the file is renamed to carry it. The same ID again costs
    // nothing.
    void SetUnitId(std::string_view unitId);
    // The bytes of one or more log lines as the traffic-log save writes them. Dropped when no
    // stretch is open. Never waits on the disk.
    void Append(std::string_view bytes);
    // Ends the stretch: the writer puts the rest on the disk and closes the file. Does not wait.
    void Close();
    // Waits until everything handed over so far is written and on the disk (or has failed).
    void Flush();

    // The first failure not yet taken (UTF-8, for the technician), then nothing until the journal
    // has worked again and failed anew.
    std::optional<std::string> TakeFailure();
    // Bytes dropped because the writer was behind by more than the buffer limit.
    std::uint64_t DroppedBytes() const;
    // The file being written now (UTF-8 path), empty between stretches. For the window's menu.
    std::filesystem::path CurrentFile() const;

  private:
    struct Command {
        enum Kind { Open, Rename, Data, Close } kind;
        std::string text;  // Open: file name; Rename: file name with the unit ID; Data: the bytes
    };
    void Post(Command::Kind kind, std::string text);
    void Run();
    void Process(Command& command);
    void OpenFile(const std::string& name);
    void RenameFile(const std::string& name);
    void CloseFile();
    void Fail(const std::string& systemText);
    void Report(std::string text);

    const Options options_;

    // Owned by the caller's thread.
    bool open_ = false;
    LocalDateTime start_{};
    std::string port_;
    std::string unitId_;

    // Shared, under mutex_.
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable flushed_;
    std::vector<Command> pending_;
    // The room of the last data written, kept empty for the next: a second of a saturated link is a
    // few hundred kilobytes, which would otherwise be taken from the system and given back every
    // cycle.
    std::string spareData_;
    std::size_t pendingBytes_ = 0;
    bool dropping_ = false;
    std::uint64_t dropped_ = 0;
    std::uint64_t flushWanted_ = 0;
    std::uint64_t flushDone_ = 0;
    bool stop_ = false;
    std::optional<std::string> failure_;
    bool failureReported_ = false;  // until the journal works again
    std::filesystem::path currentFile_;

    // Owned by the writer thread.
    struct WriterState;
    std::unique_ptr<WriterState> writer_;
    std::thread thread_;
};

}  // namespace rv
