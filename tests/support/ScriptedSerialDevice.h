#pragma once
// A serial device for tests: every read returns the next scripted chunk, and everything the
// driver does to the device (open paths, settings, writes, closes) is recorded. The driver owns
// the device; keep the raw pointer (valid while the driver lives) to script and inspect it.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "serial/SerialDevice.h"
#include "serial/TickSource.h"

namespace rv::test {

class ScriptedSerialDevice : public SerialDevice {
  public:
    // --- script ---
    // The next read returns these bytes (as many as fit; the rest stays for the following read).
    void QueueRead(std::string_view bytes) { reads_.push_back({std::string(bytes), false}); }
    // The next read fails (-1).
    void QueueReadFailure() { reads_.push_back({{}, true}); }
    // The next read finds the device gone (cable pulled): kSerialDeviceLost from then on until
    // the device is closed, and LastFailure() says Lost.
    void QueueLoss() { reads_.push_back({{}, false, true}); }
    // Paths whose open fails, and why (LastFailure() after the refused open).
    void RefuseOpen(const std::string& path,
                    SerialFailure why = {SerialFailureKind::Missing, {}, {}}) {
        refused_[path] = std::move(why);
    }
    void AcceptOpen(const std::string& path) { refused_.erase(path); }
    // Every write fails (-1) / writes this many bytes fewer than asked.
    void SetWriteFails(bool fails) { writeFails_ = fails; }
    void SetWriteShortBy(std::int32_t bytes) { writeShortBy_ = bytes; }
    // The next write finds the device gone.
    void LoseOnWrite() { loseOnWrite_ = true; }

    // --- record ---
    bool IsOpen() const { return open_; }
    const std::vector<std::string>& OpenedPaths() const { return openedPaths_; }
    const std::vector<SerialLineSettings>& Applied() const { return applied_; }
    const std::string& Written() const { return written_; }
    int WriteCalls() const { return writeCalls_; }
    int CloseCalls() const { return closeCalls_; }
    const std::vector<std::int32_t>& ReadCapacities() const { return readCapacities_; }
    std::size_t QueuedReads() const { return reads_.size(); }

    bool Open(const std::string& path) override;
    bool Apply(const SerialLineSettings& settings) override;
    std::int32_t Read(std::uint8_t* buffer, std::int32_t capacity) override;
    std::int32_t Write(const std::uint8_t* data, std::int32_t size) override;
    void Close() override;
    SerialFailure LastFailure() const override { return failure_; }

  private:
    struct Chunk {
        std::string bytes;
        bool failure;
        bool loss = false;
    };
    std::int32_t Lose();

    std::deque<Chunk> reads_;
    std::map<std::string, SerialFailure> refused_;
    bool loseOnWrite_ = false;
    SerialFailure failure_;
    bool writeFails_ = false;
    std::int32_t writeShortBy_ = 0;

    bool open_ = false;
    std::vector<std::string> openedPaths_;
    std::vector<SerialLineSettings> applied_;
    std::string written_;
    int writeCalls_ = 0;
    int closeCalls_ = 0;
    std::vector<std::int32_t> readCapacities_;
};

// A tick source that records what the driver asks of it and ticks only when the test says so
// (Tick) or calls PollReceive itself.
class ManualTickSource : public TickSource {
  public:
    void Start(int periodMs, std::function<void()> onTick) override {
        active_ = true;
        periods_.push_back(periodMs);
        onTick_ = std::move(onTick);
    }
    void Stop() override {
        active_ = false;
        ++stops_;
    }
    bool Active() const { return active_; }
    const std::vector<int>& StartPeriods() const { return periods_; }
    int Stops() const { return stops_; }
    // One tick of a running source: runs what the driver started it with.
    void Tick() {
        if (active_ && onTick_) onTick_();
    }

  private:
    std::function<void()> onTick_;
    bool active_ = false;
    std::vector<int> periods_;
    int stops_ = 0;
};

}  // namespace rv::test
