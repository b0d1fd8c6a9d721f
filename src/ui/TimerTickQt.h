#pragma once
// The serial driver's tick source in the window: a QTimer on the user-interface thread that runs
// the callback the driver starts it with (the driver's own poll) on every tick. A tick never
// starts inside another one: a tick that arrives while the callback runs (through a nested event
// loop) is dropped.

#include <QObject>
#include <QTimer>
#include <functional>

#include "serial/TickSource.h"

namespace rv {

class TimerTickQt : public QObject, public TickSource {
  public:
    explicit TimerTickQt(QObject* parent = nullptr);
    ~TimerTickQt() override;

    void Start(int periodMs, std::function<void()> onTick) override;
    void Stop() override;

    bool IsActive() const { return timer_.isActive(); }
    int IntervalMs() const { return timer_.interval(); }

  private:
    void Tick();

    QTimer timer_;
    std::function<void()> onTick_;
    bool inTick_ = false;
};

}  // namespace rv
