#include "app/Console.h"

#include "text/ByteSizeText.h"

namespace rv {

Console::Console(const RegionalFormats& formats, const Clock& clock,
                 std::function<void(const std::string& message)> reportDecodeError)
    : formats_(formats),
      clock_(clock),
      history_(display_, formats),
      recorder_(display_, clock, formats),
      replies_(
          display_, formats, recorder_, [this] { StatClearExecute(); },
          std::move(reportDecodeError)),
      pinField_(display_.Field("LL_PIN")) {
    display_.SetWriteTap(&history_);
}

Console::~Console() = default;

void Console::QReceiveData(const std::uint8_t* data, std::int32_t size) {
    const std::string_view block = size > 0 ? std::string_view(reinterpret_cast<const char*>(data),
                                                               static_cast<std::size_t>(size))
                                            : std::string_view();
    if (logBatchDepth_ == 0 || !batchTime_) batchTime_ = clock_.Now();
    ReceiveRead(block, *batchTime_);
}

void Console::ReceiveRead(std::string_view block, const LocalDateTime& readAt) {
    const DisplayModel::Batch batch(display_);  // the display hears of the block once, at its end
    history_.BeginLine(readAt);
    receivedBytes_ += static_cast<std::int64_t>(block.size());
    ShowReceivedBytes();
    log_.WriteLog(block, readAt);
    linesUntold_ = true;
    if (logBatchDepth_ == 0) TellAppendedLines();
    replies_.Decode(block);
}

void Console::TellAppendedLines() {
    if (!linesUntold_) return;
    linesUntold_ = false;
    logObservers_.Notify(&LogObserver::LinesAppended, log_.Count());
}

void Console::ShowReceivedBytes() {
    ByteSizeBuffer text;
    display_.SetV(pinField_, ByteSizeText(receivedBytes_, formats_, text), kGrey);
}

void Console::StatClearExecute() {
    TellAppendedLines();  // the lines before the clear, as they were
    display_.ClearDisplay();
    log_.Clear();
    logRun_ = ++lastLogRun_;
    history_.Clear();
    logObservers_.Notify(&LogObserver::LogCleared);
    recorder_.InitTar();
}

ConsoleCheckpoint Console::Checkpoint() const {
    ConsoleCheckpoint c;
    c.display = display_.Snapshot();
    c.calibration = recorder_.Snapshot();
    c.receivedBytes = receivedBytes_;
    c.logLines = log_.Count();
    c.logRun = logRun_;
    c.history = history_.TakeMark();
    return c;
}

bool Console::Restore(const ConsoleCheckpoint& checkpoint,
                      const std::function<LoggedLine(std::size_t line)>& relog) {
    // First, as it is the one store that may refuse: nothing is changed then.
    if (!history_.TruncateTo(checkpoint.history)) return false;
    TellAppendedLines();  // what came before is told before the log changes under it
    display_.Restore(checkpoint.display);
    receivedBytes_ = checkpoint.receivedBytes;
    if (logRun_ != checkpoint.logRun) {
        log_.Clear();
        logRun_ = checkpoint.logRun;
        logObservers_.Notify(&LogObserver::LogCleared);
    }
    if (log_.Count() > checkpoint.logLines) {
        log_.Truncate(checkpoint.logLines);
        logObservers_.Notify(&LogObserver::LogTruncated, log_.Count());
    } else if (log_.Count() < checkpoint.logLines) {
        for (std::size_t i = log_.Count(); i < checkpoint.logLines; ++i) {
            const LoggedLine line = relog(i);
            log_.WriteLog(line.text, line.arrival);
        }
        logObservers_.Notify(&LogObserver::LinesAppended, log_.Count());
    }
    // After the display: a channel whose source was chosen since reads it there.
    recorder_.Restore(checkpoint.calibration);
    return true;
}

void Console::RenewHistoryMark(ConsoleCheckpoint& checkpoint) const {
    if (!history_.CanTruncateTo(checkpoint.history)) checkpoint.history = history_.TakeMark();
}

}  // namespace rv
