#include "SimPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace sim {
namespace {

// mkdir -p with the mode for every level it creates.
bool MakeFolders(const std::string& path, mode_t mode) {
    std::string partial;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        partial = path.substr(0, pos);
        if (partial.empty()) continue;
        if (::mkdir(partial.c_str(), mode) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Why `folder` may not hold the published port, or the empty text: it must be a real folder (not
// a link) of this user that nobody else may enter, or someone else could swap the link for one
// to a terminal of theirs.
std::string UntrustedFolder(const std::string& folder) {
    struct stat st;
    if (::lstat(folder.c_str(), &st) != 0) return folder + ": " + std::strerror(errno);
    if (S_ISLNK(st.st_mode)) return folder + " is a link, not a folder";
    if (!S_ISDIR(st.st_mode)) return folder + " is not a folder";
    if (st.st_uid != ::getuid())
        return folder + " belongs to another user (uid " + std::to_string(st.st_uid) + ")";
    if ((st.st_mode & 077) != 0) return folder + " is open to other users (chmod 700 it)";
    return {};
}

std::string LinkTarget(const std::string& link) {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf - 1);
    if (n < 0) return {};
    return std::string(buf, static_cast<std::size_t>(n));
}

}  // namespace

std::string PortsFolder() {
    const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    if (runtimeDir != nullptr && runtimeDir[0] != '\0')
        return std::string(runtimeDir) + "/revodive/ports";
    return "/tmp/revodive-" + std::to_string(::getuid()) + "/ports";
}

SimPort::~SimPort() {
    Close();
}

SimPort::OpenResult SimPort::Open(int number, std::string& error) {
    Close();
    const std::string folder = PortsFolder();
    if (!MakeFolders(folder, 0700)) {
        error = folder + ": " + std::strerror(errno);
        return OpenResult::Failed;
    }
    for (const std::string& level : {folder.substr(0, folder.rfind('/')), folder}) {
        error = UntrustedFolder(level);
        if (!error.empty()) return OpenResult::Failed;
    }
    const std::string link = folder + "/COM" + std::to_string(number);
    struct stat st;
    if (::lstat(link.c_str(), &st) == 0) {
        if (::stat(link.c_str(), &st) == 0) {
            error = "COM" + std::to_string(number) + " is taken (" + link + ")";
            return OpenResult::NumberTaken;
        }
        ::unlink(link.c_str());  // dangling: its simulator is gone
    }

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        error = std::string("pseudo-terminal: ") + std::strerror(errno);
        if (master >= 0) ::close(master);
        return OpenResult::Failed;
    }
    const char* name = ::ptsname(master);
    if (name == nullptr) {
        error = std::string("pseudo-terminal name: ") + std::strerror(errno);
        ::close(master);
        return OpenResult::Failed;
    }
    const std::string device = name;
    // Raw line discipline from the start: no echo of the unit's own lines back to it, no CR/LF
    // translation, before the console has opened the device and set it up itself.
    const int slave = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave >= 0) {
        struct termios tio;
        if (::tcgetattr(slave, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(slave, TCSANOW, &tio);
        }
        ::close(slave);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);

    if (::symlink(device.c_str(), link.c_str()) != 0) {
        const int e = errno;
        ::close(master);
        if (e == EEXIST) {
            error = "COM" + std::to_string(number) + " is taken (" + link + ")";
            return OpenResult::NumberTaken;
        }
        error = link + ": " + std::strerror(e);
        return OpenResult::Failed;
    }
    master_ = master;
    device_ = device;
    link_ = link;
    return OpenResult::Ok;
}

void SimPort::Close() {
    if (!link_.empty() && LinkTarget(link_) == device_) ::unlink(link_.c_str());
    link_.clear();
    if (master_ >= 0) ::close(master_);
    master_ = -1;
    device_.clear();
}

bool SimPort::PeerConnected() const {
    if (master_ < 0) return false;
    // The master side reports a hang-up while no process holds the device open.
    struct pollfd pfd = {master_, POLLIN, 0};
    if (::poll(&pfd, 1, 0) < 0) return false;
    return (pfd.revents & POLLHUP) == 0;
}

}  // namespace sim
