#pragma once
// The main form's logic without widgets: the serial driver Q feeding the receive frame (Console:
// traffic log, reply decoders, calibration recorder), the command actions, the settings editor
// and the connection control, wired together as the running console. The Qt main window
// owns one MainForm and renders it; tests drive a MainForm directly with a scripted device, a
// fixed clock and fixed regional formats.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/Console.h"
#include "app/ReceiveHold.h"
#include "app/ReportBoard.h"
#include "commands/ActionSet.h"
#include "commands/SettingsEditor.h"
#include "serial/CommPortDriver.h"
#include "serial/ConnectionControl.h"
#include "serial/SerialDevice.h"
#include "serial/TickSource.h"

namespace rv {

// What the form takes from the platform. Empty functions get the platform's defaults.
struct FormPlatform {
    std::unique_ptr<SerialDevice> device;  // default: the platform's serial device
    TickSource* ticks = nullptr;           // required: Q starts it with its poll
    // Optional: started at start-up with SuperviseLink every watch period (tests call it).
    TickSource* watchTicks = nullptr;
    // Milliseconds of a steady clock, for how long the unit has been silent (default: the
    // system's steady clock).
    std::function<std::int64_t()> elapsedMs;
    // Finding a lost device again (defaults: the platform's).
    std::function<std::string(int port)> identityOfPort;
    std::function<PortPresence(const std::string& identity)> findDevice;
    PortPathResolver resolvePath;               // default: DevicePathOfPort
    std::function<std::string()> readPortList;  // default: ReadPortList
    // Why the folder of published ports is passed over, read after each port list; empty when it
    // is used. Default: PortsFolderProblem.
    std::function<std::string()> portsFolderProblem;
    // Also told of every error the form posts to its report board (UTF-8 text): a conversion
    // failure of a received field, an unreadable port list, a command that was not sent.
    // Optional; tests listen here.
    std::function<void(const std::string& message)> reportError;
    ActionSet::HomePageOpener openHomePage;  // opens a web address in the system browser
    // Optional: whether the window paints a frame at the end of the running tick when the tick
    // changes what it shows. Lines held while they stream in are taken in at that tick, so that
    // they are on screen at once; without it they are taken in every fourth tick.
    std::function<bool()> frameDue;
};

class MainForm : public Console {
  public:
    MainForm(const RegionalFormats& formats, const Clock& clock, FormPlatform platform);
    ~MainForm();

    TCommPortDriver& Q() { return *q_; }
    ActionSet& Actions() { return actions_; }
    SettingsEditor& Settings() { return *settings_; }
    ConnectionControl& Connection() { return *connection_; }
    // The bottom bar's report strip, without widgets.
    ReportBoard& Reports() { return reports_; }
    // Posts a report of `topic`, stamped with the form's clock.
    void PostReport(std::string_view topic, std::string text, ReportLevel level);

    // The core part of the start-up sequence, in order: the clear action (idle display, empty log,
    // recorder reset), port discovery (an unreadable list is reported, start-up goes on), and the
    // link-status update. No port is opened.
    void FormCreate();
    // Close request: reception stops first (the port is closed), so no received line reaches the
    // decoders or the recorder afterwards. Never refuses.
    void FormCloseQuery();

    // A unit that says nothing for this long while its port is open is reported as silent.
    static constexpr std::int64_t kSilenceReportMs = 5000;
    // The work of every watch tick: looks for a lost device's return, and keeps the report of a
    // silent unit up to date (how long it has said nothing; withdrawn when a line arrives).
    void SuperviseLink();
    // A device was plugged in or out (the window hears of it from the system): the port list
    // follows, and a lost device is looked for at once. An unreadable list is reported.
    void PortsHotPlugged();

    // Runs an action of the catalogue as its menu item or button does: "DoCommand" sends the free
    // command line of `boxText` (Windows-1251); other actions run their execute operation.
    void ExecuteAction(std::string_view name, const std::string& boxText = {});

  private:
    void ReportError(const std::string& message, std::string_view topic);
    void HearLinkNews(LinkNews news, const std::string& text);
    // A command line that did not go out whole (the unit does not read, or the link is gone).
    void ReportUnsent(const std::string& line);
    void LineArrived();
    void NoteLastLine();  // when the lines that arrived came: now
    void CheckSilence();
    void WithdrawSilence();
    // Posts the ports folder's problem once, when it appears or changes; takes it back when over.
    void ReportPortsFolder();

    FormPlatform platform_;
    ReportBoard reports_;
    ReceiveHold hold_{ClockSource()};           // the lines read, until they are taken in
    std::unique_ptr<TickSource> batchedTicks_;  // the platform's ticks, each a display batch
    std::unique_ptr<TCommPortDriver> q_;
    ActionSet actions_;
    std::unique_ptr<SettingsEditor> settings_;
    std::unique_ptr<ConnectionControl> connection_;
    std::string portsFolderProblem_;  // the one last posted, UTF-8
    bool closing_ = false;
    std::int64_t lastLineMs_ = 0;  // when the last line arrived, or the port opened
    bool lineArrived_ = false;     // a line of the running tick, not in lastLineMs_ yet
    bool silenceReported_ = false;
};

}  // namespace rv
