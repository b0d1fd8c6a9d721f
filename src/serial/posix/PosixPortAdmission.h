#pragma once
// Which paths the console may open as a serial port. Only a character device that is a terminal
// qualifies, and not every terminal: not the console's own or any other session's controlling
// terminal (that is someone's shell; reading it would steal their typing and writing it would
// type commands into it), not /dev/tty, /dev/ptmx or /dev/console, and not a device another
// program holds open. A path that leads to a regular file, a FIFO, a folder, a dangling link or a
// loop of links is refused before anything is opened.

#include <string>

#include "serial/SerialFailure.h"

namespace rv {

// Before opening: what `path` leads to, and who else uses it (read from the /proc tree at
// `procRoot`). SerialFailureKind::None when the path may be opened as a port.
SerialFailure CheckPortPath(const std::string& path, const std::string& procRoot);

// After opening: `fd` is a terminal and not the controlling terminal of this process's session
// (TIOCGSID answers only for that one), for the path that may have changed since it was checked.
SerialFailure CheckOpenedPort(int fd);

}  // namespace rv
