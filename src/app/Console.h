#pragma once
// The console's form logic without widgets: the display model, the traffic log, the
// received-bytes counter, the reply decoders, the calibration recorder they feed, the histories of
// the numeric fields, and the receive frame that every line from the unit goes through. The main
// form is a Console with the serial link and the commands around it; tests drive a Console
// directly.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/ConsoleCheckpoint.h"
#include "app/LogStore.h"
#include "base/ObserverList.h"
#include "calibration/Recorder.h"
#include "protocol/DisplayModel.h"
#include "protocol/ReplyHandler.h"
#include "text/RegionalFormats.h"
#include "trends/FieldHistory.h"

namespace rv {

class LogObserver {
  public:
    virtual ~LogObserver() = default;
    virtual void LinesAppended(std::size_t /*count*/) {}  // the log now holds `count` lines
    virtual void LogCleared() {}
    // The log was cut back to its first `count` lines (a played log sought back).
    virtual void LogTruncated(std::size_t /*count*/) {}
};

// A line of the traffic log as a seek writes it again: its text and its time of arrival.
struct LoggedLine {
    std::string_view text;
    LocalDateTime arrival;
};

class Console {
  public:
    // `reportDecodeError` receives the Windows-1251 text of a failure while decoding a block (a
    // received field that could not be converted ends the decoding of that block); without it
    // such failures are dropped and reception goes on.
    Console(const RegionalFormats& formats, const Clock& clock,
            std::function<void(const std::string& message)> reportDecodeError = {});
    ~Console();
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    DisplayModel& Display() { return display_; }
    const DisplayModel& Display() const { return display_; }
    const LogStore& Log() const { return log_; }
    const RegionalFormats& Formats() const { return formats_; }
    const Clock& ClockSource() const { return clock_; }
    Recorder& Calibration() { return recorder_; }
    // Every numeric field's values since the port started or a log file began to play.
    FieldHistory& History() { return history_; }
    const FieldHistory& History() const { return history_; }
    ReplyHandler& Replies() { return replies_; }

    std::int64_t ReceivedBytes() const { return receivedBytes_; }
    void SetReceivedBytes(std::int64_t count) { receivedBytes_ = count; }
    // The counter's byte-size text beside "Получено:" (LL_PIN), in grey.
    void ShowReceivedBytes();

    // The receive frame of one block from the serial driver: the block becomes 8-bit text (every
    // byte kept), the received-bytes counter grows and is shown in LL_PIN, the block is appended
    // to the traffic log, and the reply keys are decoded into the display (and so into the
    // fields' histories, at the time the line is logged with) and the calibration recorder.
    void QReceiveData(const std::uint8_t* data, std::int32_t size);
    void ReceiveLine(std::string_view block) {
        QReceiveData(reinterpret_cast<const std::uint8_t*>(block.data()),
                     static_cast<std::int32_t>(block.size()));
    }
    // The same receive frame for a line read earlier, at `readAt`: the log stamps it with that
    // time.
    void ReceiveRead(std::string_view block, const LocalDateTime& readAt);

    // The clear action: every display field to its idle state, the sensor area folded, the
    // traffic log and the fields' histories emptied, the calibration recorder reset.
    void StatClearExecute();

    Subscription Subscribe(LogObserver& observer) { return logObservers_.Subscribe(observer); }

    // While a batch is open, the log's observers hear of appended lines once, when it ends (the
    // serial driver's tick: a tick brings up to a receive buffer of lines, and the journal, the
    // log view and the search need to hear of them once). A clear or a cut of the log within the
    // batch is told after the lines that came before it. Batches nest.
    // The lines of a batch came in one read of the port: they are stamped with one reading of the
    // clock, taken at the first of them.
    class LogBatch {
      public:
        explicit LogBatch(Console& console) : console_(console) {
            if (console_.logBatchDepth_++ == 0) console_.batchTime_.reset();
        }
        ~LogBatch() {
            if (--console_.logBatchDepth_ == 0) console_.TellAppendedLines();
        }
        LogBatch(const LogBatch&) = delete;
        LogBatch& operator=(const LogBatch&) = delete;

      private:
        Console& console_;
    };

    // The console's received state now (see ConsoleCheckpoint).
    ConsoleCheckpoint Checkpoint() const;
    // Shows the console as it was at `checkpoint`, which this console took; observers hear of
    // what differs. The traffic log is cut back to the checkpoint's lines, or, when it lacks some
    // (it was cleared since, or the checkpoint lies further on), they are written again:
    // `relog(i)` gives line i of the log as it was. False, changing nothing, when the fields'
    // histories have been cleared since the checkpoint (their earlier samples are gone): an
    // earlier checkpoint taken with no samples always restores.
    bool Restore(const ConsoleCheckpoint& checkpoint,
                 const std::function<LoggedLine(std::size_t line)>& relog);
    bool CanRestore(const ConsoleCheckpoint& checkpoint) const {
        return history_.CanTruncateTo(checkpoint.history);
    }
    // For a checkpoint of the state the console is in now (the same lines replayed onto the same
    // state): takes its histories' mark again if it can no longer be gone back to.
    void RenewHistoryMark(ConsoleCheckpoint& checkpoint) const;

  protected:
    bool InLogBatch() const { return logBatchDepth_ > 0; }

  private:
    // The lines appended since the observers last heard, told now.
    void TellAppendedLines();

    const RegionalFormats& formats_;
    const Clock& clock_;
    DisplayModel display_;
    FieldHistory history_;  // the display's write tap
    LogStore log_;
    Recorder recorder_;
    ReplyHandler replies_;
    std::int64_t receivedBytes_ = 0;
    std::uint64_t logRun_ = 0;
    std::uint64_t lastLogRun_ = 0;  // runs are never numbered twice
    int pinField_;
    ObserverList<LogObserver> logObservers_;
    int logBatchDepth_ = 0;
    bool linesUntold_ = false;                // appended within the open batch
    std::optional<LocalDateTime> batchTime_;  // the clock read for the open batch's lines
};

}  // namespace rv
