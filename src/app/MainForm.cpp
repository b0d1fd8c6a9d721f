#include "app/MainForm.h"

#include <exception>

#include "serial/Platform.h"
#include "text/Cp1251.h"
#include "text/Formats.h"

namespace rv {

MainForm::MainForm(const RegionalFormats& formats, const Clock& clock, FormPlatform platform)
    : Console(formats, clock,
              [this](const std::string& message) {
                  ReportError(Cp1251ToUtf8(message), report_topic::kDecoding);
              }),
      platform_(std::move(platform)) {
    if (!platform_.device) platform_.device = CreatePlatformSerialDevice();
    q_ = std::make_unique<TCommPortDriver>(std::move(platform_.device), *platform_.ticks,
                                           platform_.resolvePath);
    // The form's settings of its driver: COM99 until the technician picks a port, 115200 bit/s,
    // the shortest polling period, one block per line feed.
    q_->SetPort(99);
    q_->SetPortSpeed(br115200);
    q_->SetPortPollingDelay(0);
    q_->SetEndByte(10);
    q_->SetOnReceiveData([this](TCommPortDriver&, const std::uint8_t* data, std::int32_t size) {
        if (!closing_) QReceiveData(data, size);
    });

    actions_.SetSend([this](const std::string& line) { return q_->SendText(line); });
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
    connection_ = std::make_unique<ConnectionControl>(*q_, Display(), actions_, std::move(hooks));
}

MainForm::~MainForm() {
    // The driver closes its port before the decoders and the recorder it feeds are gone.
    closing_ = true;
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
}

void MainForm::FormCloseQuery() {
    closing_ = true;
    q_->ClosePort();
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
