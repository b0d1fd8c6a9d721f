#include "app/CalibrationKeeper.h"

namespace rv {

CalibrationKeeper::CalibrationKeeper(Recorder& recorder, const DisplayModel& display,
                                     const Clock& clock, std::filesystem::path folder,
                                     std::function<void(const std::string&)> reportFailure,
                                     std::function<std::int64_t()> now)
    : recorder_(recorder),
      display_(display),
      clock_(clock),
      folder_(std::move(folder)),
      reportFailure_(std::move(reportFailure)),
      now_(std::move(now)),
      unitIdField_(display.Field("LL_DN")) {
    ApplyKeptTableRetention(folder_, now_());
    subscription_ = recorder_.Subscribe(*this);
}

KeptTableState CalibrationKeeper::StateOf(int n, const LocalDateTime& firstChange) const {
    const Recorder::Channel& c = recorder_.State(n);
    KeptTableState s;
    s.channel = n;
    const std::string& id = display_.Text(unitIdField_);
    if (id != "-") s.unitId = id;  // "-": the idle display, no unit known
    s.sourceName = c.ComboText();
    s.sensorAddress = recorder_.SensorAddressOf(s.sourceName);
    s.rows = c.rows;
    s.comment = c.comment;
    s.firstChange = firstChange;
    s.lastChange = clock_.Now();
    return s;
}

void CalibrationKeeper::Keep(int n) {
    if (restoring_ || n < 1 || n > kTarChannels) return;
    if (recorder_.State(n).rows.empty()) return;  // nothing recorded yet
    auto& first = firstChange_[static_cast<std::size_t>(n - 1)];
    if (!first) first = clock_.Now();
    if (auto error = SaveKeptTable(folder_, StateOf(n, *first))) {
        if (!failing_ && reportFailure_) reportFailure_(*error);
        failing_ = true;
        return;
    }
    failing_ = false;
}

void CalibrationKeeper::ChannelCleared(int n) {
    if (restoring_ || n < 1 || n > kTarChannels) return;
    auto& first = firstChange_[static_cast<std::size_t>(n - 1)];
    if (!first) return;
    first.reset();  // the table is left for good: its file stays as it was last written
    ApplyKeptTableRetention(folder_, now_());
}

void CalibrationKeeper::Restore(int n, const KeptTableState& kept) {
    if (n < 1 || n > kTarChannels) return;
    if (firstChange_[static_cast<std::size_t>(n - 1)]) ChannelCleared(n);
    restoring_ = true;
    recorder_.RestoreChannel(n, kept);
    restoring_ = false;
    firstChange_[static_cast<std::size_t>(n - 1)] = kept.firstChange;
    Keep(n);
}

}  // namespace rv
