#include "serial/posix/PosixComNamespace.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <stdexcept>

#include "serial/PortList.h"

namespace rv {

namespace {

struct HardwareFamily {
    std::string_view prefix;
    int firstNumber;
    int count;
};

constexpr HardwareFamily kFamilies[] = {
    {"ttyS", 1, 20},
    {"ttyUSB", 21, 40},
    {"ttyACM", 61, 39},
};

// Decimal digits without leading zeros (a lone "0" is allowed); -1 otherwise.
int CanonicalNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 4) return -1;
    if (digits.size() > 1 && digits[0] == '0') return -1;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Port number of a ports-folder entry name, 0 when the name is not COM1..COM99.
int PublishedNumber(std::string_view name) {
    if (name.substr(0, 3) != "COM") return 0;
    const int n = CanonicalNumber(name.substr(3));
    return n >= 1 && n <= 99 ? n : 0;
}

// The folder that holds `path` ("." for a bare name).
std::string ParentOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string OctalMode(mode_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

// Why `folder` may not hold the ports, or the empty text; `missing` tells a folder that is not
// there (which is no reason: it simply holds nothing).
std::string FolderRefusal(const std::string& folder, uid_t owner, bool& missing) {
    struct stat st;
    missing = false;
    if (::lstat(folder.c_str(), &st) != 0) {
        if (errno == ENOENT) {
            missing = true;
            return {};
        }
        return "«" + folder + "»: " + std::strerror(errno);
    }
    if (S_ISLNK(st.st_mode)) return "«" + folder + "» — ссылка, а не папка";
    if (!S_ISDIR(st.st_mode)) return "«" + folder + "» — не папка";
    if (st.st_uid != owner)
        return "владелец папки «" + folder + "» — другой пользователь (uid " +
               std::to_string(st.st_uid) + ")";
    if ((st.st_mode & 077) != 0)
        return "к папке «" + folder + "» есть доступ у других пользователей (права " +
               OctalMode(st.st_mode) + ")";
    return {};
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) return path;
    return resolved;
}

// The tty name that the hardware rule maps to `port`, empty when none.
std::string HardwareTtyName(int port) {
    for (const auto& family : kFamilies) {
        if (port >= family.firstNumber && port < family.firstNumber + family.count)
            return std::string(family.prefix) + std::to_string(port - family.firstNumber);
    }
    return {};
}

bool IsRealHardware(const ComNamespaceRoots& roots, const std::string& ttyName) {
    const std::string sysEntry = roots.sysClassTty + "/" + ttyName;
    if (!Exists(sysEntry + "/device/driver")) return false;
    if (!Exists(roots.devFolder + "/" + ttyName)) return false;
    std::ifstream typeFile(sysEntry + "/type");
    if (typeFile) {
        long type = 0;
        if (!(typeFile >> type) || type == 0) return false;
    }
    return true;
}

// Entries of the ports folder by number; a dangling link claims its number with an empty path.
// Returns false when the folder is missing.
bool ReadPortsFolder(const std::string& folder, std::vector<ComPortEntry>& entries,
                     std::set<int>& claimed) {
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return false;
        throw std::runtime_error(folder + ": " + std::strerror(errno));
    }
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) throw std::runtime_error(folder + ": " + std::strerror(errno));
    while (const dirent* item = ::readdir(dir)) {
        const std::string_view name(item->d_name);
        const int number = PublishedNumber(name);
        if (number == 0 || !claimed.insert(number).second) continue;
        const std::string path = folder + "/" + std::string(name);
        if (!Exists(path)) continue;  // dangling: the port is absent
        entries.push_back({number, "COM" + std::to_string(number), RealPath(path), true});
    }
    ::closedir(dir);
    return true;
}

}  // namespace

std::string ComPortsFolder() {
    const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    if (runtimeDir != nullptr && runtimeDir[0] != '\0')
        return std::string(runtimeDir) + "/revodive/ports";
    return "/tmp/revodive-" + std::to_string(::getuid()) + "/ports";
}

ComNamespaceRoots DefaultComNamespaceRoots() {
    ComNamespaceRoots roots;
    roots.portsFolder = ComPortsFolder();
    return roots;
}

std::string PortsFolderRefusal(const ComNamespaceRoots& roots) {
    // The holding folder first: whoever owns it could swap the ports folder for one of theirs.
    for (const std::string& folder : {ParentOf(roots.portsFolder), roots.portsFolder}) {
        bool missing = false;
        const std::string why = FolderRefusal(folder, roots.owner, missing);
        if (missing) return {};
        if (!why.empty()) return "Папка портов не используется: " + why + ".";
    }
    return {};
}

void MakePortsFolder(const ComNamespaceRoots& roots) {
    // mkdir never follows a link nor touches a folder that is already there; the check that
    // follows every use judges whatever was there before.
    ::mkdir(ParentOf(roots.portsFolder).c_str(), 0700);
    ::mkdir(roots.portsFolder.c_str(), 0700);
}

int HardwareComNumber(std::string_view ttyName) {
    for (const auto& family : kFamilies) {
        if (ttyName.size() <= family.prefix.size() ||
            ttyName.substr(0, family.prefix.size()) != family.prefix)
            continue;
        const int k = CanonicalNumber(ttyName.substr(family.prefix.size()));
        if (k >= 0 && k < family.count) return family.firstNumber + k;
        return 0;
    }
    return 0;
}

std::vector<ComPortEntry> ListComPorts(const ComNamespaceRoots& roots) {
    std::vector<ComPortEntry> entries;
    std::set<int> claimed;
    if (PortsFolderRefusal(roots).empty()) ReadPortsFolder(roots.portsFolder, entries, claimed);

    if (DIR* dir = ::opendir(roots.sysClassTty.c_str())) {
        while (const dirent* item = ::readdir(dir)) {
            const std::string name(item->d_name);
            const int number = HardwareComNumber(name);
            if (number == 0 || claimed.count(number) != 0) continue;
            if (!IsRealHardware(roots, name)) continue;
            claimed.insert(number);
            entries.push_back(
                {number, "COM" + std::to_string(number), roots.devFolder + "/" + name, false});
        }
        ::closedir(dir);
    }

    std::sort(entries.begin(), entries.end(),
              [](const ComPortEntry& a, const ComPortEntry& b) { return a.number < b.number; });
    return entries;
}

std::string ComNamespaceList(const ComNamespaceRoots& roots) {
    std::string list;
    for (const auto& entry : ListComPorts(roots)) {
        list += entry.name;
        list += '\0';
    }
    list += '\0';
    return list;
}

std::string ResolveComPort(int port, const ComNamespaceRoots& roots) {
    if (port < 1 || port > 99) return {};
    const std::string published = roots.portsFolder + "/COM" + std::to_string(port);
    struct stat st;
    if (PortsFolderRefusal(roots).empty() && ::lstat(published.c_str(), &st) == 0)
        return Exists(published) ? RealPath(published) : "";
    const std::string tty = HardwareTtyName(port);
    if (tty.empty() || !IsRealHardware(roots, tty)) return {};
    return roots.devFolder + "/" + tty;
}

}  // namespace rv
