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

int FrameMs(const QWidget* window) {
    const QScreen* screen = window->screen();
    const double hz = screen != nullptr ? screen->refreshRate() : 60.0;
    const int ms = hz > 0 ? static_cast<int>(std::floor(1000.0 / hz)) : 16;
    return std::clamp(ms, kFastestFrameMs, kSlowestFrameMs);
}

}  // namespace

FramePacerQt::FramePacerQt(QWidget* window) : QObject(window), window_(window) {
    setObjectName(QStringLiteral("FramePacer"));
    intervalMs_ = FrameMs(window);
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { Frame(); });
    sinceFrame_.start();
    window_->installEventFilter(this);
}

FramePacerQt* FramePacerQt::Of(const QWidget* widget) {
    const QWidget* window = widget != nullptr ? widget->window() : nullptr;
    if (window == nullptr) return nullptr;
    return window->findChild<FramePacerQt*>(QStringLiteral("FramePacer"),
                                            Qt::FindDirectChildrenOnly);
}

void FramePacerQt::RequestFrame(QObject* owner, std::function<void()> work) {
    for (Work& w : work_) {
        if (w.owner == owner) {
            w.run = std::move(work);
            Schedule();
            return;
        }
    }
    work_.push_back({owner, std::move(work)});
    Schedule();
}

bool FramePacerQt::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_) return false;
    switch (event->type()) {
        case QEvent::UpdateRequest:
            if (sending_) return false;
            // Qt asks once and waits for the repaint: the request is kept until the frame.
            repaintHeld_ = true;
            Schedule();
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

void FramePacerQt::Schedule() {
    if (timer_.isActive() || Suspended()) return;
    const qint64 wait = intervalMs_ - sinceFrame_.elapsed();
    timer_.start(static_cast<int>(std::max<qint64>(0, wait)));
}

void FramePacerQt::Frame() {
    if (Suspended()) return;  // taken up again when the window is shown
    sinceFrame_.restart();
    std::vector<Work> work;
    work.swap(work_);
    for (Work& w : work) {
        if (w.owner) w.run();
    }
    if (!repaintHeld_) return;
    repaintHeld_ = false;
    sending_ = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(window_, &request);
    sending_ = false;
}

void FramePacerQt::FlushNow() {
    timer_.stop();
    Frame();
}

}  // namespace rv
