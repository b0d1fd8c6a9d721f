#pragma once
// The device path of COM port n.

#include <string>

namespace rv {

// The Win32 device path of port n: "\\.\COM" followed by n in decimal, without leading zeros.
std::string WindowsComPortPath(int port);

// The device path of port n on this platform: the Win32 path on Windows; on Linux the tty device
// that the COM namespace maps to COM<n>, or the empty text when there is none.
std::string DevicePathOfPort(int port);

}  // namespace rv
