#include "app/MainForm.h"

#include <chrono>
#include <exception>

#include "serial/Platform.h"
#include "text/Cp1251.h"
#include "text/Formats.h"

namespace rv {

namespace {

std::int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// "7 с", "2 мин 05 с", "1 ч 02 мин": how long the unit has been silent.
std::string SilenceText(std::int64_t seconds) {
    const auto two = [](std::int64_t v) { return (v < 10 ? "0" : "") + IntText(v); };
    if (seconds < 60) return IntText(seconds) + " с";
    if (seconds < 3600) return IntText(seconds / 60) + " мин " + two(seconds % 60) + " с";
    return IntText(seconds / 3600) + " ч " + two(seconds / 60 % 60) + " мин";
}

// A command line as the technician would recognise it: without its line ends, not too long.
std::string ShownCommand(const std::string& line) {
    constexpr std::size_t kMaxShown = 40;
    const auto first = line.find_first_not_of("\r\n ");
    if (first == std::string::npos) return {};
    const auto last = line.find_last_not_of("\r\n ");
    std::string shown = line.substr(first, last - first + 1);
    if (shown.size() > kMaxShown) shown = shown.substr(0, kMaxShown) + "...";
    return Cp1251ToUtf8(shown);
}

// The driver's ticks, each one a display batch and a log batch: a tick reads up to a receive
// buffer of lines, one block each, into the receive hold, and the window hears once, at the end of
// a tick that takes lines in, of the lines logged and of each field they changed. The ticks
// stopping (the port closed or lost) takes in what is held.
class BatchedTicks : public TickSource {
  public:
    // `tickEnded` runs after each tick, its batches closed; `frameDue` (optional) tells whether the
    // window paints at the tick's end.
    BatchedTicks(TickSource& ticks, Console& console, ReceiveHold& hold,
                 std::function<bool()> frameDue, std::function<void()> tickEnded)
        : ticks_(ticks),
          console_(console),
          hold_(hold),
          frameDue_(std::move(frameDue)),
          tickEnded_(std::move(tickEnded)) {}
    void Start(int periodMs, std::function<void()> onTick) override {
        ticks_.Start(periodMs, [this, onTick = std::move(onTick)] {
            {
                const DisplayModel::Batch displayBatch(console_.Display());
                const Console::LogBatch logBatch(console_);  // ends first: lines, then values
                hold_.TickBegins();
                onTick();
                if (hold_.TickEnds(frameDue_ && frameDue_())) TakeIn();
            }
            tickEnded_();
        });
    }
    void Stop() override {
        ticks_.Stop();
        if (hold_.Empty()) return;
        const DisplayModel::Batch displayBatch(console_.Display());
        const Console::LogBatch logBatch(console_);
        TakeIn();
    }

  private:
    void TakeIn() {
        hold_.TakeIn([this](std::string_view block, const LocalDateTime& readAt) {
            console_.ReceiveRead(block, readAt);
        });
    }

    TickSource& ticks_;
    Console& console_;
    ReceiveHold& hold_;
    std::function<bool()> frameDue_;
    std::function<void()> tickEnded_;
};

}  // namespace

MainForm::MainForm(const RegionalFormats& formats, const Clock& clock, FormPlatform platform)
    : Console(formats, clock,
              [this](const std::string& message) {
                  ReportError(Cp1251ToUtf8(message), report_topic::kDecoding);
              }),
      platform_(std::move(platform)) {
    if (!platform_.device) platform_.device = CreatePlatformSerialDevice();
    if (!platform_.elapsedMs) platform_.elapsedMs = SteadyMs;
    batchedTicks_ =
        std::make_unique<BatchedTicks>(*platform_.ticks, *this, hold_, platform_.frameDue, [this] {
            if (lineArrived_) NoteLastLine();
        });
    q_ = std::make_unique<TCommPortDriver>(std::move(platform_.device), *batchedTicks_,
                                           platform_.resolvePath);
    // The form's settings of its driver: COM99 until the technician picks a port, 115200 bit/s,
    // the shortest polling period, one block per line feed.
    q_->SetPort(99);
    q_->SetPortSpeed(br115200);
    q_->SetPortPollingDelay(0);
    q_->SetEndByte(10);
    q_->SetOnReceiveData([this](TCommPortDriver&, const std::uint8_t* data, std::int32_t size) {
        if (closing_) return;
        LineArrived();
        if (hold_.Holding()) {
            hold_.Add(std::string_view(reinterpret_cast<const char*>(data),
                                       static_cast<std::size_t>(size)));
        } else {
            QReceiveData(data, size);
        }
    });
    q_->SetOnLinkLost([this](TCommPortDriver&, const SerialFailure& why) {
        if (!closing_) connection_->LinkLost(why);
    });

    actions_.SetSend([this](const std::string& line) {
        const bool wasOpen = q_->IsOpen();
        const bool sent = q_->SendText(line);
        if (sent) {
            reports_.Withdraw(report_topic::kSend);
        } else if (wasOpen) {
            ReportUnsent(line);
        }
        return sent;
    });
    actions_.SetHomePageOpener(platform_.openHomePage);

    settings_ =
        std::make_unique<SettingsEditor>(Display(), actions_, [this] { return q_->IsOpen(); });

    ConnectionControl::FormHooks hooks;
    hooks.statClear = [this] { StatClearExecute(); };
    hooks.resetReceivedBytes = [this] { SetReceivedBytes(0); };
    hooks.showReceivedBytes = [this] { ShowReceivedBytes(); };
    if (!platform_.readPortList) platform_.readPortList = ReadPortList;
    if (!platform_.portsFolderProblem) platform_.portsFolderProblem = PortsFolderProblem;
    hooks.readPortList = [this] {
        std::string list = platform_.readPortList();
        ReportPortsFolder();
        return list;
    };
    hooks.tell = [this](LinkNews news, const std::string& text) { HearLinkNews(news, text); };
    hooks.timeText = [this] { return HhNnSsText(ClockSource().Now(), Formats()); };
    hooks.identityOfPort = platform_.identityOfPort;
    hooks.findDevice = platform_.findDevice;
    connection_ = std::make_unique<ConnectionControl>(*q_, Display(), actions_, std::move(hooks));
}

MainForm::~MainForm() {
    // The driver closes its port before the decoders and the recorder it feeds are gone. Lines
    // still held have no window left to be shown in (closing the form takes them in).
    closing_ = true;
    hold_.Clear();
    if (platform_.watchTicks) platform_.watchTicks->Stop();
    if (q_) q_->ClosePort();
}

void MainForm::FormCreate() {
    StatClearExecute();
    try {
        connection_->FindActionExecute();
    } catch (const std::exception& e) {
        // The list of ports could not be read: the technician is told, the window still opens.
        ReportError(e.what(), report_topic::kPorts);
    }
    connection_->UpdateStatus();
    if (platform_.watchTicks)
        platform_.watchTicks->Start(ConnectionControl::kWatchPeriodMs, [this] { SuperviseLink(); });
}

void MainForm::FormCloseQuery() {
    closing_ = true;
    if (platform_.watchTicks) platform_.watchTicks->Stop();
    q_->ClosePort();
}

void MainForm::SuperviseLink() {
    if (closing_) return;
    connection_->WatchTick();
    CheckSilence();
}

void MainForm::PortsHotPlugged() {
    if (closing_) return;
    try {
        connection_->PortsHotPlugged();
    } catch (const std::exception& e) {
        ReportError(e.what(), report_topic::kPorts);
    }
    connection_->WatchTick();
}

void MainForm::HearLinkNews(LinkNews news, const std::string& text) {
    switch (news) {
        case LinkNews::Opened:
            reports_.Withdraw(report_topic::kLink);
            lastLineMs_ = platform_.elapsedMs();
            break;
        case LinkNews::Back:
            PostReport(report_topic::kLink, text, ReportLevel::Notice);
            lastLineMs_ = platform_.elapsedMs();
            break;
        case LinkNews::OpenFailed:
        case LinkNews::Lost:
            WithdrawSilence();
            PostReport(report_topic::kLink, text, ReportLevel::Error);
            break;
        case LinkNews::Stopped:
            WithdrawSilence();
            reports_.Withdraw(report_topic::kLink);
            break;
    }
}

void MainForm::ReportUnsent(const std::string& line) {
    const std::string why = q_->IsOpen() ? "устройство не принимает данные" : "связь потеряна";
    ReportError("COM" + IntText(q_->Port()) + ": команда «" + ShownCommand(line) +
                    "» не отправлена: " + why,
                report_topic::kSend);
}

void MainForm::LineArrived() {
    // A tick (a log batch) brings up to a receive buffer of lines: the time is read once, when
    // it ends.
    if (InLogBatch()) {
        lineArrived_ = true;
    } else {
        NoteLastLine();
    }
    if (silenceReported_) WithdrawSilence();
}

void MainForm::NoteLastLine() {
    lineArrived_ = false;
    lastLineMs_ = platform_.elapsedMs();
}

void MainForm::CheckSilence() {
    if (!q_->IsOpen()) {
        WithdrawSilence();
        return;
    }
    const std::int64_t silentMs = platform_.elapsedMs() - lastLineMs_;
    if (silentMs < kSilenceReportMs) return;
    const std::string text =
        "COM" + IntText(q_->Port()) + ": устройство молчит " + SilenceText(silentMs / 1000);
    if (!silenceReported_) {
        silenceReported_ = true;
        PostReport(report_topic::kSilence, text, ReportLevel::Notice);
    } else {
        reports_.Revise(report_topic::kSilence, text);
    }
}

void MainForm::WithdrawSilence() {
    if (!silenceReported_) return;
    silenceReported_ = false;
    reports_.Withdraw(report_topic::kSilence);
}

void MainForm::ExecuteAction(std::string_view name, const std::string& boxText) {
    if (name == "DoCommand") {
        actions_.DoCommandExecute(boxText);
    } else {
        actions_.Execute(name);
    }
}

void MainForm::ReportError(const std::string& message, std::string_view topic) {
    // Never a modal box: the error may come from inside reception.
    PostReport(topic, message, ReportLevel::Error);
    if (platform_.reportError) platform_.reportError(message);
}

void MainForm::ReportPortsFolder() {
    std::string problem = platform_.portsFolderProblem();
    if (problem == portsFolderProblem_) return;  // told already (or nothing to tell)
    const Report* standing = reports_.Standing(report_topic::kPorts);
    if (problem.empty()) {
        if (standing != nullptr && standing->text == portsFolderProblem_)
            reports_.Withdraw(report_topic::kPorts);
    } else {
        ReportError(problem, report_topic::kPorts);
    }
    portsFolderProblem_ = std::move(problem);
}

void MainForm::PostReport(std::string_view topic, std::string text, ReportLevel level) {
    reports_.Post(topic, std::move(text), level, HhNnSsText(ClockSource().Now(), Formats()));
}

}  // namespace rv
