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
    if (!hooks_.identityOfPort) hooks_.identityOfPort = DeviceIdentityOfPort;
    if (!hooks_.findDevice) hooks_.findDevice = FindDeviceOfIdentity;
}

std::vector<PortItem> ConnectionControl::PortItemsOfList(const std::string& list) const {
    std::vector<PortItem> ports;
    for (auto& entry : ComPortsOfList(list)) {
        // One item per port, even if the platform lists a name twice.
        const bool known = std::any_of(ports.begin(), ports.end(),
                                       [&](const PortItem& p) { return p.number == entry.number; });
        if (!known) ports.push_back(PortItem{std::move(entry.name), entry.number});
    }
    return ports;
}

void ConnectionControl::FindActionExecute() {
    // Read first: when the list cannot be read, the old items stay as they were.
    ports_ = PortItemsOfList(hooks_.readPortList());
    // Fresh items carry no check mark and fresh buttons no highlight.
    checkedPort_ = 0;
    highlighted_ = 0;
    observers_.Notify(&ConnectionObserver::PortsChanged);
    observers_.Notify(&ConnectionObserver::PortItemChecksChanged);
    observers_.Notify(&ConnectionObserver::HighlightChanged);
}

void ConnectionControl::PortsHotPlugged() {
    std::vector<PortItem> ports = PortItemsOfList(hooks_.readPortList());
    if (ports == ports_) return;
    ports_ = std::move(ports);
    const auto present = [this](int n) {
        return std::any_of(ports_.begin(), ports_.end(),
                           [n](const PortItem& p) { return p.number == n; });
    };
    // Unlike a refresh the technician asked for, nothing he set up is taken away from a port
    // that is still there.
    if (!present(checkedPort_)) checkedPort_ = 0;
    if (!present(highlighted_)) highlighted_ = 0;
    observers_.Notify(&ConnectionObserver::PortsChanged);
    observers_.Notify(&ConnectionObserver::PortItemChecksChanged);
    observers_.Notify(&ConnectionObserver::HighlightChanged);
}

void ConnectionControl::StartExecute(int n) {
    watching_ = false;  // whatever was lost, the technician has chosen now
    try {
        if (q_.Port() != n) {
            // Another unit: nothing of the last one leads its first line.
            q_.DropPending();
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
        NoteStartResult();
    } catch (const std::exception&) {
        // A failing start leaves no message: the link status below tells the technician.
    }
    UpdateStatus();
}

void ConnectionControl::NoteStartResult() {
    if (q_.IsOpen()) {
        identity_ = hooks_.identityOfPort(q_.Port());
        reason_.clear();
        Tell(LinkNews::Opened, {});
    } else {
        identity_.clear();
        reason_ = PortName() + ": " + SerialFailureText(q_.LastOpenFailure());
        Tell(LinkNews::OpenFailed, reason_);
    }
}

void ConnectionControl::LinkLost(const SerialFailure& why) {
    reason_ = PortName() + ": " + SerialFailureText(why) + " в " + TimeText();
    // Where the device stands right now counts as tried: a device that is lost but still there
    // is tried again only after the retry period, so a dead node is not reopened in a loop.
    watching_ = !identity_.empty();
    lastTried_ = watching_ ? hooks_.findDevice(identity_).device : std::string();
    ticksSinceTry_ = 0;
    UpdatePort();
    UpdateStatus();
    Tell(LinkNews::Lost, reason_);
}

void ConnectionControl::WatchTick() {
    if (!watching_ || q_.IsOpen()) return;
    ++ticksSinceTry_;
    const PortPresence now = hooks_.findDevice(identity_);
    if (now.port == 0) {
        lastTried_.clear();  // gone: whatever appears next is worth a try at once
        return;
    }
    if (now.device == lastTried_ && ticksSinceTry_ < kRetryTicks) return;
    lastTried_ = now.device;
    ticksSinceTry_ = 0;
    const int before = q_.Port();
    q_.SetPort(now.port);
    try {
        // Back but refusing (held by a prober, say): keep watching.
        if (!q_.OpenPort()) return;
    } catch (const std::exception&) {
        return;  // runs on a timer: nothing may escape, the next try comes
    }
    watching_ = false;
    reason_.clear();
    UpdatePort();
    display_.SetV(portField_, "COM" + IntText(q_.Port()), kBlack);
    UpdateStatus();
    std::string text = PortName() + ": связь восстановлена в " + TimeText();
    if (q_.Port() != before) text += " (прежде COM" + IntText(before) + ")";
    Tell(LinkNews::Back, text);
}

void ConnectionControl::Tell(LinkNews news, const std::string& text) {
    if (hooks_.tell) hooks_.tell(news, text);
}

std::string ConnectionControl::PortName() const {
    return "COM" + IntText(q_.Port());
}

std::string ConnectionControl::TimeText() const {
    return hooks_.timeText ? hooks_.timeText() : std::string();
}

void ConnectionControl::PortItemClick(int n) {
    // Radio item with automatic check: a click toggles its own mark, which removes the mark from
    // the other items of the group.
    checkedPort_ = checkedPort_ == n ? 0 : n;
    observers_.Notify(&ConnectionObserver::PortItemChecksChanged);
    StartExecute(n);
}

void ConnectionControl::StopActionExecute() {
    watching_ = false;
    reason_.clear();
    q_.ClosePort();
    display_.SetV(portField_, "-", kBlack);
    UpdateSpeed(true);
    UpdateStatus();
    UpdatePort();
    Tell(LinkNews::Stopped, {});
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
