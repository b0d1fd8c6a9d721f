#pragma once
// Keeps every calibration table the technician builds: each change of a channel (a row saved or
// deleted, the comment edited, a table restored) rewrites that table's kept file at once, so when
// the channel is emptied — a clear, a unit restart, another source chosen, an export, the window
// closed, a crash — its last state is still in the folder and can be restored.
//
// A table is kept from its first row on (a source chosen and nothing recorded is not worth a
// file). One table keeps one file from its first change to its last: the file is named after the
// first change's time, which the keeper remembers per channel until the channel is emptied.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "base/ObserverList.h"
#include "calibration/Recorder.h"
#include "calibration/RecoveryFolder.h"

namespace rv {

class CalibrationKeeper : private RecorderObserver {
  public:
    // `reportFailure` hears (UTF-8) when a table cannot be kept: once, until keeping works again.
    CalibrationKeeper(Recorder& recorder, const DisplayModel& display, const Clock& clock,
                      std::filesystem::path folder,
                      std::function<void(const std::string&)> reportFailure,
                      std::function<std::int64_t()> now = FileClockSeconds);
    CalibrationKeeper(const CalibrationKeeper&) = delete;
    CalibrationKeeper& operator=(const CalibrationKeeper&) = delete;

    const std::filesystem::path& Folder() const { return folder_; }
    // The kept tables, most recently changed first.
    std::vector<KeptTable> KeptTables() const { return ListKeptTables(folder_); }
    // Puts a kept table back into channel n; it goes on in its own file when restored into the
    // channel it came from, in a new one (same first change, that channel) otherwise.
    void Restore(int n, const KeptTableState& kept);

    // The state channel n would be kept as now (its first change as remembered).
    KeptTableState StateOf(int n, const LocalDateTime& firstChange) const;

  private:
    void ChannelCleared(int n) override;
    void RowAdded(int n, std::size_t) override { Keep(n); }
    void RowHidden(int n, std::size_t) override { Keep(n); }
    void CommentChanged(int n) override { Keep(n); }
    void Keep(int n);

    Recorder& recorder_;
    const DisplayModel& display_;
    const Clock& clock_;
    const std::filesystem::path folder_;
    std::function<void(const std::string&)> reportFailure_;
    std::function<std::int64_t()> now_;
    const int unitIdField_;
    std::array<std::optional<LocalDateTime>, kTarChannels> firstChange_{};
    bool restoring_ = false;
    bool failing_ = false;
    Subscription subscription_;
};

}  // namespace rv
