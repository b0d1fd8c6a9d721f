#pragma once
// Paints the window at most once a screen frame. Lines arrive on every 10-ms tick, and each tick
// changes labels and the traffic log; without a pacer every tick would repaint them, up to 100
// times a second. The pacer holds the window's repaint requests back and lets one through per frame
// (one timer for all of them, whatever changed since the last frame), so the newest line is on
// screen within a frame of the tick that brought it. The widgets' texts follow the model at once:
// only painting waits. Layouts wait for the frame too: a label's new text asks its layouts (up to
// the window's) to run again, and they run once a frame for all the texts that changed. Nothing is
// painted while the window is minimised.
//
// Views with work of their own to do once per frame before it is painted (the traffic log view's
// scrolling) ask for it with RequestFrame.
//
// The values a stream changes (labels, bars) are repainted less often than the log: a technician
// reads a value, not its every flicker, and on a saturated link dozens of labels change in every
// frame, which costs more than the log view itself. Their repaint waits for a values frame
// (RequestValuesFrame): while lines stream in, at most 5 a second; otherwise with the next frame.
//
// While lines stream in, frames come at most every 35 ms whatever the screen's rate: a saturated
// link changes the log and most labels in every frame, and each frame costs the same however few
// lines it brings. The frames then ride on the driver's ticks (TickEnded): a frame that is due runs
// at the end of the tick, in the same wake-up of the process, not on a timer of its own. With the
// driver's 10-ms ticks that is every fourth tick, 25 frames a second. The form holds the lines the
// ticks read and takes them in at the tick a frame is due (FrameDueAtTickEnd), so a line is on
// screen at most 40 ms after it arrived (up to 10 ms waiting for its tick, then up to three ticks
// held). The pacer's timer stays armed a little later, for ticks that stop (the port closed).
// Between bursts the screen's rate comes back, so the technician's own actions are drawn as
// smoothly as the screen allows.

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <vector>

class QWidget;

namespace rv {

class FramePacerQt : public QObject {
  public:
    // Paces `window` (a top-level widget); the pacer is the window's child.
    explicit FramePacerQt(QWidget* window);
    ~FramePacerQt() override;

    // The pacer of the window `widget` is in; nullptr when its window has none (a widget shown
    // on its own in a test does its frame work at once).
    static FramePacerQt* Of(const QWidget* widget);

    // Runs `work` once before the next frame is painted. `owner` going away cancels it; asking
    // again for the same owner before the frame keeps one request.
    void RequestFrame(QObject* owner, std::function<void()> work);
    // The same for work that repaints values: while lines stream in, it runs with a frame at most
    // once every values interval.
    void RequestValuesFrame(QObject* owner, std::function<void()> work);

    // Lines arrived: the frames that follow come at the streaming rate until none arrive for a
    // while.
    void Streaming();
    // A tick of the serial driver is over (its lines are in the log, its values in the display):
    // while lines stream in, a frame that is due runs now.
    void TickEnded();
    // While lines stream in: a frame asked for now runs at the end of the running tick (the frame
    // interval has passed since the last one). The receive hold takes its lines in then.
    bool FrameDueAtTickEnd() const;

    // Runs the pending frame now (the layouts, the frame work, then the repaint); the values work
    // too, or only when it is due.
    enum class Values { Now, IfDue };
    void FlushNow(Values values = Values::Now);

    // The interval between frames: the screen's, or the streaming one while lines arrive.
    int FrameIntervalMs() const;
    // Tests fix the interval, streaming or not: a long one holds frames back for FlushNow.
    void SetFrameIntervalMs(int ms) { fixedIntervalMs_ = ms; }
    // The least time between values frames while lines stream in.
    void SetValuesIntervalMs(int ms) { valuesIntervalMs_ = ms; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Request(QObject* owner, std::function<void()> work, bool values);
    void Schedule();
    void Frame(Values values = Values::IfDue);
    bool IsStreaming() const;
    bool TicksCarryFrames() const;
    bool ValuesDue() const;
    qint64 WaitMs() const;
    bool Suspended() const;
    bool InWindow(QObject* object) const;
    void RunLayouts();

    struct Work {
        QPointer<QObject> owner;
        std::function<void()> run;
        bool values;
    };
    QWidget* window_;
    QTimer timer_;
    QElapsedTimer sinceFrame_;
    QElapsedTimer sinceValues_;  // since values work last ran
    int intervalMs_ = 16;        // the screen's
    int fixedIntervalMs_ = -1;   // set by a test
    int valuesIntervalMs_;
    bool repaintHeld_ = false;  // a repaint request of the window waits for the frame
    bool sending_ = false;      // the pacer's own repaint request is on its way
    bool inFrame_ = false;      // the frame collects the repaint requests its work made
    bool layingOut_ = false;    // the frame runs the layouts that waited
    int layoutsRun_ = 0;
    QElapsedTimer sinceLines_;  // since lines last arrived; invalid before the first
    QElapsedTimer sinceTick_;   // since the driver's last tick ended; invalid before the first
    std::vector<Work> work_;
    std::vector<QPointer<QWidget>> layouts_;  // widgets whose layout waits for the frame
};

}  // namespace rv
