#pragma once
// The lines the serial driver reads, held for a few of its ticks and then taken in together.
//
// The driver reads the port every 10 ms. Taking a line in (log, decoders, display, histories,
// recorder) touches tables and code all over the console, and between two ticks the window's
// painting and the rest of the machine push them out of the processor's caches: a tick that takes
// in its lines at once pays for finding them cold every time. Lines taken in four ticks at a time
// find them cold a quarter as often. The window shows new lines and values only once a screen
// frame anyway (every fourth tick while lines stream in), so the lines are taken in at the tick
// the frame follows: a line waits up to 10 ms for its tick and 30 ms in the hold, and is then on
// screen in the same wake-up, within 50 ms of its arrival.
//
// The rules:
//  - A line read while the stream is quiet (no lines taken in for the last four ticks) is taken
//    in at the end of its own tick: a lone reply is shown as soon as it is read.
//  - While lines stream in, they are taken in at the end of a tick that the window paints a frame
//    after, and at the latest at the end of every fourth tick.
//  - When the ticks stop (the port closes or is lost), what is held is taken in at once.
// Each line keeps the time its tick read it: the log stamps it with that time, not with the time
// it was taken in.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "text/RegionalFormats.h"

namespace rv {

class ReceiveHold {
  public:
    // Ticks from one taking-in to the next while lines stream in.
    static constexpr int kTicksPerTakeIn = 4;

    using TakeLine = std::function<void(std::string_view block, const LocalDateTime& readAt)>;

    // `clock` stamps each tick's lines once, when the tick reads its first line.
    explicit ReceiveHold(const Clock& clock) : clock_(clock) {}

    // A tick of the driver begins: the lines it reads are held (Holding).
    void TickBegins();
    // The tick is over: true when what is held is to be taken in now (TakeIn). `frameDue`: the
    // window paints a frame at the end of this tick, so the lines are taken in now.
    bool TickEnds(bool frameDue = false);
    // Inside a tick: the lines read now are to be held, not taken in at once.
    bool Holding() const { return inTick_; }

    // A line the running tick read, terminator included.
    void Add(std::string_view block);
    bool Empty() const { return ends_.empty(); }

    // Hands every held line to `take`, in the order they were read, each with its tick's time,
    // and empties the hold. Lines that arrive while `take` runs wait for the next TakeIn.
    void TakeIn(const TakeLine& take);
    // Forgets what is held (the console is going away with no one left to show it to).
    void Clear();

  private:
    struct TickLines {
        std::size_t firstLine;
        LocalDateTime readAt;
    };

    const Clock& clock_;
    std::string bytes_;                // the held lines one after another
    std::vector<std::uint32_t> ends_;  // where each line ends in bytes_
    std::vector<TickLines> ticks_;     // the ticks that read them, in order
    bool inTick_ = false;
    bool tickStamped_ = false;                // the running tick has read a line (and has its time)
    int ticksSinceTakeIn_ = kTicksPerTakeIn;  // quiet at first
};

}  // namespace rv
