#include "ui/FramePacerQt.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace rv {
namespace {

// Between 30 frames a second (a line is on screen well within 50 ms of its tick) and 120.
constexpr int kSlowestFrameMs = 33;
constexpr int kFastestFrameMs = 8;
// Frames while lines stream in: every fourth of the driver's 10-ms ticks (three come before 35 ms
// have passed, however they jitter). The stream counts as over when no line came for a while.
constexpr int kStreamingFrameMs = 35;
constexpr int kStreamQuietMs = 250;
// While the ticks carry the frames, the pacer's own timer comes this much after a frame is due: it
// only fires when the ticks have stopped.
constexpr int kTickFallbackMs = 25;
// Values repainted while lines stream in: 5 times a second, still a live reading for the eye.
constexpr int kStreamingValuesMs = 200;

// The pacers and their windows. Views ask for their window's pacer whenever lines or values
// arrive: a short list beats searching the window's children (the windows are few).
std::vector<FramePacerQt*>& Pacers() {
    static std::vector<FramePacerQt*> pacers;
    return pacers;
}

int FrameMs(const QWidget* window) {
    const QScreen* screen = window->screen();
    const double hz = screen != nullptr ? screen->refreshRate() : 60.0;
    const int ms = hz > 0 ? static_cast<int>(std::floor(1000.0 / hz)) : 16;
    return std::clamp(ms, kFastestFrameMs, kSlowestFrameMs);
}

}  // namespace

FramePacerQt::FramePacerQt(QWidget* window)
    : QObject(window), window_(window), valuesIntervalMs_(kStreamingValuesMs) {
    intervalMs_ = FrameMs(window);
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { Frame(); });
    sinceFrame_.start();
    sinceValues_.start();
    window_->installEventFilter(this);
    Pacers().push_back(this);
    // Layout requests go to the widgets that hold layouts, all over the window.
    QCoreApplication::instance()->installEventFilter(this);
}

FramePacerQt::~FramePacerQt() {
    std::erase(Pacers(), this);
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

FramePacerQt* FramePacerQt::Of(const QWidget* widget) {
    const QWidget* window = widget != nullptr ? widget->window() : nullptr;
    if (window == nullptr) return nullptr;
    for (FramePacerQt* pacer : Pacers())
        if (pacer->window_ == window) return pacer;
    return nullptr;
}

void FramePacerQt::RequestFrame(QObject* owner, std::function<void()> work) {
    Request(owner, std::move(work), false);
}

void FramePacerQt::RequestValuesFrame(QObject* owner, std::function<void()> work) {
    Request(owner, std::move(work), true);
}

void FramePacerQt::Request(QObject* owner, std::function<void()> work, bool values) {
    for (Work& w : work_) {
        if (w.owner == owner && w.values == values) {
            w.run = std::move(work);
            Schedule();
            return;
        }
    }
    work_.push_back({owner, std::move(work), values});
    Schedule();
}

void FramePacerQt::Streaming() {
    sinceLines_.start();
}

bool FramePacerQt::IsStreaming() const {
    return sinceLines_.isValid() && sinceLines_.elapsed() < kStreamQuietMs;
}

int FramePacerQt::FrameIntervalMs() const {
    if (fixedIntervalMs_ >= 0) return fixedIntervalMs_;
    return IsStreaming() ? std::max(intervalMs_, kStreamingFrameMs) : intervalMs_;
}

bool FramePacerQt::TicksCarryFrames() const {
    return IsStreaming() && sinceTick_.isValid() && sinceTick_.elapsed() < kTickFallbackMs;
}

void FramePacerQt::TickEnded() {
    sinceTick_.restart();
    // A pending frame always has the timer armed (Schedule); it runs here once it is due.
    if (!timer_.isActive() || !IsStreaming() || Suspended() || WaitMs() > 0) return;
    timer_.stop();
    Frame();
}

bool FramePacerQt::FrameDueAtTickEnd() const {
    return IsStreaming() && !Suspended() && sinceFrame_.elapsed() >= FrameIntervalMs();
}

bool FramePacerQt::ValuesDue() const {
    return !IsStreaming() || sinceValues_.elapsed() >= valuesIntervalMs_;
}

bool FramePacerQt::InWindow(QObject* object) const {
    if (!object->isWidgetType()) return false;
    return static_cast<QWidget*>(object)->window() == window_;
}

bool FramePacerQt::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::LayoutRequest) {
        if (layingOut_) {
            ++layoutsRun_;
            return false;
        }
        if (Suspended() || !InWindow(watched)) return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (std::find(layouts_.begin(), layouts_.end(), widget) == layouts_.end())
            layouts_.emplace_back(widget);
        Schedule();
        return true;
    }
    if (watched != window_) return false;
    switch (event->type()) {
        case QEvent::UpdateRequest:
            if (sending_) return false;
            // Qt asks once and waits for the repaint: the request is kept until the frame.
            repaintHeld_ = true;
            if (!inFrame_) Schedule();
            return true;
        case QEvent::WindowStateChange:
        case QEvent::Show:
            if (!Suspended() && (repaintHeld_ || !work_.empty())) Schedule();
            return false;
        default:
            return false;
    }
}

bool FramePacerQt::Suspended() const {
    return !window_->isVisible() || window_->isMinimized();
}

// How long the next frame waits: a frame interval after the last one, and when values work is all
// that waits, until it is due.
qint64 FramePacerQt::WaitMs() const {
    qint64 wait = FrameIntervalMs() - sinceFrame_.elapsed();
    const bool onlyValues =
        !repaintHeld_ && layouts_.empty() &&
        std::all_of(work_.begin(), work_.end(), [](const Work& w) { return w.values; });
    if (onlyValues && !ValuesDue())
        wait = std::max<qint64>(wait, valuesIntervalMs_ - sinceValues_.elapsed());
    return std::max<qint64>(0, wait);
}

void FramePacerQt::Schedule() {
    if (Suspended()) return;
    const qint64 wait = WaitMs() + (TicksCarryFrames() ? kTickFallbackMs : 0);
    // A frame already on its way comes soon enough unless it waits for values only.
    if (timer_.isActive() && timer_.remainingTime() <= wait) return;
    timer_.start(static_cast<int>(wait));
}

void FramePacerQt::Frame(Values values) {
    if (Suspended()) return;  // taken up again when the window is shown
    sinceFrame_.restart();
    RunLayouts();
    const bool valuesDue = values == Values::Now || ValuesDue();
    std::vector<Work> work;
    work.swap(work_);
    for (Work& w : work) {
        if (!w.owner) continue;
        if (w.values && !valuesDue) {
            // Kept for a later frame, unless work done meanwhile asked again.
            const bool askedAgain = std::any_of(
                work_.begin(), work_.end(),
                [&w](const Work& other) { return other.values && other.owner == w.owner; });
            if (!askedAgain) work_.push_back(std::move(w));
        } else {
            if (w.values) sinceValues_.restart();
            w.run();
        }
    }
    // New values ask their layouts to run again, and what the work changed (the log view's
    // scrolling) asked for a repaint by a posted request: both make it into this frame, not the
    // next.
    RunLayouts();
    inFrame_ = true;
    QCoreApplication::sendPostedEvents(window_, QEvent::UpdateRequest);
    inFrame_ = false;
    if (repaintHeld_) {
        repaintHeld_ = false;
        sending_ = true;
        QEvent request(QEvent::UpdateRequest);
        QCoreApplication::sendEvent(window_, &request);
        sending_ = false;
    }
    if (!work_.empty()) Schedule();
}

void FramePacerQt::RunLayouts() {
    layingOut_ = true;
    std::vector<QPointer<QWidget>> layouts;
    layouts.swap(layouts_);
    for (const QPointer<QWidget>& widget : layouts) {
        if (widget) {
            QEvent request(QEvent::LayoutRequest);
            QCoreApplication::sendEvent(widget, &request);
        }
    }
    // A layout that ran asks the one around it to run again: up to the window's, now.
    for (int round = 0; round < 32; ++round) {
        layoutsRun_ = 0;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        if (layoutsRun_ == 0) break;
    }
    layingOut_ = false;
}

void FramePacerQt::FlushNow(Values values) {
    timer_.stop();
    Frame(values);
}

}  // namespace rv
