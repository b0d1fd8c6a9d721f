// Exact line speeds without a Bxxx constant. Linux takes them through termios2 with BOTHER; its
// kernel header clashes with <termios.h>, so this lives in a file of its own.

#include <cstdint>

#include "serial/posix/PosixSerialDevice.h"

#if defined(__linux__)
#include <asm/ioctls.h>
#include <asm/termbits.h>

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept;
#endif

namespace rv {

bool PosixSetCustomSpeed(int fd, std::uint32_t bitsPerSecond) {
#if defined(__linux__) && defined(BOTHER) && defined(TCGETS2)
    struct termios2 tio;
    if (ioctl(fd, TCGETS2, &tio) != 0) return false;
    tio.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    tio.c_ispeed = bitsPerSecond;
    tio.c_ospeed = bitsPerSecond;
    return ioctl(fd, TCSETS2, &tio) == 0;
#else
    (void)fd;
    (void)bitsPerSecond;
    return false;
#endif
}

}  // namespace rv
