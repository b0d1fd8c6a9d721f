#include "commands/ActionSet.h"

#include <cstring>
#include <stdexcept>

namespace rv {

ActionSet::ActionSet(SendFunction send) : send_(std::move(send)) {
    // Every action starts disabled: no port is open at start, and the link-status update that runs
    // at start-up enables nothing until a port opens. GoHome (not a "Device" action) is enabled.
    for (const auto& a : CommandActions()) {
        states_.push_back(State{a.initialTag, std::strcmp(a.category, "Device") != 0, {}});
    }
}

int ActionSet::Find(std::string_view name) const {
    return FindCommandAction(std::string(name));
}

int ActionSet::Index(std::string_view name) const {
    const int index = Find(name);
    if (index < 0) throw std::logic_error("no action " + std::string(name));
    return index;
}

bool ActionSet::IsDevice(int action) const {
    return std::strcmp(Info(action).category, "Device") == 0;
}

void ActionSet::SetTag(int action, int tag) {
    if (states_[action].tag == tag) return;
    states_[action].tag = tag;
    observers_.Notify(&ActionObserver::ActionChanged, action);
}

void ActionSet::SetEnabled(int action, bool enabled) {
    if (states_[action].enabled == enabled) return;
    states_[action].enabled = enabled;
    observers_.Notify(&ActionObserver::ActionChanged, action);
}

void ActionSet::ApplyLinkRule(bool portOpen) {
    for (int i = 0; i < Count(); ++i) {
        if (IsDevice(i)) SetEnabled(i, portOpen && states_[i].tag == 0);
    }
}

void ActionSet::SetExecuteHandler(int action, ExecuteHandler handler) {
    states_[action].handler = std::move(handler);
}

void ActionSet::Execute(int action) {
    if (states_[action].handler) {
        // A copy: the handler may replace itself while it runs.
        ExecuteHandler handler = states_[action].handler;
        handler();
        return;
    }
    const CommandAction& info = Info(action);
    if (info.line) {
        Send(info.line);
    } else if (std::strcmp(info.name, "GoHome") == 0) {
        GoHomeExecute();
    } else {
        throw std::logic_error(std::string("no execute handler for ") + info.name);
    }
}

void ActionSet::DoCommandExecute(const std::string& boxText) {
    Send(FreeCommandLine(boxText));
}

void ActionSet::GoHomeExecute() {
    if (openHome_) openHome_(kHomePageAddress);
}

bool ActionSet::Send(const std::string& line) const {
    return send_ ? send_(line) : false;
}

}  // namespace rv
