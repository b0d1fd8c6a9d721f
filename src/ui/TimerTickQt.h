#pragma once
// The serial driver's tick source in the window: a timer on the user-interface thread that runs
// the callback the driver starts it with (the driver's own poll) on every tick. A tick never
// starts inside another one: a tick that arrives while the callback runs (through a nested event
// loop) is dropped. The timer's event comes to this object straight (no signal in between): it
// fires a hundred times a second for as long as a port is open.

#include <QBasicTimer>
#include <QObject>
#include <functional>
#include <memory>

#include "serial/TickSource.h"

namespace rv {

class TimerTickQt : public QObject, public TickSource {
  public:
    explicit TimerTickQt(QObject* parent = nullptr);
    ~TimerTickQt() override;

    void Start(int periodMs, std::function<void()> onTick) override;
    void Stop() override;
    // Runs after every tick's callback: the window paints a frame that is due in the same
    // wake-up as the tick.
    void SetAfterTick(std::function<void()> afterTick) { afterTick_ = std::move(afterTick); }

  protected:
    void timerEvent(QTimerEvent* event) override;

  private:
    void Tick();

    QBasicTimer timer_;
    // Shared with a running tick: a restart from inside the callback replaces it while that call
    // still runs, and a tick holds the callback without copying it.
    std::shared_ptr<const std::function<void()>> onTick_;
    std::function<void()> afterTick_;
    bool inTick_ = false;
};

}  // namespace rv
