// The serial platform on Linux and other POSIX systems: termios devices, and the COM namespace
// (ports folder and serial hardware) for the port list and the device path of a port.

#include "serial/Platform.h"
#include "serial/posix/PosixComNamespace.h"
#include "serial/posix/PosixDeviceIdentity.h"
#include "serial/posix/PosixSerialDevice.h"

namespace rv {

std::unique_ptr<SerialDevice> CreatePlatformSerialDevice() {
    return std::make_unique<PosixSerialDevice>();
}

std::string DevicePathOfPort(int port) {
    return ResolveComPort(port, DefaultComNamespaceRoots());
}

std::string DeviceIdentityOfPort(int port) {
    return PosixDeviceIdentity(port, DefaultComNamespaceRoots(), kSerialByIdFolder);
}

PortPresence FindDeviceOfIdentity(const std::string& identity) {
    return PosixFindDevice(identity, DefaultComNamespaceRoots(), kSerialByIdFolder);
}

std::vector<std::string> PortListWatchFolders() {
    // The ports folder may not exist yet: its parents tell when it is made. /dev tells of serial
    // hardware coming and going (its /sys/class/tty entry appears together with the node).
    const std::string ports = ComPortsFolder();
    const std::string parent = ports.substr(0, ports.rfind('/'));
    const std::string runtime = parent.substr(0, parent.rfind('/'));
    return {ports, parent, runtime, "/dev"};
}

std::string ReadPortList() {
    const ComNamespaceRoots roots = DefaultComNamespaceRoots();
    MakePortsFolder(roots);
    return ComNamespaceList(roots);
}

std::string PortsFolderProblem() {
    return PortsFolderRefusal(DefaultComNamespaceRoots());
}

}  // namespace rv
