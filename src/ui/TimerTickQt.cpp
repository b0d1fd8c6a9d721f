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
    onTick_ = std::make_shared<const std::function<void()>>(std::move(onTick));
    timer_.start(EffectiveTickPeriodMs(periodMs));
}

void TimerTickQt::Stop() {
    timer_.stop();
}

void TimerTickQt::Tick() {
    if (inTick_ || !onTick_ || !*onTick_) return;
    inTick_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{inTick_};
    const std::shared_ptr<const std::function<void()>> onTick = onTick_;
    (*onTick)();
    if (afterTick_) afterTick_();
}

}  // namespace rv
