#include "serial/posix/PosixPortAdmission.h"

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "serial/posix/ProcDeviceUsers.h"

namespace rv {

namespace {

SerialFailure Failure(SerialFailureKind kind, std::string holder = {}, std::string text = {}) {
    return SerialFailure{kind, std::move(holder), std::move(text)};
}

SerialFailure NotSerial(const char* why) {
    return Failure(SerialFailureKind::NotSerialDevice, {}, why);
}

// The terminals every process has that are never a port: the process's own terminal, the
// pseudo-terminal multiplexer and the system console.
bool IsSystemTerminal(dev_t device) {
    for (const char* path : {"/dev/tty", "/dev/ptmx", "/dev/console"}) {
        struct stat st;
        if (::stat(path, &st) == 0 && S_ISCHR(st.st_mode) && st.st_rdev == device) return true;
    }
    return false;
}

}  // namespace

SerialFailure CheckPortPath(const std::string& path, const std::string& procRoot) {
    if (path.empty()) return Failure(SerialFailureKind::Missing);
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        const int error = errno;
        struct stat link;
        if (error == ENOENT && ::lstat(path.c_str(), &link) == 0)
            return Failure(SerialFailureKind::Missing, {}, "dangling link");  // its device is gone
        return Failure(OpenErrnoFailureKind(error), {}, std::strerror(error));
    }
    if (S_ISREG(st.st_mode)) return NotSerial("regular file");
    if (S_ISFIFO(st.st_mode)) return NotSerial("FIFO");
    if (S_ISDIR(st.st_mode)) return NotSerial("directory");
    if (!S_ISCHR(st.st_mode)) return NotSerial("not a character device");
    if (IsSystemTerminal(st.st_rdev)) return NotSerial("system terminal");
    if (IsTerminalDevice(major(st.st_rdev), minor(st.st_rdev), procRoot) == false)
        return NotSerial("not a terminal");

    const auto members = FindTerminalSessionMembers(major(st.st_rdev), minor(st.st_rdev), procRoot);
    if (!members.empty())
        return Failure(SerialFailureKind::NotSerialDevice, members.front().name,
                       "controlling terminal of a session");
    const auto holders = FindDeviceHolders(path, procRoot, static_cast<int>(::getpid()));
    if (!holders.empty()) return Failure(SerialFailureKind::BusyByProcess, holders.front().name);
    return {};
}

SerialFailure CheckOpenedPort(int fd) {
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return NotSerial("not a character device");
    if (!::isatty(fd)) return NotSerial("not a terminal");
    if (IsSystemTerminal(st.st_rdev)) return NotSerial("system terminal");
    pid_t session = 0;
    if (::ioctl(fd, TIOCGSID, &session) == 0) return NotSerial("controlling terminal");
    return {};
}

}  // namespace rv
