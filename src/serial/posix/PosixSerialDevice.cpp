#include "serial/posix/PosixSerialDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

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

PosixSerialDevice::PosixSerialDevice(int writeTimeoutMs) : writeTimeoutMs_(writeTimeoutMs) {}

PosixSerialDevice::~PosixSerialDevice() {
    Close();
}

bool PosixSerialDevice::Open(const std::string& path) {
    Close();
    if (path.empty()) return false;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    // flock on the device excludes every other holder, this process's other drivers included;
    // TIOCEXCL also refuses opens by programs that do not lock.
    if (!::isatty(fd) || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
        ::close(fd);
        return false;
    }
    struct termios tio;
    if (::tcgetattr(fd, &tio) != 0) {
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
        return false;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    (void)::tcsetattr(fd, TCSANOW, &tio);
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

std::int32_t PosixSerialDevice::Read(std::uint8_t* buffer, std::int32_t capacity) {
    if (fd_ < 0) return -1;
    if (capacity <= 0) return 0;
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, static_cast<std::size_t>(capacity));
        if (got >= 0) return static_cast<std::int32_t>(got);
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        return -1;
    }
}

std::int32_t PosixSerialDevice::Write(const std::uint8_t* data, std::int32_t size) {
    if (fd_ < 0 || size < 0) return -1;
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
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return written > 0 ? written : -1;
        // The output queue is full: wait for room, but not beyond the deadline.
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) break;
        struct pollfd pfd = {fd_, POLLOUT, 0};
        const int ready = ::poll(&pfd, 1, static_cast<int>(left));
        if (ready < 0 && errno != EINTR) return written > 0 ? written : -1;
        if (ready > 0 && (pfd.revents & (POLLERR | POLLNVAL)) != 0)
            return written > 0 ? written : -1;
    }
    return written;
}

void PosixSerialDevice::Close() {
    if (fd_ < 0) return;
    (void)::ioctl(fd_, TIOCNXCL);
    (void)::close(fd_);  // releases the flock lock too
    fd_ = -1;
}

}  // namespace rv
