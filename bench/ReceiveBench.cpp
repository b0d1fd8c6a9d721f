// The whole receive path of the console for the lines a working unit sends: the port driver's
// framing at the line feed, the receive frame (byte counter, traffic log) and all key searches
// and decoders, with the calibration recorder and the settings editor plugged in as the main form
// has them. Reported as lines per second and as a multiple of a saturated 115200 bit/s link.
//
// The fields' histories on that path: the same stream through the same form with the histories
// kept and with the display's write tap taken away, alternated in one run and timed by the
// thread's own CPU time so both see the same machine; printed as the ratio of their times (1.05:
// the histories cost 5 %).
//
// The same path with cold caches, as the window's ticks find them (see below).
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "BenchReport.h"
#include "RecordedStream.h"
#include "app/MainForm.h"
#include "protocol/DisplayModel.h"
#include "protocol/ReplyHandler.h"

namespace {

// Replays the stream as fast as the driver asks for it, one full receive buffer per read.
class ReplayDevice : public rv::SerialDevice {
  public:
    explicit ReplayDevice(const std::string& stream) : stream_(stream) {}
    bool Open(const std::string&) override { return true; }
    bool Apply(const rv::SerialLineSettings&) override { return true; }
    std::int32_t Read(std::uint8_t* buffer, std::int32_t capacity) override {
        const std::size_t n =
            std::min(stream_.size() - at_, static_cast<std::size_t>(std::max(capacity, 0)));
        std::memcpy(buffer, stream_.data() + at_, n);
        at_ += n;
        return static_cast<std::int32_t>(n);
    }
    std::int32_t Write(const std::uint8_t*, std::int32_t size) override { return size; }
    void Close() override {}

    bool Drained() const { return at_ == stream_.size(); }
    void Rewind() { at_ = 0; }

  private:
    const std::string& stream_;
    std::size_t at_ = 0;
};

class NoTicks : public rv::TickSource {
  public:
    void Start(int, std::function<void()>) override {}
    void Stop() override {}
};

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The main form fed by a replay of the recorded stream, its port open.
struct ReplayForm {
    std::size_t lines = 0;
    const std::string stream = rvbench::RecordedStream(40, lines);  // outlives the form
    rv::RegionalFormats formats;
    rv::FixedClock clock{{2026, 12, 8, 9, 5, 7, 4}};
    NoTicks ticks;
    ReplayDevice* replay = nullptr;
    std::unique_ptr<rv::MainForm> form;

    ReplayForm() {
        formats.decimalSeparator = ',';
        rv::FormPlatform platform;
        auto device = std::make_unique<ReplayDevice>(stream);
        replay = device.get();
        platform.device = std::move(device);
        platform.ticks = &ticks;
        platform.resolvePath = [](int) { return std::string("bench"); };
        platform.readPortList = [] { return std::string(); };
        form = std::make_unique<rv::MainForm>(formats, clock, std::move(platform));
        form->FormCreate();
    }
    // The whole stream once through the driver's framing and the receive frame.
    void Run() {
        replay->Rewind();
        while (!replay->Drained()) form->Q().PollReceive();
    }
    void ClearWhenLong(benchmark::State* state) {
        if (form->Log().Count() <= 200000) return;
        if (state) state->PauseTiming();
        form->StatClearExecute();
        if (state) state->ResumeTiming();
    }
};

void receive_path(benchmark::State& state) {
    ReplayForm r;
    if (!r.form->Q().OpenPort()) {
        state.SkipWithError("the replay port did not open");
        return;
    }
    for (auto _ : state) {
        r.Run();
        r.ClearWhenLong(&state);
    }
    rvbench::CountLines(state, static_cast<double>(r.lines));
}
BENCHMARK(receive_path);

void receive_path_histories_cost(benchmark::State& state) {
    ReplayForm r;
    if (!r.form->Q().OpenPort()) {
        state.SkipWithError("the replay port did not open");
        return;
    }
    rv::DisplayModel& display = r.form->Display();
    double with = 0, without = 0;
    bool keepFirst = false;  // the order turns every time, so neither run inherits a warmer cache
    for (auto _ : state) {
        keepFirst = !keepFirst;
        for (bool keep : {keepFirst, !keepFirst}) {
            display.SetWriteTap(keep ? &r.form->History() : nullptr);
            const double start = ThreadCpuSeconds();
            r.Run();
            (keep ? with : without) += ThreadCpuSeconds() - start;
            r.ClearWhenLong(nullptr);
        }
    }
    display.SetWriteTap(&r.form->History());
    state.counters["with / without histories"] = benchmark::Counter(with / without);
    rvbench::CountLines(state, 2.0 * static_cast<double>(r.lines));
}
BENCHMARK(receive_path_histories_cost);

// The receive path as the window runs it: a tick reads one receive buffer, and between ticks the
// window's painting, its event loop and the system take the caches for themselves, so each tick
// finds the tables, fields and histories it writes in memory, not in a cache. Here a buffer
// larger than the last-level cache is read between reads of the port. Both ways alternate in one
// run, timed by the thread's CPU time around the port reads only; printed as the cold path's rate
// and the ratio of the two times (3.0: the cold path takes three times as long).
void receive_path_cold_caches(benchmark::State& state) {
    ReplayForm r;
    if (!r.form->Q().OpenPort()) {
        state.SkipWithError("the replay port did not open");
        return;
    }
    std::vector<std::uint64_t> elsewhere(std::size_t{48} << 20 >> 3, 1);
    std::uint64_t sum = 0;
    double cold = 0, warm = 0, coldLines = 0;
    bool coldFirst = false;
    for (auto _ : state) {
        coldFirst = !coldFirst;
        for (bool evict : {coldFirst, !coldFirst}) {
            r.replay->Rewind();
            double seconds = 0;
            while (!r.replay->Drained()) {
                if (evict) {
                    for (std::size_t i = 0; i < elsewhere.size(); i += 8) sum += elsewhere[i]++;
                }
                const double start = ThreadCpuSeconds();
                r.form->Q().PollReceive();
                seconds += ThreadCpuSeconds() - start;
            }
            (evict ? cold : warm) += seconds;
            if (evict) coldLines += static_cast<double>(r.lines);
            r.ClearWhenLong(nullptr);
        }
    }
    benchmark::DoNotOptimize(sum);
    state.counters["cold / warm"] = benchmark::Counter(cold / warm);
    rvbench::ReportLines(state, coldLines / cold);
}
BENCHMARK(receive_path_cold_caches)->Iterations(20);

// The key searches and decoders alone, one line per call, for comparison with the whole path.
void reply_decoders(benchmark::State& state) {
    std::size_t count = 0;
    const std::string stream = rvbench::RecordedStream(40, count);
    const std::vector<std::string_view> lines = rvbench::StreamLines(stream);
    rv::RegionalFormats formats;
    rv::DisplayModel display;
    display.ClearDisplay();
    struct NoCapture : rv::CalibrationCapture {
        void SendTarDat(std::string_view, std::string_view, std::string_view) override {}
    } capture;
    rv::ReplyHandler handler(
        display, formats, capture, [&display] { display.ClearDisplay(); },
        [](const std::string&) {});
    for (auto _ : state) {
        for (std::string_view line : lines) handler.Decode(line);
        benchmark::ClobberMemory();
    }
    rvbench::CountLines(state, static_cast<double>(lines.size()));
}
BENCHMARK(reply_decoders);

}  // namespace
