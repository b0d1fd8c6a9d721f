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
    if (offFile_ || position_ / every_ != checkpoints_.size()) return;
    checkpoints_.push_back({console_.Checkpoint(), logStart_});
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
    if (position < position_ || nearest * every_ > position_) RestoreCheckpoint(nearest);
    Play(position - position_);
}

std::size_t LogPlayer::CheckpointBytes() const {
    std::size_t bytes = checkpoints_.capacity() * sizeof(Checkpoint);
    for (const Checkpoint& c : checkpoints_) bytes += c.console.Bytes() - sizeof(c.console);
    return bytes;
}

}  // namespace rv
