#pragma once
// Finding a device again after it went away. A unit on the ports folder comes back under the
// same entry (COM<n> pointing at a new pseudo-terminal); a USB adapter comes back under the same
// /dev/serial/by-id name (its maker, model and serial number), even when the kernel gives it
// another ttyUSB number, and so another COM number; other hardware comes back as the same tty.

#include <string>

#include "serial/Platform.h"
#include "serial/posix/PosixComNamespace.h"

namespace rv {

// udev's folder of links named after each USB serial adapter's own identity.
inline constexpr const char* kSerialByIdFolder = "/dev/serial/by-id";

// "ports:COM<n>", "by-id:<name>" or "tty:<name>" for port n; empty when the port is absent.
std::string PosixDeviceIdentity(int port, const ComNamespaceRoots& roots,
                                const std::string& byIdFolder);

// Where the device of `identity` is now (port 0: absent). Only stat, lstat and readlink.
PortPresence PosixFindDevice(const std::string& identity, const ComNamespaceRoots& roots,
                             const std::string& byIdFolder);

}  // namespace rv
