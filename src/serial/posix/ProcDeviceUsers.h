#pragma once
// Who else uses a device, read from a /proc tree (Linux): the processes that hold it open, and
// the processes whose controlling terminal it is. A port held by another program is refused
// rather than shared (two readers would split the unit's lines between them), and a terminal
// that belongs to a session (someone's shell) is never taken for a port. The /proc root is a
// parameter so that tests can build a tree of their own.

#include <optional>
#include <string>
#include <vector>

namespace rv {

struct DeviceUser {
    int pid = 0;
    std::string name;  // from /proc/<pid>/comm, control and non-ASCII bytes replaced by '?'
};

// The processes other than `ownPid` with an open descriptor on `devicePath` (the same file, or
// for a character device the same device number), by ascending pid. Processes whose descriptors
// cannot be read (another user's) are not seen; an unreadable or missing /proc gives none.
std::vector<DeviceUser> FindDeviceHolders(const std::string& devicePath,
                                          const std::string& procRoot, int ownPid);

// The processes whose controlling terminal is the character device `major`:`minor` (the tty_nr
// field of /proc/<pid>/stat, which every user may read), by ascending pid.
std::vector<DeviceUser> FindTerminalSessionMembers(unsigned major, unsigned minor,
                                                   const std::string& procRoot);

// Whether the character device `major`:`minor` belongs to a terminal driver, by the driver table
// /proc/tty/drivers; nothing when the table cannot be read (the device must then be opened to
// tell).
std::optional<bool> IsTerminalDevice(unsigned major, unsigned minor, const std::string& procRoot);

}  // namespace rv
