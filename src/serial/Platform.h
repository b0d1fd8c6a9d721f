#pragma once
// The hooks through which the console reaches the serial hardware of the system it runs on. Each is
// defined once per platform: serial/posix/PosixPlatform.cpp (Linux and other POSIX systems) and
// serial/win32/Win32Platform.cpp (Windows); exactly one of the two is built.

#include <memory>
#include <string>
#include <vector>

#include "serial/SerialDevice.h"

namespace rv {

// The serial device of this platform: termios on POSIX, the Win32 communications API on Windows.
std::unique_ptr<SerialDevice> CreatePlatformSerialDevice();

// The device path of port n: the Win32 path on Windows; on Linux the tty device that the COM
// namespace maps to COM<n>, or the empty text when there is none.
std::string DevicePathOfPort(int port);

// Where a device the console had open can be found now (see FindDeviceOfIdentity).
struct PortPresence {
    int port = 0;        // its port number now; 0: absent
    std::string device;  // what is there (path, device number, creation time): it changes when
                         // another device, or the same one plugged in anew, takes the place
    bool operator==(const PortPresence&) const = default;
};

// What names the device of port n itself rather than its number, so that it can be found again
// after it went away: on Linux the ports-folder entry ("ports:COM9"), a USB adapter's
// /dev/serial/by-id name ("by-id:..."), else the tty ("tty:ttyS0"); on Windows the COM name.
// Empty when the port has no device. Called once per opening.
std::string DeviceIdentityOfPort(int port);
// Where the device of `identity` is now. Cheap enough to ask several times a second: a few
// stat calls, nothing is opened and no other program is looked for.
PortPresence FindDeviceOfIdentity(const std::string& identity);

// Folders whose changes may change the port list: the window watches them to follow hot-plug.
// Folders that do not exist yet may be among them (watch the nearest that does).
std::vector<std::string> PortListWatchFolders();

// Reads the platform's NUL-separated port list (see serial/PortList.h). Throws std::runtime_error
// with the platform's message text when the list cannot be read.
std::string ReadPortList();

// Why the platform's own folder of published ports is not used (UTF-8, for the technician), or the
// empty text when it is used or the platform has none.
std::string PortsFolderProblem();

}  // namespace rv
