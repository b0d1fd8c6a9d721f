#pragma once
// The serial device on POSIX: a tty opened with O_NOCTTY | O_NONBLOCK, held exclusively
// (TIOCEXCL plus an flock lock, so a second open by this or another process fails), in raw 8-bit
// mode with the driver's line settings.
//
// Only a terminal that may be a port is opened (see PosixPortAdmission.h), and not while another
// program holds it open. The terminal's own settings are saved at open and written back at close,
// so that a terminal is left as it was found.
//
// Mapping of the settings onto termios:
// - speed: the Bxxx constant of the speed; 14400 and 56000 bit/s have none and are set exactly
//   through termios2/BOTHER on Linux (elsewhere the nearest standard speed, 19200 / 57600);
// - data bits 5..8 (CS5..CS8); parity none/odd/even, mark and space through CMSPAR where the
//   system has it (else no parity); no input parity checking;
// - stop bits: code 0 -> 1 stop bit, codes 1 (1.5) and 2 -> CSTOPB (POSIX has no 1.5);
// - RTS/CTS -> CRTSCTS; XON/XOFF -> IXON | IXOFF with VSTART = DC1 and VSTOP = DC3;
// - DTR is raised; RTS is held low unless RTS/CTS flow control drives it (errors of these
//   modem-line calls are ignored: pseudo-terminals do not have the lines);
// - queue sizes and the XON/XOFF limits have no POSIX equivalent (the kernel's own are used).
// Reads return at once with what is there; a hang-up, an I/O error or the device node gone is
// reported as kSerialDeviceLost. A write waits for room in the output queue at most the write
// time-out in total and then reports the bytes it got out.

#include <chrono>
#include <memory>

#include "serial/SerialDevice.h"

struct termios;

namespace rv {

class PosixSerialDevice : public SerialDevice {
  public:
    // `procRoot`: the /proc tree in which other holders of a device are looked for.
    explicit PosixSerialDevice(int writeTimeoutMs = kDefaultWriteTimeoutMs,
                               std::string procRoot = "/proc");
    ~PosixSerialDevice() override;
    PosixSerialDevice(const PosixSerialDevice&) = delete;
    PosixSerialDevice& operator=(const PosixSerialDevice&) = delete;

    bool Open(const std::string& path) override;
    bool Apply(const SerialLineSettings& settings) override;
    std::int32_t Read(std::uint8_t* buffer, std::int32_t capacity) override;
    std::int32_t Write(const std::uint8_t* data, std::int32_t size) override;
    void Close() override;
    SerialFailure LastFailure() const override { return failure_; }

    // The open file descriptor, -1 when closed.
    int Descriptor() const { return fd_; }

  private:
    std::int32_t Lost(std::string why);
    bool NodeGone() const;

    int fd_ = -1;
    int writeTimeoutMs_;
    std::string procRoot_;
    std::string nodePath_;                   // the device node itself (links resolved)
    unsigned long long nodeDevice_ = 0;      // its device number
    // When a silent read last looked for the node: a path lookup on every 10-ms tick of a silent
    // link cost more than the rest of the tick, so the node is looked for every 100 ms.
    std::chrono::steady_clock::time_point nodeCheckedAt_{};
    std::unique_ptr<struct termios> saved_;  // the terminal's settings as found
    SerialFailure failure_;
};

// Writes the line settings into a termios structure (raw mode, no waiting reads). Pseudo-terminals
// keep only part of it (Linux forces 8 data bits and no parity on them).
void PosixLineSettingsToTermios(const SerialLineSettings& settings, struct termios& tio);

// Sets an exact line speed without a Bxxx constant (Linux termios2/BOTHER). False when the system
// cannot do it.
bool PosixSetCustomSpeed(int fd, std::uint32_t bitsPerSecond);

}  // namespace rv
