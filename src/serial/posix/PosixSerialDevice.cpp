#include "serial/posix/PosixSerialDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "serial/posix/PosixPortAdmission.h"

namespace rv {

namespace {

struct SpeedEntry {
    std::uint32_t bitsPerSecond;
    speed_t constant;
};

constexpr SpeedEntry kSpeeds[] = {
    {110, B110},     {300, B300},     {600, B600},       {1200, B1200},
    {2400, B2400},   {4800, B4800},   {9600, B9600},     {19200, B19200},
    {38400, B38400}, {57600, B57600}, {115200, B115200},
};

// The Bxxx constant of a speed; `exact` tells whether it is the speed itself or the nearest one.
speed_t SpeedConstant(std::uint32_t bitsPerSecond, bool& exact) {
    const SpeedEntry* best = &kSpeeds[0];
    for (const auto& entry : kSpeeds) {
        const auto distance = [&](const SpeedEntry& e) {
            return e.bitsPerSecond > bitsPerSecond ? e.bitsPerSecond - bitsPerSecond
                                                   : bitsPerSecond - e.bitsPerSecond;
        };
        if (distance(entry) <= distance(*best)) best = &entry;  // ties go to the faster speed
    }
    exact = best->bitsPerSecond == bitsPerSecond;
    return best->constant;
}

tcflag_t CharacterSize(std::uint8_t dataBits) {
    switch (dataBits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        default:
            return CS8;
    }
}

void SetModemLines(int fd, bool rtsDrivenByFlowControl) {
    int dtr = TIOCM_DTR;
    (void)::ioctl(fd, TIOCMBIS, &dtr);  // ENOTTY/EINVAL on pseudo-terminals: nothing to do
    if (!rtsDrivenByFlowControl) {
        int rts = TIOCM_RTS;
        (void)::ioctl(fd, TIOCMBIC, &rts);
    }
}

}  // namespace

PosixSerialDevice::PosixSerialDevice(int writeTimeoutMs, std::string procRoot)
    : writeTimeoutMs_(writeTimeoutMs), procRoot_(std::move(procRoot)) {}

PosixSerialDevice::~PosixSerialDevice() {
    Close();
}

bool PosixSerialDevice::Open(const std::string& path) {
    Close();
    failure_ = CheckPortPath(path, procRoot_);
    if (failure_.kind != SerialFailureKind::None) return false;

    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        failure_ = {OpenErrnoFailureKind(error), {}, std::strerror(error)};
        return false;
    }
    const auto refuse = [&](SerialFailure failure) {
        ::close(fd);
        failure_ = std::move(failure);
        return false;
    };
    failure_ = CheckOpenedPort(fd);
    if (failure_.kind != SerialFailureKind::None) return refuse(failure_);
    // flock on the device excludes every other holder, this process's other drivers included;
    // TIOCEXCL also refuses opens by programs that do not lock.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return refuse({SerialFailureKind::Busy, {}, std::strerror(errno)});
    auto saved = std::make_unique<struct termios>();
    if (::tcgetattr(fd, saved.get()) != 0)
        return refuse({SerialFailureKind::NotSerialDevice, {}, std::strerror(errno)});
    if (::ioctl(fd, TIOCEXCL) != 0)
        return refuse({SerialFailureKind::Other, {}, std::strerror(errno)});

    struct termios tio = *saved;
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    (void)::tcsetattr(fd, TCSANOW, &tio);

    struct stat st;
    char* resolved = ::realpath(path.c_str(), nullptr);
    nodePath_ = resolved != nullptr ? resolved : path;
    ::free(resolved);
    nodeDevice_ = ::fstat(fd, &st) == 0 ? st.st_rdev : 0;
    nodeCheckedAt_ = {};
    saved_ = std::move(saved);
    fd_ = fd;
    return true;
}

void PosixLineSettingsToTermios(const SerialLineSettings& s, struct termios& tio) {
    ::cfmakeraw(&tio);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | PARMRK | ISTRIP);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
#ifdef CMSPAR
    tio.c_cflag &= ~static_cast<tcflag_t>(CMSPAR);
#endif
    tio.c_cflag |= CLOCAL | CREAD | CharacterSize(s.dataBits);

    switch (s.parity) {
        case 1:  // odd
            tio.c_cflag |= PARENB | PARODD;
            break;
        case 2:  // even
            tio.c_cflag |= PARENB;
            break;
#ifdef CMSPAR
        case 3:  // mark: the parity bit is always 1
            tio.c_cflag |= PARENB | CMSPAR | PARODD;
            break;
        case 4:  // space: the parity bit is always 0
            tio.c_cflag |= PARENB | CMSPAR;
            break;
#endif
        default:
            break;
    }
    if (s.stopBits != 0) tio.c_cflag |= CSTOPB;
    if (s.rtsCts) tio.c_cflag |= CRTSCTS;
    if (s.xonXoff) tio.c_iflag |= IXON | IXOFF;
    tio.c_cc[VSTART] = static_cast<cc_t>(s.xonChar);
    tio.c_cc[VSTOP] = static_cast<cc_t>(s.xoffChar);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;

    bool exact = true;
    const speed_t speed = SpeedConstant(s.baudRate, exact);
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
}

bool PosixSerialDevice::Apply(const SerialLineSettings& s) {
    if (fd_ < 0) return false;
    struct termios tio;
    if (::tcgetattr(fd_, &tio) != 0) return false;
    PosixLineSettingsToTermios(s, tio);
    bool exact = true;
    (void)SpeedConstant(s.baudRate, exact);
    bool ok = ::tcsetattr(fd_, TCSANOW, &tio) == 0;
    if (ok && !exact) (void)PosixSetCustomSpeed(fd_, s.baudRate);  // else the nearest stays

    SetModemLines(fd_, s.rtsCts);
    return ok;
}

std::int32_t PosixSerialDevice::Lost(std::string why) {
    failure_ = {SerialFailureKind::Lost, {}, std::move(why)};
    return kSerialDeviceLost;
}

bool PosixSerialDevice::NodeGone() const {
    // A USB adapter pulled out takes its /dev node with it; a node of the same name may come
    // back for another device.
    struct stat st;
    if (::stat(nodePath_.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR;
    return !S_ISCHR(st.st_mode) || st.st_rdev != nodeDevice_;
}

std::int32_t PosixSerialDevice::Read(std::uint8_t* buffer, std::int32_t capacity) {
    if (fd_ < 0) return -1;
    if (failure_.kind == SerialFailureKind::Lost) return kSerialDeviceLost;
    if (capacity <= 0) return 0;
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, static_cast<std::size_t>(capacity));
        if (got > 0) return static_cast<std::int32_t>(got);
        if (got == 0) break;  // nothing there, or a hung-up terminal: poll tells them apart
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) break;
        if (ErrnoMeansDeviceLost(errno)) return Lost(std::strerror(errno));
        return -1;
    }
    // Nothing was read. A terminal whose line went away says so as a hang-up or an error (the
    // data it still held has been read first).
    struct pollfd pfd = {fd_, POLLIN, 0};
    if (::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
        return Lost("hang-up");
    const auto now = std::chrono::steady_clock::now();
    if (now - nodeCheckedAt_ >= std::chrono::milliseconds(100)) {
        nodeCheckedAt_ = now;
        if (NodeGone()) return Lost("device node removed");
    }
    return 0;
}

std::int32_t PosixSerialDevice::Write(const std::uint8_t* data, std::int32_t size) {
    if (fd_ < 0 || size < 0) return -1;
    if (failure_.kind == SerialFailureKind::Lost) return kSerialDeviceLost;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(writeTimeoutMs_);
    std::int32_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd_, data + written, static_cast<std::size_t>(size - written));
        if (n > 0) {
            written += static_cast<std::int32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && ErrnoMeansDeviceLost(errno)) return Lost(std::strerror(errno));
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return written > 0 ? written : -1;
        // The output queue is full: wait for room, but not beyond the deadline.
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) break;
        struct pollfd pfd = {fd_, POLLOUT, 0};
        const int ready = ::poll(&pfd, 1, static_cast<int>(left));
        if (ready < 0 && errno != EINTR) return written > 0 ? written : -1;
        if (ready > 0 && (pfd.revents & (POLLHUP | POLLERR)) != 0) return Lost("hang-up");
        if (ready > 0 && (pfd.revents & POLLNVAL) != 0) return written > 0 ? written : -1;
    }
    return written;
}

void PosixSerialDevice::Close() {
    if (fd_ < 0) return;
    // The terminal as it was found; TCSANOW, as output a unit never reads would hold a drain
    // forever. A lost device refuses, which is harmless.
    if (saved_) (void)::tcsetattr(fd_, TCSANOW, saved_.get());
    saved_.reset();
    (void)::ioctl(fd_, TIOCNXCL);
    (void)::close(fd_);  // releases the flock lock too
    fd_ = -1;
    nodePath_.clear();
    nodeDevice_ = 0;
}

}  // namespace rv
