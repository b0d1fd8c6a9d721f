#include "ui/TimerTickQt.h"

#include <QTimerEvent>

namespace rv {

TimerTickQt::TimerTickQt(QObject* parent) : QObject(parent) {}

TimerTickQt::~TimerTickQt() {
    timer_.stop();
}

void TimerTickQt::Start(int periodMs, std::function<void()> onTick) {
    onTick_ = std::make_shared<const std::function<void()>>(std::move(onTick));
    timer_.start(EffectiveTickPeriodMs(periodMs), Qt::PreciseTimer, this);
}

void TimerTickQt::Stop() {
    timer_.stop();
}

void TimerTickQt::timerEvent(QTimerEvent* event) {
    if (event->timerId() == timer_.timerId()) {
        Tick();
    } else {
        QObject::timerEvent(event);
    }
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
