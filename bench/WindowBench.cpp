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
//
// Three figures run the window as the technician's laptop does, on its own 10-ms driver timer and
// event loop, and give the CPU time of the process (user + system):
// - "window at a paced 115200 bit/s link": the recorded stream handed over at 11520 bytes a second
//   for --window-seconds (default 60), as % of a core;
// - "window on a silent link": the same with no line at all: what the driver's ticks cost alone;
// - "window fed a million lines": --window-lines lines (default 1000000) handed over at once, read
//   a receive buffer per tick until the last one, as CPU-seconds for a million lines.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "BenchReport.h"
#include "RecordedStream.h"
#include "ui/MainWindow.h"

namespace {

constexpr std::size_t kLinesBefore = 1000000;

// The serial device of the window: it reads back what the benchmark has handed over, or, while
// paced, what a link of the given rate would have brought since pacing began (the recorded stream
// over and over). Pacing in the read itself keeps the figure free of a feeding timer: the process
// wakes only for the window's own timers, as it does on a real port.
class FeedDevice : public rv::SerialDevice {
  public:
    bool Open(const std::string&) override { return true; }
    bool Apply(const rv::SerialLineSettings&) override { return true; }
    std::int32_t Read(std::uint8_t* buffer, std::int32_t capacity) override {
        if (paced_ != nullptr) TakeDueBytes();
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

    // From now on reads bring `stream` at `bytesPerSecond`; Unpace stops it.
    void Pace(const std::string& stream, double bytesPerSecond) {
        paced_ = &stream;
        bytesPerSecond_ = bytesPerSecond;
        handed_ = 0;
        pacedAt_ = 0;
        clock_.start();
    }
    void Unpace() { paced_ = nullptr; }

  private:
    void TakeDueBytes() {
        const auto due = static_cast<std::size_t>(static_cast<double>(clock_.nsecsElapsed()) *
                                                  bytesPerSecond_ / 1e9);
        while (handed_ < due) {
            const std::size_t n = std::min(due - handed_, paced_->size() - pacedAt_);
            Hand(std::string_view(*paced_).substr(pacedAt_, n));
            handed_ += n;
            pacedAt_ = (pacedAt_ + n) % paced_->size();
        }
    }
    void Reset() {
        bytes_.clear();
        at_ = 0;
    }
    std::string bytes_;
    std::size_t at_ = 0;
    const std::string* paced_ = nullptr;
    double bytesPerSecond_ = 0;
    QElapsedTimer clock_;
    std::size_t handed_ = 0;
    std::size_t pacedAt_ = 0;
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

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs the window's event loop (its driver timer reads on every tick) for `ms`, or until
// `done` says so (checked every 10 ms); returns the CPU-seconds spent.
double RunWindow(int ms, const std::function<bool()>& done = {}) {
    QEventLoop loop;
    QTimer end;
    end.setSingleShot(true);
    QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
    end.start(ms);
    QTimer check;
    if (done) {
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (done()) loop.quit();
        });
        check.start(10);
    }
    const double before = CpuSeconds();
    loop.exec();
    return CpuSeconds() - before;
}

void PacedWindowFigure(benchmark::State& state, double bytesPerSecond) {
    WindowUnderLoad& w = Window();
    if (!w.window->Form().Q().IsOpen()) {
        state.SkipWithError("the window's port did not open");
        return;
    }
    const double seconds = std::max(1.0, rvbench::g_windowSeconds);
    const long paintsBefore = w.paints.paints;
    const long widgetPaintsBefore = w.paints.widgetPaints;
    const std::size_t linesBefore = w.window->Form().Log().Count();
    double cpu = 0;
    for (auto _ : state) {
        if (bytesPerSecond > 0) w.device->Pace(w.stream, bytesPerSecond);
        cpu = RunWindow(static_cast<int>(seconds * 1000));
        w.device->Unpace();
    }
    const auto perSecond = [seconds](double count) { return count / seconds; };
    state.counters["CPU % of a core"] = 100 * cpu / seconds;
    state.counters["lines a second"] =
        perSecond(static_cast<double>(w.window->Form().Log().Count() - linesBefore));
    state.counters["log view paints a second"] =
        perSecond(static_cast<double>(w.paints.paints - paintsBefore));
    state.counters["widget paints a second"] =
        perSecond(static_cast<double>(w.paints.widgetPaints - widgetPaintsBefore));
}

void MillionLinesFigure(benchmark::State& state) {
    WindowUnderLoad& w = Window();
    if (!w.window->Form().Q().IsOpen()) {
        state.SkipWithError("the window's port did not open");
        return;
    }
    const auto lines = static_cast<std::size_t>(std::max(1L, rvbench::g_windowLines));
    std::string bytes;
    for (std::size_t i = 0; i < lines; ++i) bytes += w.lines[i % w.lines.size()];
    const std::size_t before = w.window->Form().Log().Count();
    double cpu = 0;
    for (auto _ : state) {
        w.device->Hand(bytes);
        // The driver reads at most a receive buffer per tick: about 200 KB a second.
        const int most = static_cast<int>(static_cast<double>(bytes.size()) / 100000.0 * 1000.0);
        cpu = RunWindow(most + 10000, [&] { return w.device->Drained(); });
        cpu += RunWindow(100);  // the last frame
    }
    const double received = static_cast<double>(w.window->Form().Log().Count() - before);
    state.counters["lines received"] = received;
    state.counters["CPU-seconds per 1000000 lines"] = received > 0 ? cpu * 1e6 / received : 0;
}

const bool kRegistered = [] {
    benchmark::RegisterBenchmark("window_paced_at_a_saturated_115200_baud_link", PacedWindowFigure,
                                 rvbench::kLinkBytesPerSecond)
        ->Iterations(1)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("window_paced_on_a_silent_link", PacedWindowFigure, 0.0)
        ->Iterations(1)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("window_fed_a_million_lines", MillionLinesFigure)
        ->Iterations(1)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
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
