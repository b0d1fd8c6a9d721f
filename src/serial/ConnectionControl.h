#pragma once
// Connection control: which COM ports the technician is offered, starting and stopping the link,
// the line speed chosen while stopped, and the link status (the "Порт:" and "Статус:" fields, the
// highlighted port button, the enabling of every command that writes to the unit).
//
// The widgets render this state: one menu item and one numbered header button per port, the five
// speed items, the seven header command buttons; they pass the technician's clicks back here.
//
// Beyond the clicks it follows the device itself: a port that will not open says why; an open
// port whose device goes away is closed and, unless the technician stops it, watched for until
// the same device returns, then reopened as a restart of the same port would (display, log and
// counter kept); the port list follows devices plugged in and out.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/ObserverList.h"
#include "commands/ActionSet.h"
#include "protocol/DisplayModel.h"
#include "serial/CommPortDriver.h"
#include "serial/Platform.h"
#include "serial/PortList.h"
#include "serial/SerialFailure.h"
#include "text/RegionalFormats.h"

namespace rv {

// One offered port: its menu item (caption = name, Tag = number, Ctrl+digit for 1..9) and its
// numbered button in the header of "Подключение COM".
struct PortItem {
    std::string name;  // "COM3"
    int number = 0;    // 1..99

    bool operator==(const PortItem&) const = default;
};

// What the connection control has to tell the technician besides the status field; the form
// puts it in the report strip.
enum class LinkNews {
    Opened,      // a port the technician started is open
    OpenFailed,  // a started port would not open; the text says why
    Lost,        // the open port's device went away; the text says why and when
    Back,        // a lost port's device returned and the port is open again
    Stopped,     // the technician stopped the port
};

// The speed items of the "&COM порт" menu, top to bottom: br1 .. br5.
constexpr int kSpeedItems = 5;
struct SpeedItem {
    const char* name;     // "br1"
    const char* caption;  // UTF-8, "Скорость 115200 бит/с"
    TPortBaudRate speed;
};
const std::array<SpeedItem, kSpeedItems>& SpeedItems();

// The seven header command buttons whose enabled state follows the link, with the action each
// one executes: SpeedButton1 LogOff, SpeedButton2 UpdateState, SpeedButton3 UpdateParam,
// SpeedButton4 LogOn, SpeedButton6 GSMLogOff, SpeedButton7 GSMLogOn, SpeedButton8 GSMUpdate.
struct HeaderCommandButton {
    const char* name;
    const char* action;
};
const std::array<HeaderCommandButton, 7>& HeaderCommandButtons();

class ConnectionObserver {
  public:
    virtual ~ConnectionObserver() = default;
    virtual void PortsChanged() {}           // the port list was rebuilt
    virtual void PortItemChecksChanged() {}  // the check mark of the port items moved
    virtual void HighlightChanged() {}       // the highlighted port button changed
    virtual void SpeedItemsChanged() {}      // checked / enabled speed items changed
    virtual void LinkChanged() {}            // open state, header buttons' enabling
};

class ConnectionControl {
  public:
    // What the connection control needs of the form besides the driver and the display.
    struct FormHooks {
        std::function<void()> statClear;            // the clear action
        std::function<void()> resetReceivedBytes;   // received-bytes counter to 0
        std::function<void()> showReceivedBytes;    // the counter's text in LL_PIN
        std::function<std::string()> readPortList;  // NUL-separated names; throws on failure
        // The technician is told (UTF-8 text beginning with the port's name; empty for Opened
        // and Stopped).
        std::function<void(LinkNews news, const std::string& text)> tell;
        std::function<std::string()> timeText;  // "HH:MM:SS" of now, for the time of a loss
        // Finding the device of a port again (defaults: DeviceIdentityOfPort and
        // FindDeviceOfIdentity of the platform).
        std::function<std::string(int port)> identityOfPort;
        std::function<PortPresence(const std::string& identity)> findDevice;
    };

    // How often WatchTick looks for a lost device: it returns within this period of its return.
    static constexpr int kWatchPeriodMs = 250;
    // A device that is back but would not open is tried again after this many watch ticks.
    static constexpr int kRetryTicks = 12;

    ConnectionControl(TCommPortDriver& q, DisplayModel& display, ActionSet& actions,
                      FormHooks hooks);
    ConnectionControl(const ConnectionControl&) = delete;
    ConnectionControl& operator=(const ConnectionControl&) = delete;

    // "Обновить список" (Ctrl+R) and start-up: rebuilds the port items from the platform's port
    // list. Names whose number is not 1..99 are not offered, so a started port is always the one
    // chosen. Throws std::runtime_error with the platform's text when the list cannot be read; the
    // old items then stay. The open port stays open; no item is checked afresh and no button is
    // highlighted until the next start or stop.
    void FindActionExecute();

    // A port item or port button was clicked: (re)starts port n. A different port than the
    // driver's clears the display and the counter first; the same port is reopened as it is.
    void StartExecute(int n);
    // The click of a port menu item: toggles its check mark (radio group with "Стоп"), then
    // starts the port.
    void PortItemClick(int n);
    // "Стоп" (Ctrl+Space) and the stop button in the header. Ends the watch for a lost device.
    void StopActionExecute();
    // The driver's OnLinkLost: the port is closed already. Shows "Нет подключения", disables the
    // commands, tells why and when, and starts watching for the device's return. "Порт:" and the
    // speed items stay as while started: it is still the technician's chosen port.
    void LinkLost(const SerialFailure& why);
    // Run every kWatchPeriodMs: while watching, reopens the lost port as soon as its device is
    // back (under its new number when the system renumbered it). Looking costs a few stat calls;
    // the device is opened only when it has come back (or, refusing, every kRetryTicks ticks).
    void WatchTick();
    bool WatchingForReturn() const { return watching_; }
    // A device was plugged in or out: rebuilds the port items like "Обновить список" when the
    // list changed, but keeps the check mark and the highlight of the ports still there.
    // Throws like FindActionExecute.
    void PortsHotPlugged();
    // The speed item `index` (0 = br1 .. 4 = br5) was clicked.
    void SpeedItemClick(int index);

    // Link-status update: "Ok" / "Нет подключения" in L_PSTAT, header buttons and "Device"
    // actions enabled exactly while the port is open (and the action's Tag is 0).
    void UpdateStatus();
    // Highlights the button of the open port (none when closed).
    void UpdatePort();
    // Enables (true) or disables (false) every speed item but the checked one.
    void UpdateSpeed(bool enabled);

    const std::vector<PortItem>& Ports() const { return ports_; }
    int CheckedPortItem() const { return checkedPort_; }  // port number, 0 for none
    int HighlightedPort() const { return highlighted_; }  // port number, 0 for none
    int CheckedSpeedItem() const { return checkedSpeed_; }
    bool SpeedItemEnabled(int index) const { return speedEnabled_[index]; }
    bool HeaderButtonsEnabled() const { return headerButtonsEnabled_; }
    bool IsOpen() const { return q_.IsOpen(); }
    // Why the started port is not open ("COM9: порт занят программой «minicom»; ...", "COM9:
    // связь потеряна в 12:41:07"), UTF-8; empty while open, before any start and after "Стоп".
    const std::string& LinkReason() const { return reason_; }

    Subscription Subscribe(ConnectionObserver& observer) { return observers_.Subscribe(observer); }

  private:
    std::vector<PortItem> PortItemsOfList(const std::string& list) const;
    // After OpenPort in a start: remember the device, or say why it did not open.
    void NoteStartResult();
    void Tell(LinkNews news, const std::string& text);
    std::string PortName() const;
    std::string TimeText() const;

    TCommPortDriver& q_;
    DisplayModel& display_;
    ActionSet& actions_;
    FormHooks hooks_;
    std::vector<PortItem> ports_;
    int checkedPort_ = 0;
    int highlighted_ = 0;
    int checkedSpeed_ = 0;
    std::array<bool, kSpeedItems> speedEnabled_{true, true, true, true, true};
    bool headerButtonsEnabled_ = false;
    int statusField_;
    int portField_;
    std::string reason_;
    std::string identity_;  // of the device last opened
    bool watching_ = false;
    std::string lastTried_;  // the device last tried while watching (PortPresence::device)
    int ticksSinceTry_ = 0;
    ObserverList<ConnectionObserver> observers_;
};

}  // namespace rv
