#pragma once
// The console's form logic without widgets: the display model, the traffic log, the
// received-bytes counter and the receive frame that every line from the unit goes through. The
// main window owns one Console and shows it; tests drive it directly.

#include <cstdint>
#include <string>
#include <string_view>

#include "app/LogStore.h"
#include "base/ObserverList.h"
#include "protocol/DisplayModel.h"
#include "text/RegionalFormats.h"

namespace rv {

class LogObserver {
  public:
    virtual ~LogObserver() = default;
    virtual void LinesAppended(std::size_t /*count*/) {}  // the log now holds `count` lines
    virtual void LogCleared() {}
};

class Console {
  public:
    Console(const RegionalFormats& formats, const Clock& clock);
    virtual ~Console();
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    DisplayModel& Display() { return display_; }
    const DisplayModel& Display() const { return display_; }
    const LogStore& Log() const { return log_; }
    const RegionalFormats& Formats() const { return formats_; }
    const Clock& ClockSource() const { return clock_; }

    std::int64_t ReceivedBytes() const { return receivedBytes_; }
    void SetReceivedBytes(std::int64_t count) { receivedBytes_ = count; }
    // The counter's byte-size text beside "Получено:" (LL_PIN), in grey.
    void ShowReceivedBytes();

    // The receive frame of one block from the serial driver: the block becomes 8-bit text (every
    // byte kept), the received-bytes counter grows and is shown in LL_PIN, the block is appended
    // to the traffic log, and the reply keys are decoded.
    void QReceiveData(const std::uint8_t* data, std::int32_t size);
    void ReceiveLine(std::string_view block) {
        QReceiveData(reinterpret_cast<const std::uint8_t*>(block.data()),
                     static_cast<std::int32_t>(block.size()));
    }

    // The clear action: every display field to its idle state, the sensor area folded, the
    // traffic log emptied, the calibration recorder reset.
    void StatClearExecute();

    Subscription Subscribe(LogObserver& observer) { return logObservers_.Subscribe(observer); }

  protected:
    // Decoding of the reply keys of one block (step after logging); empty until the decoders
    // are plugged in.
    virtual void DecodeReplies(std::string_view /*block*/) {}
    // Reset of the calibration recorder at the end of the clear.
    virtual void InitTar() {}

  private:
    const RegionalFormats& formats_;
    const Clock& clock_;
    DisplayModel display_;
    LogStore log_;
    std::int64_t receivedBytes_ = 0;
    int pinField_;
    ObserverList<LogObserver> logObservers_;
};

}  // namespace rv
