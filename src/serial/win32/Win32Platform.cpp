// The serial platform on Windows: the Win32 communications API on "\\.\COM<n>", and port discovery
// through the MS-DOS device names that QueryDosDeviceA lists.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <stdexcept>
#include <string>

#include "serial/DeviceNameQuery.h"
#include "serial/Platform.h"
#include "serial/PortList.h"
#include "serial/win32/Win32SerialDevice.h"

namespace rv {

std::string Win32ErrorText(unsigned long code) {
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message;
    if (length != 0 && text != nullptr) message.assign(text, length);
    if (text != nullptr) ::LocalFree(text);
    while (!message.empty() &&
           (static_cast<unsigned char>(message.back()) <= ' ' || message.back() == '.'))
        message.pop_back();
    if (message.empty()) message = "System error " + std::to_string(code);
    return message;
}

std::unique_ptr<SerialDevice> CreatePlatformSerialDevice() {
    return std::make_unique<Win32SerialDevice>();
}

std::string DevicePathOfPort(int port) {
    return WindowsComPortPath(port);
}

std::string DeviceIdentityOfPort(int port) {
    // A COM number on Windows belongs to its adapter (the system remembers it per device).
    return port >= 1 && port <= 99 ? "COM" + std::to_string(port) : std::string();
}

PortPresence FindDeviceOfIdentity(const std::string& identity) {
    const int port = identity.size() > 3 ? PortNumberOfName(identity) : 0;
    char target[1024];
    if (port == 0 || ::QueryDosDeviceA(identity.c_str(), target, sizeof target) == 0) return {};
    return {port, target};
}

std::vector<std::string> PortListWatchFolders() {
    return {};  // Windows tells of hot-plug through WM_DEVICECHANGE instead
}

std::string ReadPortList() {
    return ReadGrowingDeviceList(
        [](char* buffer, std::uint32_t size) {
            ::SetLastError(0);
            DeviceNameCall call;
            call.count = ::QueryDosDeviceA(nullptr, buffer, size);
            call.error = ::GetLastError();
            return call;
        },
        [](std::uint32_t code) { return Win32ErrorText(code); });
}

std::string PortsFolderProblem() {
    return {};  // Windows names its ports itself
}

}  // namespace rv
