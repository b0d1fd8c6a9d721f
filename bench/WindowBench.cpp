// The console's main window under load: lines of a working unit go through the serial driver, the
// receive frame, the decoders, the display widgets, the sensor area and the traffic log view of the
// real MainWindow (Qt's offscreen platform, painting included), with a million lines already in
// the log, as after a long session in the field.
//
// Between reads the event loop runs, as it does between the driver's 10-ms ticks: the widgets
// repaint what changed. "window" hands over 4 lines per pass, what a saturated 115200 bit/s link
// brings in one tick (so every few lines cost a repaint); "window with a full receive buffer per
// tick" hands over 64 lines (about the driver's 2048-byte receive buffer) per pass, as when the
// unit sends faster than the link could.
//
// Also reported: the traffic log's memory per line against the raw bytes of a line.
#include <benchmark/benchmark.h>

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "BenchReport.h"
#include "RecordedStream.h"
#include "ui/MainWindow.h"

namespace {

constexpr std::size_t kLinesBefore = 1000000;

// The serial device of the window: it reads back what the benchmark has handed over.
class FeedDevice : public rv::SerialDevice {
  public:
    bool Open(const std::string&) override { return true; }
    bool Apply(const rv::SerialLineSettings&) override { return true; }
    std::int32_t Read(std::uint8_t* buffer, std::int32_t capacity) override {
        const std::size_t n =
            std::min(bytes_.size() - at_, static_cast<std::size_t>(std::max(capacity, 0)));
        std::memcpy(buffer, bytes_.data() + at_, n);
        at_ += n;
        if (at_ == bytes_.size()) Reset();
        return static_cast<std::int32_t>(n);
    }
    std::int32_t Write(const std::uint8_t*, std::int32_t size) override { return size; }
    void Close() override {}

    void Hand(std::string_view bytes) { bytes_.append(bytes); }
    bool Drained() const { return bytes_.empty(); }

  private:
    void Reset() {
        bytes_.clear();
        at_ = 0;
    }
    std::string bytes_;
    std::size_t at_ = 0;
};

// Counts paint events, of the traffic log view and of every widget, to show what painting the
// figure includes.
class PaintCounter : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint) return false;
        ++widgetPaints;
        const auto* view = qobject_cast<const QAbstractScrollArea*>(watched->parent());
        if (view != nullptr && view->viewport() == watched &&
            view->objectName() == QLatin1String("Memo"))
            ++paints;
        return false;
    }
    long paints = 0;        // of the traffic log view
    long widgetPaints = 0;  // of any widget
};

struct WindowUnderLoad {
    std::string stream;
    std::size_t lineCount = 0;
    std::vector<std::string_view> lines;
    FeedDevice* device = nullptr;
    std::unique_ptr<rv::MainWindow> window;
    PaintCounter paints;

    // Reads everything handed over, a receive buffer at a time, as the ticks would.
    void Receive() {
        while (!device->Drained()) window->Form().Q().PollReceive();
    }
};

// One window for all runs of the figures: filling the log with a million lines is done once.
WindowUnderLoad& Window() {
    static WindowUnderLoad* w = nullptr;
    if (w != nullptr) return *w;
    w = new WindowUnderLoad;
    rvbench::AtExit([] {
        QCoreApplication::instance()->removeEventFilter(&w->paints);
        delete w;
        w = nullptr;
    });
    w->stream = rvbench::RecordedStream(40, w->lineCount);
    w->lines = rvbench::StreamLines(w->stream);

    rv::FormPlatform platform;
    auto device = std::make_unique<FeedDevice>();
    w->device = device.get();
    platform.device = std::move(device);
    platform.resolvePath = [](int) { return std::string("bench"); };
    platform.readPortList = [] { return std::string(); };
    w->window = std::make_unique<rv::MainWindow>(std::move(platform));
    w->window->show();
    QCoreApplication::processEvents();
    w->window->Form().Q().OpenPort();

    // The million lines before: modem chatter, which reaches the log (and the byte counter) only,
    // so that filling takes a few seconds instead of a quarter of a minute of widget updates; the
    // log and its view cost the same whatever the lines say.
    std::string chatter;
    for (int i = 0; i < 1000; ++i) chatter += "+CSQ: 18,99\r\n";
    while (w->window->Form().Log().Count() < kLinesBefore) {
        w->device->Hand(chatter);
        w->Receive();
    }

    QCoreApplication::processEvents();
    QCoreApplication::instance()->installEventFilter(&w->paints);
    return *w;
}

void WindowFigure(benchmark::State& state, std::size_t linesPerPass, bool journal) {
    WindowUnderLoad& w = Window();
    // The journal follows the link status: once it is told the port is open, every line goes to
    // the journal too (the figure with the journal runs last, so the others run without it).
    if (journal) w.window->Form().Connection().UpdateStatus();
    if (!w.window->Form().Q().IsOpen()) {
        state.SkipWithError("the window's port did not open");
        return;
    }
    const long paintsBefore = w.paints.paints;
    const long widgetPaintsBefore = w.paints.widgetPaints;
    std::int64_t passes = 0;
    for (auto _ : state) {
        for (std::size_t first = 0; first < w.lines.size(); first += linesPerPass) {
            const std::size_t last = std::min(first + linesPerPass, w.lines.size()) - 1;
            const char* begin = w.lines[first].data();
            const char* end = w.lines[last].data() + w.lines[last].size();
            w.device->Hand(std::string_view(begin, static_cast<std::size_t>(end - begin)));
            w.Receive();
            QCoreApplication::processEvents();
            ++passes;
        }
    }
    rvbench::CountLines(state, static_cast<double>(w.lines.size()));

    const rv::LogStore& log = w.window->Form().Log();
    std::size_t textBytes = 0;
    for (std::size_t i = 0; i < log.Count(); ++i) textBytes += log.Line(i).size();
    const double count = static_cast<double>(log.Count());
    state.counters["lines in the log"] = count;
    state.counters["log memory bytes per line"] = static_cast<double>(log.MemoryBytes()) / count;
    state.counters["log text bytes per line"] = static_cast<double>(textBytes) / count;
    state.counters["wire bytes per line"] =
        static_cast<double>(w.stream.size()) / static_cast<double>(w.lineCount);
    const auto perPass = [passes](long count) {
        return passes > 0 ? static_cast<double>(count) / static_cast<double>(passes) : 0.0;
    };
    state.counters["log view paints per pass"] = perPass(w.paints.paints - paintsBefore);
    state.counters["widget paints per pass"] = perPass(w.paints.widgetPaints - widgetPaintsBefore);
}

const bool kRegistered = [] {
    benchmark::RegisterBenchmark("window", WindowFigure, std::size_t{4}, false)
        ->UseRealTime()
        ->MinTime(2.0)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("window_with_a_full_receive_buffer_per_tick", WindowFigure,
                                 std::size_t{64}, false)
        ->UseRealTime()
        ->MinTime(2.0)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("window_with_the_session_journal", WindowFigure, std::size_t{4},
                                 true)
        ->UseRealTime()
        ->MinTime(2.0)
        ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
