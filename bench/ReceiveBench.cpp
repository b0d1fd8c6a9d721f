// The whole receive path of the console for the lines a working unit sends: the port driver's
// framing at the line feed, the receive frame (byte counter, traffic log) and all key searches
// and decoders, with the calibration recorder and the settings editor plugged in as the main form
// has them. Reported as lines per second and as a multiple of a saturated 115200 bit/s link.
#include <benchmark/benchmark.h>

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

void receive_path(benchmark::State& state) {
    std::size_t lines = 0;
    const std::string stream =
        rvbench::RecordedStream(40, lines);  // outlives the form and its device

    rv::RegionalFormats formats;
    formats.decimalSeparator = ',';
    rv::FixedClock clock({2026, 12, 8, 9, 5, 7, 4});
    NoTicks ticks;
    rv::FormPlatform platform;
    auto device = std::make_unique<ReplayDevice>(stream);
    ReplayDevice* replay = device.get();
    platform.device = std::move(device);
    platform.ticks = &ticks;
    platform.resolvePath = [](int) { return std::string("bench"); };
    platform.readPortList = [] { return std::string(); };
    rv::MainForm form(formats, clock, std::move(platform));
    form.FormCreate();
    if (!form.Q().OpenPort()) {
        state.SkipWithError("the replay port did not open");
        return;
    }
    for (auto _ : state) {
        replay->Rewind();
        while (!replay->Drained()) form.Q().PollReceive();
        if (form.Log().Count() > 200000) {
            state.PauseTiming();
            form.StatClearExecute();
            state.ResumeTiming();
        }
    }
    rvbench::CountLines(state, static_cast<double>(lines));
}
BENCHMARK(receive_path);

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
