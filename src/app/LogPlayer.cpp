#include "app/LogPlayer.h"

#include <algorithm>
#include <optional>

namespace rv {

LogPlayer::LogPlayer(Console& console, PlaybackClock& clock, const LogFile& file)
    : console_(console), clock_(clock), file_(file) {
    Restart();
}

void LogPlayer::Restart() {
    console_.StatClearExecute();
    console_.SetReceivedBytes(0);
    position_ = 0;
}

void LogPlayer::Play(std::size_t count) {
    const std::size_t end = std::min(file_.Count(), position_ + count);
    // The window hears once of each field the lines played now changed (a seek plays thousands).
    const DisplayModel::Batch batch(console_.Display());
    for (; position_ < end; ++position_) {
        const std::int32_t ms = file_.TimeMs(position_);
        clock_.Follow(ms == LogFile::kNoTime ? std::nullopt : std::optional<std::int32_t>(ms));
        block_.assign(file_.Text(position_));
        block_ += "\r\n";
        console_.ReceiveLine(block_);
    }
    clock_.Follow(std::nullopt);
}

void LogPlayer::SeekTo(std::size_t position) {
    position = std::min(position, file_.Count());
    if (position < position_) Restart();
    Play(position - position_);
}

}  // namespace rv
