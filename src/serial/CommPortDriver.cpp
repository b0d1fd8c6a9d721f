#include "serial/CommPortDriver.h"

#include <cstring>
#include <utility>

#include "serial/Platform.h"

namespace rv {

std::uint32_t BaudRateBitsPerSecond(TPortBaudRate rate) {
    static constexpr std::uint32_t kRates[] = {110,   300,   600,   1200,  2400,  4800,  9600,
                                               14400, 19200, 38400, 56000, 57600, 115200};
    const auto index = static_cast<std::size_t>(rate);
    return index < std::size(kRates) ? kRates[index] : 9600;
}

TCommPortDriver::TCommPortDriver(std::unique_ptr<SerialDevice> device, TickSource& ticks,
                                 PortPathResolver resolvePath)
    : device_(std::move(device)),
      ticks_(ticks),
      resolvePath_(resolvePath ? std::move(resolvePath) : PortPathResolver(DevicePathOfPort)),
      buffer_(new std::uint8_t[inBufSize_]) {}

TCommPortDriver::~TCommPortDriver() {
    ClosePort();
}

void TCommPortDriver::SetPort(int port) {
    if (IsOpen()) return;
    port_ = port < 1 ? 1 : (port > 99 ? 99 : port);
}

void TCommPortDriver::SetPortSpeed(TPortBaudRate speed) {
    speed_ = speed;
    ReapplyIfOpen();
}

void TCommPortDriver::SetPortDataBits(int bits) {
    dataBits_ = bits < 5 ? 5 : (bits > 8 ? 8 : bits);
    ReapplyIfOpen();
}

void TCommPortDriver::SetPortStopBits(TPortStopBits stopBits) {
    stopBits_ = stopBits;
    ReapplyIfOpen();
}

void TCommPortDriver::SetPortParity(TPortParity parity) {
    parity_ = parity;
    ReapplyIfOpen();
}

void TCommPortDriver::SetPortHwHandshaking(TPortHwHandshaking handshaking) {
    hwHandshaking_ = handshaking;
    ReapplyIfOpen();
}

void TCommPortDriver::SetPortSwHandshaking(TPortSwHandshaking handshaking) {
    swHandshaking_ = handshaking;
    ReapplyIfOpen();
}

void TCommPortDriver::SetPortInBufSize(std::uint16_t size) {
    buffer_.reset();
    inBufSize_ = size;
    // At least one byte is allocated so the buffer pointer is always valid; a size of 0 simply
    // receives nothing.
    buffer_.reset(new std::uint8_t[size > 0 ? size : 1]);
    ++bufferGeneration_;
    pending_ = 0;
    ReapplyIfOpen();
}

void TCommPortDriver::SetPortOutBufSize(std::uint16_t size) {
    outBufSize_ = size;
    ReapplyIfOpen();
}

void TCommPortDriver::SetPortPollingDelay(std::uint16_t delayMs) {
    if (delayMs == pollingDelay_) return;
    if (IsOpen()) ticks_.Stop();
    pollingDelay_ = delayMs;
    if (IsOpen()) StartTicks();
}

void TCommPortDriver::SetOnReceiveData(TPortReceiveDataEvent handler) {
    if (inTick_) {
        // The running handler may be the one being replaced; swap after the tick.
        deferredHandler_ = std::move(handler);
        handlerChangeDeferred_ = true;
        return;
    }
    onReceiveData_ = std::move(handler);
}

void TCommPortDriver::SetEndByte(std::int32_t endByte) {
    endByte_ = endByte < 0 ? -1 : (endByte > 255 ? 255 : endByte);
}

SerialLineSettings TCommPortDriver::LineSettings() const {
    SerialLineSettings s;
    s.baudRate = BaudRateBitsPerSecond(speed_);
    s.dataBits = static_cast<std::uint8_t>(dataBits_);
    s.parity = static_cast<std::uint8_t>(parity_);
    s.stopBits = static_cast<std::uint8_t>(stopBits_);
    s.rtsCts = hwHandshaking_ == hhRTSCTS;
    s.xonXoff = swHandshaking_ == shXONXOFF;
    s.xonChar = 17;
    s.xoffChar = 19;
    s.xonLimit = static_cast<std::uint16_t>(inBufSize_ >> 2);
    s.xoffLimit = 1;
    s.inQueueSize = inBufSize_;
    s.outQueueSize = outBufSize_;
    return s;
}

void TCommPortDriver::ReapplyIfOpen() {
    if (IsOpen()) ApplyPortSettings();
}

void TCommPortDriver::ApplyPortSettings() {
    if (!IsOpen()) return;
    device_->Apply(LineSettings());  // a refused setting leaves the port open as it is
}

bool TCommPortDriver::OpenPort() {
    if (IsOpen()) return true;
    const std::string path = resolvePath_(port_);
    if (path.empty() || !device_->Open(path)) {
        handle_ = Handle::Invalid;
        openFailure_ = path.empty() ? SerialFailure{SerialFailureKind::Missing, {}, {}}
                                    : device_->LastFailure();
        if (openFailure_.kind == SerialFailureKind::None)
            openFailure_.kind = SerialFailureKind::Other;
        return false;
    }
    openFailure_ = {};
    handle_ = Handle::Valid;
    ApplyPortSettings();
    StartTicks();
    return true;
}

void TCommPortDriver::StartTicks() {
    ticks_.Start(pollingDelay_, [this] { PollReceive(); });
}

void TCommPortDriver::ClosePort() {
    if (IsOpen()) {
        device_->Close();
        handle_ = Handle::None;
        ticks_.Stop();
        return;
    }
    handle_ = Handle::None;
}

void TCommPortDriver::LoseLink() {
    SerialFailure why = device_->LastFailure();
    if (why.kind == SerialFailureKind::None) why.kind = SerialFailureKind::Lost;
    device_->Close();
    handle_ = Handle::None;
    ticks_.Stop();
    // Whatever half line the dead link left is not the start of anything that will follow.
    pending_ = 0;
    if (onLinkLost_) onLinkLost_(*this, why);
}

bool TCommPortDriver::SendBytes(const std::uint8_t* data, std::int32_t count) {
    if (!IsOpen() || count < 0 || (count > 0 && data == nullptr)) return false;
    const std::int32_t written = device_->Write(data, count);
    if (written == kSerialDeviceLost) {
        LoseLink();
        return false;
    }
    return written == count;
}

bool TCommPortDriver::SendText(std::string_view text) {
    return SendBytes(reinterpret_cast<const std::uint8_t*>(text.data()),
                     static_cast<std::int32_t>(text.size()));
}

void TCommPortDriver::Deliver(std::int32_t size) {
    onReceiveData_(*this, buffer_.get(), size);
}

void TCommPortDriver::PollReceive() {
    if (inTick_) return;
    if (!IsOpen()) return;

    struct TickGuard {
        TCommPortDriver& d;
        explicit TickGuard(TCommPortDriver& driver) : d(driver) { d.inTick_ = true; }
        ~TickGuard() {
            d.inTick_ = false;
            if (d.handlerChangeDeferred_) {
                d.handlerChangeDeferred_ = false;
                d.onReceiveData_ = std::move(d.deferredHandler_);
                d.deferredHandler_ = nullptr;
            }
        }
    } guard(*this);

    const std::uint16_t size = inBufSize_;
    if (size == 0) return;
    const std::uint32_t generation = bufferGeneration_;

    if (pending_ >= size) {
        // Only reachable when a handler went away mid-stream with a full buffer; deliver it so
        // that the read below has room.
        if (!onReceiveData_) return;
        pending_ = 0;
        Deliver(size);
        if (generation != bufferGeneration_) return;
    }

    const std::int32_t got =
        device_->Read(buffer_.get() + pending_, static_cast<std::int32_t>(size - pending_));
    if (got == kSerialDeviceLost) {
        LoseLink();
        return;
    }
    if (got <= 0 || !onReceiveData_) return;

    if (endByte_ < 0) {
        // Raw mode: every read as it comes. Bytes still pending from terminator mode lead it.
        const std::int32_t total = pending_ + got;
        pending_ = 0;
        Deliver(total);
        return;
    }

    pending_ = static_cast<std::uint16_t>(pending_ + got);
    for (;;) {
        if (endByte_ < 0 || !onReceiveData_) return;  // changed by the handler: next tick
        const auto* start = buffer_.get();
        const void* hit = std::memchr(start, endByte_, pending_);
        if (hit == nullptr) break;
        const auto blockSize =
            static_cast<std::uint16_t>(static_cast<const std::uint8_t*>(hit) - start + 1);
        Deliver(blockSize);
        if (generation != bufferGeneration_) return;  // the handler replaced the buffer
        const std::uint16_t rest = static_cast<std::uint16_t>(pending_ - blockSize);
        std::memmove(buffer_.get(), buffer_.get() + blockSize, rest);
        pending_ = rest;
    }

    if (pending_ == size) {
        // A full buffer without a terminator goes out as one block, so reception neither stalls
        // nor overflows.
        pending_ = 0;
        Deliver(size);
    }
}

}  // namespace rv
