#pragma once
// What the console keeps of a session without being asked, in the user's state folder: the
// session journal of the traffic log and the kept calibration tables. Made once with the window;
// a folder that cannot be had, a disk that fails while writing, are reported on the report board
// (never a modal box) and the console runs on without that record.

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/CalibrationKeeper.h"
#include "app/JournalFeed.h"
#include "files/Journal.h"
#include "files/StateFolder.h"

namespace rv {

class MainForm;

namespace report_topic {
inline constexpr std::string_view kKeptTables = "kept-tables";  // the kept calibration tables
}

class SessionRecords {
  public:
    struct Options {
        EnvironmentLookup environment = ProcessEnvironment;  // where the state folder is
        // How often the journal reaches the disk at the latest; below a second, so that a slow
        // wake of its writer still keeps the loss of a crash within one second.
        std::chrono::milliseconds flushInterval{500};
    };

    SessionRecords(MainForm& form, Options options);
    // The journal's file is closed and everything handed to it is on the disk.
    ~SessionRecords();
    SessionRecords(const SessionRecords&) = delete;
    SessionRecords& operator=(const SessionRecords&) = delete;

    // Posts a journal failure the writer met since the last call (once per failure). The window
    // calls it from a timer.
    void Poll();

    // The folders, or nothing when they could not be made.
    std::optional<std::filesystem::path> JournalFolder() const;
    std::optional<std::filesystem::path> CalibrationFolder() const;

    // The kept calibration tables, most recently changed first (none without the folder).
    std::vector<KeptTable> KeptTables() const;
    void Restore(int channel, const KeptTableState& kept);

    Journal* SessionJournal() { return journal_.get(); }

  private:
    MainForm& form_;
    std::optional<std::filesystem::path> journalFolder_;
    std::unique_ptr<Journal> journal_;
    std::unique_ptr<JournalFeed> feed_;
    std::unique_ptr<CalibrationKeeper> keeper_;
};

}  // namespace rv
