#pragma once
// The COM namespace on Linux: which tty device is COM1 ... COM99.
//
// 1. The ports folder, per user: $XDG_RUNTIME_DIR/revodive/ports, or /tmp/revodive-<uid>/ports
//    when XDG_RUNTIME_DIR is unset or empty. An entry named COM<n> (n 1..99, written without
//    leading zeros) is a symbolic link to a tty device and is port n. The simulated unit and the
//    tests publish their pseudo-terminals there. An entry claims its number even when its link
//    is dangling: the port is then absent.
// 2. Serial hardware under /sys/class/tty, for numbers no entry of the ports folder claims:
//      ttyS<k>   -> COM<k+1>   for k 0..19  (COM1..COM20)
//      ttyUSB<k> -> COM<k+21>  for k 0..39  (COM21..COM60)
//      ttyACM<k> -> COM<k+61>  for k 0..38  (COM61..COM99)
//    A tty counts only when it has a driver (its device/driver link resolves), its /dev node
//    exists and, for the 8250-type ports that have a "type" attribute (ttyS), that type is not
//    0 (0 is a port slot without a UART behind it).
//
// The ports folder is trusted only when it belongs to the user: the folder and the folder that
// holds it ("revodive" or "revodive-<uid>") must each be a real folder, not a link, owned by the
// user, with no access for group or others. Anybody else who could put a COM<n> link there would
// make the console talk to a terminal of theirs (and send it the SIM PIN). A folder that fails the
// check is not used at all: the port list and the device paths then come from the hardware only.

#include <sys/types.h>
#include <unistd.h>

#include <string>
#include <string_view>
#include <vector>

namespace rv {

struct ComNamespaceRoots {
    std::string portsFolder;                     // the ports folder
    std::string sysClassTty = "/sys/class/tty";  // the tty class of sysfs
    std::string devFolder = "/dev";              // where the tty device nodes are
    uid_t owner = ::getuid();                    // who must own the ports folder
};

// The ports folder of the current user (see above).
std::string ComPortsFolder();
// The ports folder of the current user, /sys/class/tty and /dev.
ComNamespaceRoots DefaultComNamespaceRoots();

// Why the ports folder of `roots` is not used (UTF-8, Russian, for the technician), or the empty
// text when it is used or simply missing.
std::string PortsFolderRefusal(const ComNamespaceRoots& roots);

// Makes the ports folder and the folder holding it where they are missing, with mode 0700, so that
// nobody else can take the name first. Failures are left to PortsFolderRefusal and the reading.
void MakePortsFolder(const ComNamespaceRoots& roots);

// COM number of a tty name by the hardware rule above, 0 when the name is not mapped.
int HardwareComNumber(std::string_view ttyName);

struct ComPortEntry {
    int number = 0;          // 1..99
    std::string name;        // "COM<number>"
    std::string devicePath;  // the tty device the port opens (links resolved)
    bool published = false;  // true: an entry of the ports folder; false: serial hardware
};

// The ports present, sorted by number. Throws std::runtime_error (with the system's error text)
// when the ports folder is trusted but cannot be read; a missing or untrusted ports folder adds
// nothing.
std::vector<ComPortEntry> ListComPorts(const ComNamespaceRoots& roots);

// The NUL-separated port list of the ports present, ended by an empty name ("COM3\0COM9\0\0").
std::string ComNamespaceList(const ComNamespaceRoots& roots);

// The device path of COM<port>, or the empty text when the port is absent. An untrusted ports
// folder is passed over. Never throws.
std::string ResolveComPort(int port, const ComNamespaceRoots& roots);

}  // namespace rv
