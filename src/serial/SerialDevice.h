#pragma once
// The serial device as the port driver sees it: open one device path for exclusive use, write the
// line settings, read whatever the device holds without waiting, write all bytes, close. The
// POSIX backend (termios) and the Win32 backend implement it; tests use a scripted device.
// A device that would not open, or that went away while open, keeps the reason (LastFailure).

#include <cstdint>
#include <memory>
#include <string>

#include "serial/SerialFailure.h"

namespace rv {

// What Read and Write return when the open device is gone (cable or adapter pulled, the far end
// of a pseudo-terminal closed): unlike "nothing there" it will not get better; the device stays
// open until closed, and LastFailure() says SerialFailureKind::Lost.
inline constexpr std::int32_t kSerialDeviceLost = -2;

// How long a write waits in total for room in the output queue before it gives up with the
// bytes it got out: short enough that a unit that does not read never freezes the window.
inline constexpr int kDefaultWriteTimeoutMs = 100;

// The line settings and queue sizes the driver writes to an open device, in the units and codes
// of the Win32 device control block.
struct SerialLineSettings {
    std::uint32_t baudRate = 9600;  // bit/s
    std::uint8_t dataBits = 8;      // 5..8
    std::uint8_t parity = 0;        // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t stopBits = 0;      // 0: 1 stop bit, 1: 1.5 stop bits, 2: 2 stop bits
    bool rtsCts = false;            // RTS/CTS flow control (CTS output flow, RTS handshake)
    bool xonXoff = false;           // XON/XOFF flow control in both directions
    std::uint8_t xonChar = 17;      // DC1
    std::uint8_t xoffChar = 19;     // DC3
    std::uint16_t xonLimit = 512;   // input queue fill below which XON is sent
    std::uint16_t xoffLimit = 1;    // free input queue space below which XOFF is sent
    std::uint16_t inQueueSize = 2048;
    std::uint16_t outQueueSize = 2048;

    bool operator==(const SerialLineSettings&) const = default;
};

class SerialDevice {
  public:
    virtual ~SerialDevice() = default;

    // Opens `path` for exclusive reading and writing. False when the device is absent, in use
    // or not accessible (LastFailure() says which); the device is closed afterwards then.
    virtual bool Open(const std::string& path) = 0;
    // Writes the line settings and queue sizes to the open device; false if the device refused
    // (part of) them. Does nothing and returns false when closed.
    virtual bool Apply(const SerialLineSettings& settings) = 0;
    // Reads at most `capacity` bytes that the device holds now, without waiting for more.
    // Returns the count read (0 when nothing is there), kSerialDeviceLost when the device is
    // gone, or -1 on another failure (also when closed).
    virtual std::int32_t Read(std::uint8_t* buffer, std::int32_t capacity) = 0;
    // Writes all `size` bytes. Returns the count written (less than `size` when the device did
    // not take them all in time), kSerialDeviceLost when the device is gone, or -1 on another
    // failure (also when closed).
    virtual std::int32_t Write(const std::uint8_t* data, std::int32_t size) = 0;
    // Closes the device; harmless when closed.
    virtual void Close() = 0;
    // Why the last Open failed, or why the open device was lost; None after a successful Open
    // until the device is lost.
    virtual SerialFailure LastFailure() const { return {}; }
};

}  // namespace rv
