#include "serial/posix/ProcDeviceUsers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

namespace rv {

namespace {

// The pid a /proc entry stands for, 0 for the other entries (self, sys, ...).
int PidOfEntry(const fs::path& entry) {
    const std::string name = entry.filename().string();
    int pid = 0;
    const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), pid);
    if (ec != std::errc() || end != name.data() + name.size() || pid <= 0) return 0;
    return pid;
}

std::vector<int> ProcessIds(const std::string& procRoot) {
    std::vector<int> pids;
    std::error_code ec;
    for (fs::directory_iterator it(procRoot, fs::directory_options::skip_permission_denied, ec),
         end;
         !ec && it != end; it.increment(ec)) {
        if (const int pid = PidOfEntry(it->path())) pids.push_back(pid);
    }
    std::sort(pids.begin(), pids.end());
    return pids;
}

// The file's bytes; what could be read of it when reading fails (a process that ends while it is
// looked at takes its /proc files with it, and reads then fail with ESRCH).
std::string ReadWhole(const fs::path& file) {
    std::string text;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return text;
    char buf[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buf, sizeof buf);
        if (got > 0) {
            text.append(buf, static_cast<std::size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(fd);
    return text;
}

// A process name fit to be shown: the name is chosen by whoever started the process.
std::string ProcessName(const fs::path& processFolder) {
    std::string name = ReadWhole(processFolder / "comm");
    while (!name.empty() && (name.back() == '\n' || name.back() == '\0')) name.pop_back();
    for (char& c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F) c = '?';
    }
    return name;
}

// The same file, or the same character device reached through another node of it.
bool SameFile(const struct stat& a, const struct stat& b) {
    if (S_ISCHR(a.st_mode) && S_ISCHR(b.st_mode)) return a.st_rdev == b.st_rdev;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool HoldsOpen(const fs::path& fdFolder, const struct stat& device) {
    std::error_code ec;
    for (fs::directory_iterator it(fdFolder, ec), end; !ec && it != end; it.increment(ec)) {
        struct stat st;  // the descriptor's links lead to the open files themselves
        if (::stat(it->path().c_str(), &st) == 0 && SameFile(st, device)) return true;
    }
    return false;
}

// The tty_nr field of a /proc/<pid>/stat line: "pid (comm) state ppid pgrp session tty_nr ...".
// The name may hold blanks and parentheses, so the fields are counted from its last ')'.
bool ControllingTerminal(const std::string& statLine, unsigned long& ttyNr) {
    const auto close = statLine.rfind(')');
    if (close == std::string::npos) return false;
    std::istringstream fields(statLine.substr(close + 1));
    std::string state;
    long ppid = 0, pgrp = 0, session = 0;
    long long tty = 0;
    if (!(fields >> state >> ppid >> pgrp >> session >> tty) || tty < 0) return false;
    ttyNr = static_cast<unsigned long>(tty);
    return true;
}

}  // namespace

std::vector<DeviceUser> FindDeviceHolders(const std::string& devicePath,
                                          const std::string& procRoot, int ownPid) {
    std::vector<DeviceUser> holders;
    struct stat device;
    if (::stat(devicePath.c_str(), &device) != 0) return holders;
    for (const int pid : ProcessIds(procRoot)) {
        if (pid == ownPid) continue;
        const fs::path folder = fs::path(procRoot) / std::to_string(pid);
        if (HoldsOpen(folder / "fd", device)) holders.push_back({pid, ProcessName(folder)});
    }
    return holders;
}

std::vector<DeviceUser> FindTerminalSessionMembers(unsigned major, unsigned minor,
                                                   const std::string& procRoot) {
    // tty_nr packs the device number as the kernel's old encoding: minor bits 0-7 and 20-31,
    // major bits 8-19.
    const unsigned long wanted = (minor & 0xFFu) | ((major & 0xFFFu) << 8) |
                                 (static_cast<unsigned long>(minor & ~0xFFu) << 12);
    std::vector<DeviceUser> members;
    if (wanted == 0) return members;  // 0 is "no controlling terminal"
    for (const int pid : ProcessIds(procRoot)) {
        const fs::path folder = fs::path(procRoot) / std::to_string(pid);
        unsigned long tty = 0;
        if (ControllingTerminal(ReadWhole(folder / "stat"), tty) && tty == wanted)
            members.push_back({pid, ProcessName(folder)});
    }
    return members;
}

std::optional<bool> IsTerminalDevice(unsigned major, unsigned minor, const std::string& procRoot) {
    std::ifstream table(fs::path(procRoot) / "tty" / "drivers");
    if (!table) return std::nullopt;
    // "name  /dev/node  major  first[-last]  type", one driver a line.
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::vector<std::string> words{std::istream_iterator<std::string>(fields), {}};
        if (words.size() < 4) continue;
        const std::string& range = words[words.size() - 2];
        unsigned driverMajor = 0, first = 0, last = 0;
        if (std::sscanf(words[words.size() - 3].c_str(), "%u", &driverMajor) != 1) continue;
        const int parts = std::sscanf(range.c_str(), "%u-%u", &first, &last);
        if (parts < 1) continue;
        if (parts == 1) last = first;
        if (driverMajor == major && minor >= first && minor <= last) return true;
    }
    return false;
}

}  // namespace rv
