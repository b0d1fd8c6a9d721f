#include "serial/ConnectionControl.h"

#include <algorithm>
#include <exception>

#include "serial/Platform.h"
#include "text/Cp1251.h"
#include "text/Formats.h"

namespace rv {

const std::array<SpeedItem, kSpeedItems>& SpeedItems() {
    static const std::array<SpeedItem, kSpeedItems> items = {{
        {"br1", "Скорость 115200 бит/с", br115200},
        {"br2", "Скорость 38400 бит/с", br38400},
        {"br3", "Скорость 19200 бит/с", br19200},
        {"br4", "Скорость 9600 бит/с", br9600},
        {"br5", "Скорость 4800 бит/с", br4800},
    }};
    return items;
}

const std::array<HeaderCommandButton, 7>& HeaderCommandButtons() {
    static const std::array<HeaderCommandButton, 7> buttons = {{
        {"SpeedButton1", "LogOff"},
        {"SpeedButton2", "UpdateState"},
        {"SpeedButton3", "UpdateParam"},
        {"SpeedButton4", "LogOn"},
        {"SpeedButton6", "GSMLogOff"},
        {"SpeedButton7", "GSMLogOn"},
        {"SpeedButton8", "GSMUpdate"},
    }};
    return buttons;
}

ConnectionControl::ConnectionControl(TCommPortDriver& q, DisplayModel& display, ActionSet& actions,
                                     FormHooks hooks)
    : q_(q),
      display_(display),
      actions_(actions),
      hooks_(std::move(hooks)),
      statusField_(display.Field("L_PSTAT")),
      portField_(display.Field("L_PNUM")) {
    if (!hooks_.readPortList) hooks_.readPortList = ReadPortList;
}

void ConnectionControl::FindActionExecute() {
    // Read first: when the list cannot be read, the old items stay as they were.
    const std::string list = hooks_.readPortList();
    std::vector<PortItem> ports;
    for (auto& entry : ComPortsOfList(list)) {
        // One item per port, even if the platform lists a name twice.
        const bool known = std::any_of(ports.begin(), ports.end(),
                                       [&](const PortItem& p) { return p.number == entry.number; });
        if (!known) ports.push_back(PortItem{std::move(entry.name), entry.number});
    }
    ports_ = std::move(ports);
    // Fresh items carry no check mark and fresh buttons no highlight.
    checkedPort_ = 0;
    highlighted_ = 0;
    observers_.Notify(&ConnectionObserver::PortsChanged);
    observers_.Notify(&ConnectionObserver::PortItemChecksChanged);
    observers_.Notify(&ConnectionObserver::HighlightChanged);
}

void ConnectionControl::StartExecute(int n) {
    try {
        if (q_.Port() != n) {
            if (hooks_.resetReceivedBytes) hooks_.resetReceivedBytes();
            if (hooks_.statClear) hooks_.statClear();
        }
        q_.ClosePort();
        // The driver takes the low 8 bits of the number and keeps it within 1..99.
        q_.SetPort(n & 0xFF);
        UpdateSpeed(false);
        q_.OpenPort();
        UpdatePort();
        display_.SetV(portField_, "COM" + IntText(q_.Port()), kBlack);
        if (hooks_.showReceivedBytes) hooks_.showReceivedBytes();
    } catch (const std::exception&) {
        // A failing start leaves no message: the link status below tells the technician.
    }
    UpdateStatus();
}

void ConnectionControl::PortItemClick(int n) {
    // Radio item with automatic check: a click toggles its own mark, which removes the mark from
    // the other items of the group.
    checkedPort_ = checkedPort_ == n ? 0 : n;
    observers_.Notify(&ConnectionObserver::PortItemChecksChanged);
    StartExecute(n);
}

void ConnectionControl::StopActionExecute() {
    q_.ClosePort();
    display_.SetV(portField_, "-", kBlack);
    UpdateSpeed(true);
    UpdateStatus();
    UpdatePort();
}

void ConnectionControl::SpeedItemClick(int index) {
    if (index < 0 || index >= kSpeedItems || index == checkedSpeed_) return;
    if (!speedEnabled_[index]) return;  // a disabled item cannot be clicked
    checkedSpeed_ = index;
    q_.SetPortSpeed(SpeedItems()[index].speed);
    observers_.Notify(&ConnectionObserver::SpeedItemsChanged);
}

void ConnectionControl::UpdateStatus() {
    const bool open = q_.IsOpen();
    if (open) {
        display_.SetV(statusField_, "Ok", kBlack);
    } else {
        display_.SetV(statusField_, W("Нет подключения"), kRed);
    }
    headerButtonsEnabled_ = open;
    actions_.ApplyLinkRule(open);
    observers_.Notify(&ConnectionObserver::LinkChanged);
}

void ConnectionControl::UpdatePort() {
    const int p = q_.IsOpen() ? q_.Port() : 0;
    if (p == highlighted_) return;
    highlighted_ = p;
    observers_.Notify(&ConnectionObserver::HighlightChanged);
}

void ConnectionControl::UpdateSpeed(bool enabled) {
    bool changed = false;
    for (int i = 0; i < kSpeedItems; ++i) {
        if (i == checkedSpeed_) continue;
        changed = changed || speedEnabled_[i] != enabled;
        speedEnabled_[i] = enabled;
    }
    if (changed) observers_.Notify(&ConnectionObserver::SpeedItemsChanged);
}

}  // namespace rv
