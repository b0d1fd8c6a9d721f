// The window paints once a frame: the log follows every frame, values (labels, bars and the
// settings boxes) the values frame, which comes less often while lines stream in; painting and
// layouts wait for the frame, a minimised window is not painted, and the traffic log view draws
// only the rows that new lines bring into sight. Frames are held back (a frame interval of an
// hour) and run by FlushNow, so nothing here depends on time.
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QScrollBar>

#include "support/ScriptedPlatform.h"
#include "support/WindowTextQt.h"
#include "ui/FramePacerQt.h"
#include "ui/MainWindow.h"
#include "ui/TrafficLogView.h"

namespace rv {
namespace {

// The paint events of every widget: how many, and the height of the log view's painted rows.
class PaintLog : public QObject {
  public:
    explicit PaintLog(QWidget* logViewport) : logViewport_(logViewport) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        ++paints;
        if (watched == this->watched) ++watchedPaints;
        if (watched == logViewport_) {
            ++logPaints;
            for (const QRect& r : static_cast<QPaintEvent*>(event)->region()) logRows += r.height();
        }
        return false;
    }
    void Reset() { paints = logPaints = logRows = watchedPaints = 0; }
    QObject* watched = nullptr;  // one more widget whose paints are counted
    int watchedPaints = 0;
    int paints = 0;
    int logPaints = 0;
    int logRows = 0;  // pixels high

  private:
    QWidget* logViewport_;
};

struct PacedWindow {
    PacedWindow() {
        window = std::make_unique<MainWindow>(
            test::ScriptedPlatform(device, nullptr, [] { return test::PortList({"COM3"}); }));
        window->show();
        pacer = FramePacerQt::Of(window.get());
        log = window->findChild<TrafficLogView*>(QStringLiteral("Memo"));
        pacer->SetFrameIntervalMs(3600 * 1000);
        paints = std::make_unique<PaintLog>(log->viewport());
        QApplication::instance()->installEventFilter(paints.get());
        Frame();
    }
    ~PacedWindow() { QApplication::instance()->removeEventFilter(paints.get()); }
    void Receive(int lines) {
        for (int i = 0; i < lines; ++i)
            window->Form().ReceiveLine(">MS=" + std::to_string(i) + "\r\n");
        QApplication::processEvents();
    }
    // The frame, and whatever the event loop still has to deliver; then a clean count.
    void Frame() {
        QApplication::processEvents();
        pacer->FlushNow();
        QApplication::processEvents();
    }
    QString Text(const char* name) const { return test::ShownText(*window, name); }

    test::ScriptedSerialDevice* device = nullptr;
    std::unique_ptr<MainWindow> window;
    FramePacerQt* pacer = nullptr;
    TrafficLogView* log = nullptr;
    std::unique_ptr<PaintLog> paints;
};

TEST(FramePacer, WhileLinesStreamValuesWaitForTheValuesFrameAndTheLogForNone) {
    PacedWindow w;
    ASSERT_NE(w.pacer, nullptr);
    auto* counter = w.window->findChild<QLabel*>(QStringLiteral("LL_PIN"));
    ASSERT_NE(counter, nullptr);
    w.paints->watched = counter;
    auto* apn = w.window->findChild<QLineEdit*>(QStringLiteral("LL_SS01"));  // a settings box
    ASSERT_NE(apn, nullptr);
    const QString before = counter->text();
    w.pacer->SetValuesIntervalMs(3600 * 1000);
    w.paints->Reset();
    w.Receive(3);
    w.window->Form().ReceiveLine(">ISS1=internet;;\r\n");
    QApplication::processEvents();
    EXPECT_EQ(w.log->LineCount(), 4);
    EXPECT_EQ(w.paints->paints, 0);  // nothing before the frame
    w.pacer->FlushNow(FramePacerQt::Values::IfDue);
    EXPECT_GT(w.paints->logPaints, 0);
    EXPECT_EQ(counter->text(), before);
    EXPECT_EQ(w.paints->watchedPaints, 0);
    EXPECT_EQ(apn->text(), QString());
    // The values frame shows the latest values, once.
    w.pacer->FlushNow(FramePacerQt::Values::Now);
    QApplication::processEvents();
    EXPECT_EQ(counter->text(), QString("39 B"));  // the four lines' bytes
    EXPECT_EQ(w.paints->watchedPaints, 1);
    EXPECT_EQ(apn->text(), QString("internet"));
}

TEST(FramePacer, WhileLinesStreamTheDriversTickRunsTheFrameOnceItIsDue) {
    PacedWindow w;
    w.pacer->TickEnded();  // the driver's ticks run
    w.Receive(3);
    w.paints->Reset();
    w.pacer->TickEnded();  // the frame is not due for an hour
    EXPECT_EQ(w.paints->logPaints, 0);
    w.pacer->SetFrameIntervalMs(0);
    w.pacer->TickEnded();  // due: painted before the tick returns, no event loop needed
    EXPECT_GT(w.paints->logPaints, 0);
}

TEST(FramePacer, LinesHeldWhileTheyStreamAreTakenInAtTheTickAFrameIsDue) {
    // The first line comes after quiet and is taken in at once; the second is held unless the
    // window paints at the end of its tick.
    const struct {
        int frameIntervalMs;
        int linesLoggedAfterTheSecondTick;
    } cases[] = {{0, 2}, {3600 * 1000, 1}};
    for (const auto& c : cases) {
        PacedWindow w;
        w.pacer->SetFrameIntervalMs(c.frameIntervalMs);
        w.window->Form().Connection().StartExecute(3);
        ASSERT_TRUE(w.window->Form().Q().IsOpen());
        w.device->QueueRead(">DN=1\r\n");
        w.device->QueueRead(">DN=2\r\n");
        QElapsedTimer waited;
        waited.start();
        while (w.device->QueuedReads() > 0 && waited.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        EXPECT_EQ(w.window->Form().Log().Count(), c.linesLoggedAfterTheSecondTick)
            << c.frameIntervalMs;
    }
}

TEST(FramePacer, AFrameStillComesWhenTheTicksStop) {
    PacedWindow w;
    w.pacer->SetFrameIntervalMs(0);
    w.pacer->TickEnded();  // the last tick: the port closes after it
    w.paints->Reset();     // before the lines: on a slow machine their frame may come at once
    w.Receive(3);
    QElapsedTimer waited;
    waited.start();
    while (w.paints->logPaints == 0 && waited.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_GT(w.paints->logPaints, 0);
}

TEST(FramePacer, TheLogsHorizontalBarIsNotRepaintedAsLinesStreamIn) {
    PacedWindow w;
    // A line wider than the view shows the horizontal bar.
    w.window->Form().ReceiveLine(">ID=" + std::string(400, '7') + "\r\n");
    w.Frame();  // draws the line, and learns how wide it is
    w.Frame();  // shows the bar
    w.Frame();
    QScrollBar* bar = w.log->horizontalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    w.paints->watched = bar;
    w.paints->Reset();
    for (int frame = 0; frame < 5; ++frame) {
        w.Receive(3);
        w.Frame();
    }
    EXPECT_GT(w.paints->logPaints, 0);
    EXPECT_EQ(w.paints->watchedPaints, 0);
}

TEST(FramePacer, NothingIsPaintedWhileTheWindowIsMinimised) {
    PacedWindow w;
    w.window->showMinimized();
    w.Frame();
    w.paints->Reset();
    w.Receive(5);
    w.Frame();
    EXPECT_EQ(w.paints->paints, 0);
    w.window->showNormal();
    w.Frame();
    EXPECT_GT(w.paints->logPaints, 0);
}

TEST(FramePacer, TheLogViewDrawsOnlyTheRowsNewLinesBringIntoSight) {
    PacedWindow w;
    const int page = w.log->VisibleLineCount();
    ASSERT_GT(page, 3);
    const int rowHeight = w.log->viewport()->height() / page;
    w.Receive(2 * page);  // the page is full and follows the newest line
    w.Frame();
    ASSERT_TRUE(w.log->AtBottom());
    struct Case {
        int lines;
        int rowsDrawn;
    } cases[] = {{1, 1}, {3, 3}, {page - 1, page - 1}};
    for (const Case& c : cases) {
        w.paints->Reset();
        w.Receive(c.lines);
        w.Frame();
        EXPECT_EQ(w.paints->logPaints, 1) << c.lines;
        // The exposed strip: the rows scrolled in (and the part row at the bottom they pass).
        EXPECT_GE(w.paints->logRows, c.rowsDrawn * rowHeight) << c.lines;
        EXPECT_LT(w.paints->logRows, (c.rowsDrawn + 1) * rowHeight) << c.lines;
        EXPECT_EQ(w.log->FirstVisibleLine() + page, w.log->LineCount()) << c.lines;
    }
    // More lines than the page holds: the page is drawn once, whatever their number.
    for (int lines : {page + 1, 50 * page}) {
        w.paints->Reset();
        w.Receive(lines);
        w.Frame();
        EXPECT_EQ(w.paints->logPaints, 1) << lines;
        EXPECT_EQ(w.paints->logRows, w.log->viewport()->height()) << lines;
    }
}

}  // namespace
}  // namespace rv
