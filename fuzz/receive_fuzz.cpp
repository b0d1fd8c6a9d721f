// Arbitrary bytes from the serial line through the whole receive path: the port driver's framing
// at the line-feed terminator, the receive frame (counter, traffic log), every reply decoder and
// the calibration recorder. Nothing may crash, hang, trip a sanitizer or let an exception out of
// a tick, and the driver's bookkeeping must add up.
//
// Input layout: byte 0 picks the sizes of the serial reads, byte 1 the receive buffer size and
// the decimal separator, byte 2 which calibration channels watch which source; the rest is the
// byte stream the unit sends.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzChecks.h"
#include "app/Console.h"
#include "calibration/Recorder.h"
#include "layout/SectionPlan.h"
#include "serial/CommPortDriver.h"
#include "text/ByteSizeText.h"

namespace {

using fuzz::Check;
using fuzz::Fail;

// A serial device that hands out the fuzz bytes in reads of varying sizes.
class FuzzSerialDevice : public rv::SerialDevice {
  public:
    FuzzSerialDevice(std::string_view bytes, std::uint8_t chunkSeed)
        : bytes_(bytes), seed_(chunkSeed) {}

    bool Open(const std::string&) override { return open_ = true; }
    bool Apply(const rv::SerialLineSettings&) override { return open_; }
    std::int32_t Read(std::uint8_t* buffer, std::int32_t capacity) override {
        if (!open_) return -1;
        if (capacity <= 0 || at_ >= bytes_.size()) return 0;
        // Read sizes from 1 to 64 bytes, or everything at once when the seed says so.
        std::size_t want = seed_ == 0 ? bytes_.size() : 1 + (seed_ * (reads_ + 1) * 31u) % 64u;
        ++reads_;
        want = std::min({want, bytes_.size() - at_, static_cast<std::size_t>(capacity)});
        std::memcpy(buffer, bytes_.data() + at_, want);
        at_ += want;
        return static_cast<std::int32_t>(want);
    }
    std::int32_t Write(const std::uint8_t*, std::int32_t size) override {
        return open_ ? size : -1;
    }
    void Close() override { open_ = false; }

    bool Drained() const { return at_ >= bytes_.size(); }
    std::size_t ReadBytes() const { return at_; }

  private:
    std::string_view bytes_;
    std::uint8_t seed_;
    std::size_t at_ = 0;
    unsigned reads_ = 0;
    bool open_ = false;
};

class NoTicks : public rv::TickSource {
  public:
    void Start(int, std::function<void()>) override {}
    void Stop() override {}
};

// The fields the checks below look at, found by name once.
struct WatchedFields {
    explicit WatchedFields(const rv::DisplayModel& d) : counter(d.Field("LL_PIN")) {
        for (char digit = '0'; digit <= '5'; ++digit) {
            sensorCaptions.push_back(d.Field(std::string("LLS") + digit));
            sensorCaptions.push_back(d.Field(std::string("LLOWT") + digit));
        }
        for (std::size_t i = 0; i < d.FieldCount(); ++i) {
            if (d.Kind(static_cast<int>(i)) == rv::FieldKind::MaskedEdit)
                pinBoxes.push_back(static_cast<int>(i));
        }
    }
    int counter;
    std::vector<int> sensorCaptions;
    std::vector<int> pinBoxes;  // and the access-point boxes: every masked edit
};

FUZZ_CHECKING_CODE void CheckDisplay(const rv::DisplayModel& d, const WatchedFields& watched) {
    Check(d.BarPosition(rv::Bar::SignalLevel) >= 0 &&
              d.BarPosition(rv::Bar::SignalLevel) <=
                  rv::DisplayModel::BarMaximum(rv::Bar::SignalLevel),
          "signal bar in range");
    Check(d.BarPosition(rv::Bar::Battery) >= 0 &&
              d.BarPosition(rv::Bar::Battery) <= rv::DisplayModel::BarMaximum(rv::Bar::Battery),
          "battery bar in range");
    for (const int field : watched.sensorCaptions) {
        const std::string& caption = d.Text(field);
        Check(!caption.empty() && caption.back() == ':', "sensor caption is an address and ':'");
    }
}

// The clear leaves the PIN boxes alone (a PIN the technician typed survives it); between inputs
// they go back to what a fresh console shows.
void ResetPinBoxes(rv::DisplayModel& reused, const rv::DisplayModel& fresh,
                   const WatchedFields& watched) {
    for (const int f : watched.pinBoxes) {
        if (reused.Text(f) != fresh.Text(f)) reused.SetV(f, fresh.Text(f), fresh.ColourOf(f));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::uint8_t chunkSeed = data[0];
    static constexpr std::uint16_t kBufferSizes[] = {2048, 1, 2, 7, 16, 64, 300, 65535};
    const std::uint16_t bufferSize = kBufferSizes[data[1] & 7];
    const std::uint8_t channels = data[2];
    const std::string_view stream(reinterpret_cast<const char*>(data) + 3, size - 3);

    // One console for the whole run, reset after each input: building its display model, key
    // table and recorder costs far more than decoding a typical input. The reset is checked
    // against a fresh console at the end of the input that made the mess, so a finding
    // reproduces from that one input.
    static rv::RegionalFormats formats;
    static const rv::FixedClock clock({2026, 12, 8, 9, 5, 7, 4});
    static const auto cleared = [](rv::Console* c) {
        c->StatClearExecute();
        return c;
    };
    // The error report is there so that its path runs too.
    static rv::Console& console =
        *cleared(new rv::Console(formats, clock, [](const std::string&) {}));
    static rv::Console& fresh = *cleared(new rv::Console(formats, clock));
    static const WatchedFields watched(fresh.Display());
    formats.decimalSeparator = (data[1] & 8) ? ',' : '.';

    auto device = std::make_unique<FuzzSerialDevice>(stream, chunkSeed);
    FuzzSerialDevice* dev = device.get();
    NoTicks ticks;
    rv::TCommPortDriver q(std::move(device), ticks, [](int) { return std::string("fuzz"); });
    q.SetEndByte(10);
    q.SetPortInBufSize(bufferSize);

    std::int64_t delivered = 0;
    std::size_t sourcesPicked = 0;
    q.SetOnReceiveData([&](rv::TCommPortDriver& sender, const std::uint8_t* block,
                           std::int32_t blockSize) {
        Check(blockSize > 0 && blockSize <= sender.PortInBufSize(), "block size within the buffer");
        Check(block[blockSize - 1] == 10 || blockSize == sender.PortInBufSize(),
              "a block ends at the terminator unless the buffer was full");
        Check(std::memchr(block, 10, static_cast<std::size_t>(blockSize - 1)) == nullptr,
              "one line per block");
        delivered += blockSize;
        console.QReceiveData(block, blockSize);
        // Let the recorder watch a few sources, so readings reach its entry rows too: picked again
        // whenever a reply has brought a new one (the drop-down lists what is known by then).
        if (console.Calibration().Sources().size() == sourcesPicked) return;
        sourcesPicked = console.Calibration().Sources().size();
        if (channels & 1) console.Calibration().cmbDatNDropDown(1 + (channels >> 1 & 3));
        if (channels & 8) {
            const int n = 1 + (channels >> 4 & 3);
            console.Calibration().cmbDatNDropDown(n);
            const auto& items = console.Calibration().State(n).items;
            if (items.size() > 1)
                console.Calibration().cmbDatNChange(
                    n, 1 + (channels >> 6) % static_cast<int>(items.size() - 1));
        }
    });
    if (!q.OpenPort()) Fail("open");

    // Enough ticks to drain the stream even with one-byte reads, and one more.
    const std::size_t maxTicks = stream.size() + 2;
    for (std::size_t tick = 0; tick < maxTicks && !dev->Drained(); ++tick) {
        try {
            q.PollReceive();
        } catch (...) {
            Fail("an exception left the receive tick");
        }
        Check(q.PendingCount() <= q.PortInBufSize(), "pending bytes fit the buffer");
        Check(delivered + q.PendingCount() == static_cast<std::int64_t>(dev->ReadBytes()),
              "every byte read is delivered or pending");
    }
    try {
        q.PollReceive();
    } catch (...) {
        Fail("an exception left the receive tick");
    }
    Check(dev->Drained(), "the stream was read to its end");
    Check(console.ReceivedBytes() == delivered, "the counter counts every delivered byte");
    const rv::DisplayModel& d = console.Display();
    Check(d.Text(watched.counter) == rv::ByteSizeText(delivered, formats) ||
              d.Text(watched.counter) == "-",
          "LL_PIN shows the counter");
    CheckDisplay(d, watched);

    console.StatClearExecute();
    console.SetReceivedBytes(0);
    ResetPinBoxes(console.Display(), fresh.Display(), watched);
    fuzz::CheckConsoleLike(console, fresh);
    return 0;
}
