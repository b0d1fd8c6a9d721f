#pragma once
// The hooks through which the console reaches the serial hardware of the system it runs on. Each is
// defined once per platform: serial/posix/PosixPlatform.cpp (Linux and other POSIX systems) and
// serial/win32/Win32Platform.cpp (Windows); exactly one of the two is built.

#include <memory>
#include <string>

#include "serial/SerialDevice.h"

namespace rv {

// The serial device of this platform: termios on POSIX, the Win32 communications API on Windows.
std::unique_ptr<SerialDevice> CreatePlatformSerialDevice();

// The device path of port n: the Win32 path on Windows; on Linux the tty device that the COM
// namespace maps to COM<n>, or the empty text when there is none.
std::string DevicePathOfPort(int port);

// Reads the platform's NUL-separated port list (see serial/PortList.h). Throws std::runtime_error
// with the platform's message text when the list cannot be read.
std::string ReadPortList();

// Why the platform's own folder of published ports is not used (UTF-8, for the technician), or the
// empty text when it is used or the platform has none.
std::string PortsFolderProblem();

}  // namespace rv
