#include "ui/TimerTickQt.h"

namespace rv {

TimerTickQt::TimerTickQt(std::function<void()> onTick, QObject* parent)
    : QObject(parent), onTick_(std::move(onTick)) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
}

TimerTickQt::~TimerTickQt() {
    timer_.stop();
}

void TimerTickQt::Start(int periodMs) {
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
    onTick_();
}

}  // namespace rv
