#pragma once
// The main form's logic without widgets: the serial driver Q feeding the receive frame (Console:
// traffic log, reply decoders, calibration recorder), the command actions, the settings editor
// and the connection control, wired together as the running console. The Qt main window
// owns one MainForm and renders it; tests drive a MainForm directly with a scripted device, a
// fixed clock and fixed regional formats.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/Console.h"
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
    std::unique_ptr<SerialDevice> device;       // default: the platform's serial device
    TickSource* ticks = nullptr;                // required: Q starts it with its poll
    PortPathResolver resolvePath;               // default: DevicePathOfPort
    std::function<std::string()> readPortList;  // default: ReadPortList
    // Why the folder of published ports is passed over, read after each port list; empty when it
    // is used. Default: PortsFolderProblem.
    std::function<std::string()> portsFolderProblem;
    // Also told of every error the form posts to its report board (UTF-8 text): a conversion
    // failure of a received field, an unreadable port list. Optional; tests listen here.
    std::function<void(const std::string& message)> reportError;
    ActionSet::HomePageOpener openHomePage;  // opens a web address in the system browser
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

    // Runs an action of the catalogue as its menu item or button does: "DoCommand" sends the free
    // command line of `boxText` (Windows-1251); other actions run their execute operation.
    void ExecuteAction(std::string_view name, const std::string& boxText = {});

  private:
    void ReportError(const std::string& message, std::string_view topic);
    // Posts the ports folder's problem once, when it appears or changes; takes it back when over.
    void ReportPortsFolder();

    FormPlatform platform_;
    ReportBoard reports_;
    std::unique_ptr<TCommPortDriver> q_;
    ActionSet actions_;
    std::unique_ptr<SettingsEditor> settings_;
    std::unique_ptr<ConnectionControl> connection_;
    std::string portsFolderProblem_;  // the one last posted, UTF-8
    bool closing_ = false;
};

}  // namespace rv
