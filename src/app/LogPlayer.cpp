#include "app/LogPlayer.h"

#include <algorithm>
#include <optional>

namespace rv {
namespace {

std::optional<std::int32_t> RecordedTime(const LogFile& file, std::size_t line) {
    const std::int32_t ms = file.TimeMs(line);
    return ms == LogFile::kNoTime ? std::nullopt : std::optional<std::int32_t>(ms);
}

}  // namespace

LogPlayer::LogPlayer(Console& console, PlaybackClock& clock, const LogFile& file,
                     std::size_t checkpointEvery)
    : console_(console),
      clock_(clock),
      file_(file),
      every_(std::max<std::size_t>(1, checkpointEvery)) {
    console_.History().KeepClearedSamples(true);
    console_.StatClearExecute();
    console_.SetReceivedBytes(0);
    TakeCheckpoint();
    logSubscription_ = console_.Subscribe(static_cast<LogObserver&>(*this));
}

void LogPlayer::LogCleared() {
    if (restoring_) return;
    if (inLine_) {
        // The unit's clear request: the log begins again after the line that asked for it.
        logStart_ = position_ + 1;
    } else {
        offFile_ = true;
    }
}

void LogPlayer::Play(std::size_t count) {
    const std::size_t end = std::min(file_.Count(), position_ + count);
    // The window hears once of each field the lines played now changed (a seek plays thousands).
    const DisplayModel::Batch batch(console_.Display());
    while (position_ < end) {
        clock_.Follow(RecordedTime(file_, position_));
        block_.assign(file_.Text(position_));
        block_ += "\r\n";
        inLine_ = true;
        console_.ReceiveLine(block_);
        inLine_ = false;
        ++position_;
        if (position_ % every_ == 0) TakeCheckpoint();
    }
    clock_.Follow(std::nullopt);
}

void LogPlayer::TakeCheckpoint() {
    // Checkpoints are taken in order, the first time the file plays through their line.
    if (offFile_) return;
    const std::size_t index = position_ / every_;
    if (index > checkpoints_.size()) return;
    const FieldHistory& history = console_.History();
    if (index == checkpoints_.size()) {
        checkpoints_.push_back({console_.Checkpoint(), logStart_, std::nullopt});
    } else {
        // Passed again after a replay from an earlier checkpoint: the unit's clear request may
        // have taken the histories' earlier samples since it was taken, and its mark is renewed.
        console_.RenewHistoryMark(checkpoints_[index].console);
    }
    Checkpoint& c = checkpoints_[index];
    if (index > 0 &&
        (!c.historyStretch || c.historyStretch->to.generation != c.console.history.generation)) {
        c.historyStretch = history.StretchSince(checkpoints_[index - 1].console.history);
    }
}

std::size_t LogPlayer::Reachable(std::size_t index, bool& historyMoved) {
    historyMoved = false;
    if (console_.CanRestore(checkpoints_[index].console)) return index;
    // The histories lag behind (a seek went back): from the checkpoint at or before the position
    // now, they are brought forward along the stretches, as far as those reach.
    const std::size_t here = std::min(position_ / every_, checkpoints_.size() - 1);
    FieldHistory& history = console_.History();
    if (here < index && history.TruncateTo(checkpoints_[here].console.history)) {
        historyMoved = true;
        std::size_t reached = here;
        while (reached < index && checkpoints_[reached + 1].historyStretch &&
               history.Apply(*checkpoints_[reached + 1].historyStretch)) {
            ++reached;
        }
        return reached;
    }
    // The unit's clear request took the samples the checkpoints before it held: the nearest one
    // that can be gone back to (the first, taken on empty histories, always can; playing on from
    // it renews the marks of those it passes).
    while (index > 0 && !console_.CanRestore(checkpoints_[index].console)) --index;
    return index;
}

void LogPlayer::RestoreCheckpoint(std::size_t index) {
    const Checkpoint& checkpoint = checkpoints_[index];
    // Lines without a recorded time are logged at the time they are written again, as when played.
    const LocalDateTime now = clock_.Now();
    restoring_ = true;
    console_.Restore(checkpoint.console, [&](std::size_t line) {
        const std::size_t at = checkpoint.logStart + line;
        const std::int32_t ms = file_.TimeMs(at);
        return LoggedLine{file_.Text(at),
                          ms == LogFile::kNoTime ? now : PlaybackClock::AtRecordedTime(now, ms)};
    });
    restoring_ = false;
    position_ = index * every_;
    logStart_ = checkpoint.logStart;
    offFile_ = false;
}

void LogPlayer::SeekTo(std::size_t position) {
    position = std::min(position, file_.Count());
    const std::size_t nearest = std::min(position / every_, checkpoints_.size() - 1);
    // Back, or forward past a checkpoint beyond the position now: from the nearest checkpoint.
    if (position < position_ || nearest * every_ > position_) {
        bool historyMoved = false;
        const std::size_t from = Reachable(nearest, historyMoved);
        if (historyMoved || position < position_ || from * every_ > position_) {
            RestoreCheckpoint(from);
        }
    }
    Play(position - position_);
}

std::size_t LogPlayer::CheckpointBytes() const {
    std::size_t bytes = checkpoints_.capacity() * sizeof(Checkpoint);
    for (const Checkpoint& c : checkpoints_) {
        bytes += c.console.Bytes() - sizeof(c.console);
        if (c.historyStretch) bytes += c.historyStretch->Bytes() - sizeof(*c.historyStretch);
    }
    return bytes;
}

}  // namespace rv
