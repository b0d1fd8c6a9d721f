#pragma once
// The platform of a console under test: a scripted serial device instead of a real one, device
// paths /dev/ttyTEST<n>, a port list given by the test, errors collected instead of shown, a device
// identity "TEST<n>" per port.

#include <functional>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "support/ScriptedSerialDevice.h"

namespace rv::test {

// `device` is set to the scripted device the form will own. `ticks` may be nullptr when a window
// supplies its own; so may `errors` when the window shows them.
inline FormPlatform ScriptedPlatform(ScriptedSerialDevice*& device, TickSource* ticks,
                                     std::function<std::string()> portList,
                                     std::vector<std::string>* errors = nullptr) {
    auto scripted = std::make_unique<ScriptedSerialDevice>();
    device = scripted.get();
    FormPlatform p;
    p.device = std::move(scripted);
    p.ticks = ticks;
    p.resolvePath = [](int port) { return "/dev/ttyTEST" + std::to_string(port); };
    p.readPortList = std::move(portList);
    // A lost device never comes back unless the test says where it is (set p.findDevice).
    p.identityOfPort = [](int port) { return "TEST" + std::to_string(port); };
    p.findDevice = [](const std::string&) { return PortPresence{}; };
    p.portsFolderProblem = [] { return std::string(); };  // the machine's own folder is no concern
    if (errors) p.reportError = [errors](const std::string& m) { errors->push_back(m); };
    return p;
}

// A port list as the platform gives it: the names, each ended by NUL, then an empty name.
inline std::string PortList(std::initializer_list<const char*> names) {
    std::string list;
    for (const char* n : names) {
        list += n;
        list += '\0';
    }
    list += '\0';
    return list;
}

}  // namespace rv::test
