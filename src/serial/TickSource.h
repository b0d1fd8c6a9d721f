#pragma once
// The periodic tick that drives the serial driver's reception. The driver starts it with its own
// poll when its port opens, stops it when the port closes and restarts it when the polling delay
// changes; the tick source runs that poll on each tick, on the user-interface thread. A tick never
// starts inside another tick.

#include <functional>

namespace rv {

class TickSource {
  public:
    virtual ~TickSource() = default;
    // Starts (or restarts) the ticks with a period of `periodMs` milliseconds, running `onTick`
    // on each one; a period of 0 means the shortest timer period, 10 ms.
    virtual void Start(int periodMs, std::function<void()> onTick) = 0;
    // Stops the ticks; harmless when stopped.
    virtual void Stop() = 0;
};

// The period a tick source uses for a requested polling delay.
constexpr int EffectiveTickPeriodMs(int periodMs) {
    return periodMs <= 0 ? 10 : periodMs;
}

}  // namespace rv
