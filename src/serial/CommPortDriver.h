#pragma once
// TCommPortDriver: the console's only link to the unit. It opens one COM device, writes the line
// settings, starts its tick source with its own poll, reads the device on every tick, cuts the
// incoming bytes into blocks that end with the terminator byte and raises OnReceiveData once per
// block; sending is one synchronous write. No thread of its own: ticks, handler and callers all run
// on the UI thread. Failures are return values, with two exceptions the console must hear of: why
// the last open failed (LastOpenFailure), and a device that went away while open (OnLinkLost).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "serial/SerialDevice.h"
#include "serial/TickSource.h"

namespace rv {

// Line speeds; the ordinals are fixed (br9600 is 6, br115200 is 12).
enum TPortBaudRate : std::uint8_t {
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200
};

// Stop bits; the ordinal is the device's stop-bit code.
enum TPortStopBits : std::uint8_t { sb1BITS, sb1HALFBITS, sb2BITS };

// Parity; the ordinal is the device's parity code.
enum TPortParity : std::uint8_t { ptNONE, ptODD, ptEVEN, ptMARK, ptSPACE };

enum TPortHwHandshaking : std::uint8_t { hhNONE, hhRTSCTS };

enum TPortSwHandshaking : std::uint8_t { shNONE, shXONXOFF };

// The line speed of a TPortBaudRate in bit/s (9600 for a value outside the enumeration).
std::uint32_t BaudRateBitsPerSecond(TPortBaudRate rate);

class TCommPortDriver;

// OnReceiveData(Sender, DataPtr, DataSize): one block, terminator included; the bytes are valid
// only during the call.
using TPortReceiveDataEvent =
    std::function<void(TCommPortDriver& sender, const std::uint8_t* data, std::int32_t size)>;

// OnLinkLost(Sender, Why): the open device went away (adapter pulled, far end closed). The driver
// has already closed the port, stopped its ticks and dropped the pending bytes of the dead link.
using TPortLinkLostEvent = std::function<void(TCommPortDriver& sender, const SerialFailure& why)>;

// Maps a port number to the device path to open (empty: no such device).
using PortPathResolver = std::function<std::string(int port)>;

class TCommPortDriver {
  public:
    // `ticks` must outlive the driver; the driver starts it with its own PollReceive. `resolvePath`
    // maps the port number to the device path; by default the platform's DevicePathOfPort.
    TCommPortDriver(std::unique_ptr<SerialDevice> device, TickSource& ticks,
                    PortPathResolver resolvePath = {});
    ~TCommPortDriver();
    TCommPortDriver(const TCommPortDriver&) = delete;
    TCommPortDriver& operator=(const TCommPortDriver&) = delete;

    // Port 1..99 (new driver: 2). Ignored while open; below 1 becomes 1, above 99 becomes 99.
    int Port() const { return port_; }
    void SetPort(int port);

    // Line speed (new driver: br9600); re-applied at once while open.
    TPortBaudRate PortSpeed() const { return speed_; }
    void SetPortSpeed(TPortBaudRate speed);

    // Data bits 5..8 (new driver: 8); clamped; re-applied while open.
    int PortDataBits() const { return dataBits_; }
    void SetPortDataBits(int bits);

    TPortStopBits PortStopBits() const { return stopBits_; }
    void SetPortStopBits(TPortStopBits stopBits);

    TPortParity PortParity() const { return parity_; }
    void SetPortParity(TPortParity parity);

    TPortHwHandshaking PortHwHandshaking() const { return hwHandshaking_; }
    void SetPortHwHandshaking(TPortHwHandshaking handshaking);

    TPortSwHandshaking PortSwHandshaking() const { return swHandshaking_; }
    void SetPortSwHandshaking(TPortSwHandshaking handshaking);

    // Size of the receive buffer and the device's input queue (new driver: 2048). A change
    // allocates a new receive buffer and drops the pending bytes; re-applied while open.
    std::uint16_t PortInBufSize() const { return inBufSize_; }
    void SetPortInBufSize(std::uint16_t size);

    // Size of the device's output queue (new driver: 2048); re-applied while open.
    std::uint16_t PortOutBufSize() const { return outBufSize_; }
    void SetPortOutBufSize(std::uint16_t size);

    // Tick period in ms (new driver: 0, which the tick source takes as 10 ms). A change while
    // open restarts the ticks with the new period.
    std::uint16_t PortPollingDelay() const { return pollingDelay_; }
    void SetPortPollingDelay(std::uint16_t delayMs);

    // The receive event. Assigned during a tick, the new handler takes over after that tick.
    const TPortReceiveDataEvent& OnReceiveData() const { return onReceiveData_; }
    void SetOnReceiveData(TPortReceiveDataEvent handler);

    // The loss event; none by default (a lost port then just reads as closed).
    void SetOnLinkLost(TPortLinkLostEvent handler) { onLinkLost_ = std::move(handler); }

    // Terminator byte 0..255, or -1 for raw mode (new driver: -1). Negative values become -1,
    // values above 255 become 255; pending bytes are kept.
    std::int32_t EndByte() const { return endByte_; }
    void SetEndByte(std::int32_t endByte);

    // Opens the device of Port, writes the settings and starts the ticks. True if the port is
    // open afterwards; on an open port returns true at once and changes nothing.
    bool OpenPort();
    // Why the last OpenPort failed (Missing when the port has no device path); None after a
    // successful one.
    const SerialFailure& LastOpenFailure() const { return openFailure_; }
    // Closes the device and stops the ticks; the pending bytes stay. Never fails.
    void ClosePort();
    bool IsOpen() const { return handle_ == Handle::Valid; }
    // Writes the line settings and queue sizes to the open device; nothing when closed.
    void ApplyPortSettings();

    // One synchronous write of `count` bytes; true only if exactly `count` bytes were written.
    // False on a closed port and for a negative count. A device that does not take the bytes is
    // given the device's write time-out (about 100 ms), never more. A write that finds the device
    // gone loses the link (OnLinkLost) and returns false.
    bool SendBytes(const std::uint8_t* data, std::int32_t count);
    // Sends the bytes of an 8-bit text as they are (no terminating zero, no conversion).
    bool SendText(std::string_view text);

    // The work of every tick (the driver hands it to its tick source; tests and tools may call it
    // directly): reads what the device holds and raises OnReceiveData per block. Does
    // nothing while closed and returns at once when called from inside a tick.
    void PollReceive();

    // Bytes received but not yet delivered (terminator mode).
    std::uint16_t PendingCount() const { return pending_; }
    // Forgets the pending bytes: a half line of one unit must not lead the first line of another.
    void DropPending() { pending_ = 0; }
    // The settings ApplyPortSettings writes.
    SerialLineSettings LineSettings() const;

  private:
    enum class Handle { None, Invalid, Valid };

    void Deliver(std::int32_t size);
    // The device went away: close as ClosePort does, drop the pending bytes, tell the owner.
    void LoseLink();
    void ReapplyIfOpen();
    // Starts the ticks with the polling delay and this driver's PollReceive as the tick's work.
    void StartTicks();

    std::unique_ptr<SerialDevice> device_;
    TickSource& ticks_;
    PortPathResolver resolvePath_;

    int port_ = 2;
    TPortBaudRate speed_ = br9600;
    int dataBits_ = 8;
    TPortStopBits stopBits_ = sb1BITS;
    TPortParity parity_ = ptNONE;
    TPortHwHandshaking hwHandshaking_ = hhNONE;
    TPortSwHandshaking swHandshaking_ = shNONE;
    std::uint16_t inBufSize_ = 2048;
    std::uint16_t outBufSize_ = 2048;
    std::uint16_t pollingDelay_ = 0;
    TPortReceiveDataEvent onReceiveData_;
    TPortLinkLostEvent onLinkLost_;
    std::int32_t endByte_ = -1;
    SerialFailure openFailure_;

    Handle handle_ = Handle::None;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::uint16_t pending_ = 0;
    std::uint32_t bufferGeneration_ = 0;  // grows with every new receive buffer

    bool inTick_ = false;
    bool handlerChangeDeferred_ = false;
    TPortReceiveDataEvent deferredHandler_;
};

}  // namespace rv
