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
#include "app/MainForm.h"
#include "protocol/DisplayModel.h"
#include "protocol/ReplyHandler.h"

namespace {

// One status cycle of a unit with navigation, modem, inputs, two fuel-level sensors, 1-wire and
// CAN, plus the odd line of modem chatter that carries no reply key.
std::vector<std::string> StatusCycle(int t) {
    const auto n = [](int v) { return std::to_string(v); };
    std::vector<std::string> lines = {
        ">GK=55." + n(751200 + t) + ";37." + n(618400 + t),
        ">GS=" + n(5 + t % 7) + ";" + n(t % 90) + ";152;" + n(9 + t % 25) + ";" + n(t * 7 % 360),
        ">GP=" + n(1000 + t) + ";" + n(998 + t),
        ">PB=" + n(12600 - t % 400) + ";" + n(4100 - t % 300),
        ">TW=" + n(1765180800 + t) + ";" + n(7200 + t),
        ">DF=0;0",
        ">DS=462839",
        ">RW=" + n(3000 + t) + ";" + n(3300 + 2 * t),
        ">MS=7",
        ">ML=" + n(14 + t % 12),
        ">MT=" + n(20480 + 300 * t) + ";" + n(1536 + 20 * t) + ";" + n(250 + t % 100),
        ">MB=" + n(t % 4) + ";" + n(96 * (t % 4)),
        ">MW=" + n(t % 30) + ";",
        ">SA=OK",
        ">SS=DATA;" + n(128 + t % 64),
        ">ID0=" + n(t % 2),
        ">ID1=1",
        ">IF2=" + n(1500 + t % 50),
        ">IA3=" + n(2400 + t % 80),
        ">OD0=" + n(t % 2),
        ">LLS=1;5;" + n(2000 + t % 100) + ";" + n(30000 + t % 500) + ";24",
        ">LLS=1;85;" + n(1800 + t % 90) + ";" + n(29000 + t % 400) + ";23",
        ">OWT=28FF4A1B;" + n(20 + t % 5) + ".5",
        ">CA=" + n(1234500 + t),
        ">CC=" + n(98765400 + 3 * t),
        ">CG=" + n(650 - t % 100),
        ">CH=" + n(800 + t % 1200),
        ">CJ=" + n(t % 90),
        ">CQ=" + n(25 + t % 10),
        "+CSQ: 18,99",
    };
    return lines;
}

std::string RecordedStream(int cycles, std::size_t& lineCount) {
    std::string stream;
    lineCount = 0;
    for (int t = 0; t < cycles; ++t) {
        for (const std::string& line : StatusCycle(t)) {
            stream += line;
            stream += "\r\n";
            ++lineCount;
        }
    }
    return stream;
}

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
    void Start(int) override {}
    void Stop() override {}
};

void receive_path(benchmark::State& state) {
    std::size_t lines = 0;
    const std::string stream = RecordedStream(40, lines);  // outlives the form and its device

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
    const std::string stream = RecordedStream(40, count);
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < stream.size();) {
        const std::size_t end = stream.find('\n', at);
        lines.push_back(std::string_view(stream).substr(at, end + 1 - at));
        at = end + 1;
    }
    rv::RegionalFormats formats;
    rv::DisplayModel display;
    display.ClearDisplay();
    struct NoCapture : rv::CalibrationCapture {
        void SendTarDat(const std::string&, const std::string&, const std::string&) override {}
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
