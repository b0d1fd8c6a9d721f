// The serial platform on Linux and other POSIX systems: termios devices, and the COM namespace
// (ports folder and serial hardware) for the port list and the device path of a port.

#include "serial/Platform.h"
#include "serial/posix/PosixComNamespace.h"
#include "serial/posix/PosixSerialDevice.h"

namespace rv {

std::unique_ptr<SerialDevice> CreatePlatformSerialDevice() {
    return std::make_unique<PosixSerialDevice>();
}

std::string DevicePathOfPort(int port) {
    return ResolveComPort(port, DefaultComNamespaceRoots());
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
