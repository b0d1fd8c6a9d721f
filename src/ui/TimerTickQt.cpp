#include "ui/TimerTickQt.h"

namespace rv {

TimerTickQt::TimerTickQt(QObject* parent) : QObject(parent) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
}

TimerTickQt::~TimerTickQt() {
    timer_.stop();
}

void TimerTickQt::Start(int periodMs, std::function<void()> onTick) {
    onTick_ = std::move(onTick);
    timer_.start(EffectiveTickPeriodMs(periodMs));
}

void TimerTickQt::Stop() {
    timer_.stop();
}

void TimerTickQt::Tick() {
    if (inTick_ || !onTick_) return;
    inTick_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{inTick_};
    // The tick runs its own copy: a restart from inside the callback replaces onTick_ while this
    // call is still running.
    const std::function<void()> onTick = onTick_;
    onTick();
}

}  // namespace rv
