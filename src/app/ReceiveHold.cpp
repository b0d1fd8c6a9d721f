#include "app/ReceiveHold.h"

namespace rv {

void ReceiveHold::TickBegins() {
    inTick_ = true;
    tickStamped_ = false;
}

bool ReceiveHold::TickEnds(bool frameDue) {
    inTick_ = false;
    if (ticksSinceTakeIn_ < kTicksPerTakeIn) ++ticksSinceTakeIn_;
    return !Empty() && (frameDue || ticksSinceTakeIn_ >= kTicksPerTakeIn);
}

void ReceiveHold::Add(std::string_view block) {
    if (!tickStamped_) {
        tickStamped_ = true;
        ticks_.push_back({ends_.size(), clock_.Now()});
    }
    bytes_.append(block);
    ends_.push_back(static_cast<std::uint32_t>(bytes_.size()));
}

void ReceiveHold::TakeIn(const TakeLine& take) {
    ticksSinceTakeIn_ = 0;
    // Taken out first: taking a line in may read, stop or start the port again.
    std::string bytes;
    std::vector<std::uint32_t> ends;
    std::vector<TickLines> ticks;
    bytes.swap(bytes_);
    ends.swap(ends_);
    ticks.swap(ticks_);
    tickStamped_ = false;
    std::size_t tick = 0;
    std::uint32_t begin = 0;
    for (std::size_t line = 0; line < ends.size(); ++line) {
        while (tick + 1 < ticks.size() && ticks[tick + 1].firstLine <= line) ++tick;
        const std::uint32_t end = ends[line];
        take(std::string_view(bytes).substr(begin, end - begin), ticks[tick].readAt);
        begin = end;
    }
}

void ReceiveHold::Clear() {
    bytes_.clear();
    ends_.clear();
    ticks_.clear();
    tickStamped_ = false;
}

}  // namespace rv
