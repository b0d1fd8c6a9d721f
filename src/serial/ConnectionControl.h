#pragma once
// Connection control: which COM ports the technician is offered, starting and stopping the link,
// the line speed chosen while stopped, and the link status (the "Порт:" and "Статус:" fields, the
// highlighted port button, the enabling of every command that writes to the unit).
//
// The widgets render this state: one menu item and one numbered header button per port, the five
// speed items, the seven header command buttons; they pass the technician's clicks back here.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/ObserverList.h"
#include "commands/ActionSet.h"
#include "protocol/DisplayModel.h"
#include "serial/CommPortDriver.h"
#include "serial/PortList.h"
#include "text/RegionalFormats.h"

namespace rv {

// One offered port: its menu item (caption = name, Tag = number, Ctrl+digit for 1..9) and its
// numbered button in the header of "Подключение COM".
struct PortItem {
    std::string name;  // "COM3"
    int number = 0;    // 1..99
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
    };

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
    // "Стоп" (Ctrl+Space) and the stop button in the header.
    void StopActionExecute();
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

    Subscription Subscribe(ConnectionObserver& observer) { return observers_.Subscribe(observer); }

  private:
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
    ObserverList<ConnectionObserver> observers_;
};

}  // namespace rv
