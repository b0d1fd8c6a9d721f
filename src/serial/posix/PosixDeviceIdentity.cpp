#include "serial/posix/PosixDeviceIdentity.h"

#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <string_view>

#include "serial/PortList.h"

namespace rv {

namespace {

constexpr std::string_view kPortsPrefix = "ports:";
constexpr std::string_view kByIdPrefix = "by-id:";
constexpr std::string_view kTtyPrefix = "tty:";

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
}

std::string BaseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What is at `path` (links followed): the node's path, device number and creation time, so that
// a node made anew for another device (or a recreated link) reads differently. Empty when absent.
std::string NodeSignature(const std::string& path, const std::string& link = {}) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return {};
    std::string signature = RealPath(path) + "#" + std::to_string(st.st_rdev) + "#" +
                            std::to_string(st.st_ctim.tv_sec) + "." +
                            std::to_string(st.st_ctim.tv_nsec);
    struct stat linkSt;
    if (!link.empty() && ::lstat(link.c_str(), &linkSt) == 0)
        signature +=
            "#" + std::to_string(linkSt.st_ino) + "." + std::to_string(linkSt.st_ctim.tv_nsec);
    return signature;
}

// The port of hardware tty `tty` when the namespace maps it there now, else 0.
int HardwarePortNow(const std::string& tty, const ComNamespaceRoots& roots) {
    const int port = HardwareComNumber(tty);
    if (port == 0) return 0;
    const std::string path = ResolveComPort(port, roots);
    return !path.empty() && BaseName(path) == tty ? port : 0;
}

}  // namespace

std::string PosixDeviceIdentity(int port, const ComNamespaceRoots& roots,
                                const std::string& byIdFolder) {
    if (port < 1 || port > 99) return {};
    const std::string name = "COM" + std::to_string(port);
    struct stat st;
    if (::lstat((roots.portsFolder + "/" + name).c_str(), &st) == 0)
        return std::string(kPortsPrefix) + name;
    const std::string device = ResolveComPort(port, roots);
    if (device.empty()) return {};
    const std::string real = RealPath(device);
    if (DIR* dir = ::opendir(byIdFolder.c_str())) {
        std::string found;
        while (const dirent* item = ::readdir(dir)) {
            const std::string entry = item->d_name;
            if (entry == "." || entry == "..") continue;
            if (!real.empty() && RealPath(byIdFolder + "/" + entry) == real) {
                found = entry;
                break;
            }
        }
        ::closedir(dir);
        if (!found.empty()) return std::string(kByIdPrefix) + found;
    }
    return std::string(kTtyPrefix) + BaseName(device);
}

PortPresence PosixFindDevice(const std::string& identity, const ComNamespaceRoots& roots,
                             const std::string& byIdFolder) {
    const std::string_view id = identity;
    if (id.substr(0, kPortsPrefix.size()) == kPortsPrefix) {
        const std::string name(id.substr(kPortsPrefix.size()));
        const int port = name.size() > 3 ? PortNumberOfName(name) : 0;
        const std::string link = roots.portsFolder + "/" + name;
        if (port == 0 || ResolveComPort(port, roots).empty()) return {};
        const std::string signature = NodeSignature(link, link);
        return signature.empty() ? PortPresence{} : PortPresence{port, signature};
    }
    std::string node;
    if (id.substr(0, kByIdPrefix.size()) == kByIdPrefix) {
        node = RealPath(byIdFolder + "/" + std::string(id.substr(kByIdPrefix.size())));
    } else if (id.substr(0, kTtyPrefix.size()) == kTtyPrefix) {
        node = roots.devFolder + "/" + std::string(id.substr(kTtyPrefix.size()));
    }
    if (node.empty()) return {};
    const int port = HardwarePortNow(BaseName(node), roots);
    if (port == 0) return {};
    const std::string signature = NodeSignature(node);
    return signature.empty() ? PortPresence{} : PortPresence{port, signature};
}

}  // namespace rv
