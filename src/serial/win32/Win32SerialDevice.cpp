#include "serial/win32/Win32SerialDevice.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace rv {

struct Win32SerialDevice::SavedState {
    DCB dcb;
    COMMTIMEOUTS timeouts;
    bool haveTimeouts;
};

Win32SerialDevice::Win32SerialDevice(int writeTimeoutMs) : writeTimeoutMs_(writeTimeoutMs) {}

Win32SerialDevice::~Win32SerialDevice() {
    Close();
}

bool Win32SerialDevice::Open(const std::string& path) {
    Close();
    failure_ = {};
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        failure_ = {Win32OpenErrorKind(error), {}, Win32ErrorText(error)};
        return false;
    }
    // Only a communications device: a character device that has a port state.
    auto saved = std::make_unique<SavedState>();
    ZeroMemory(&saved->dcb, sizeof saved->dcb);
    saved->dcb.DCBlength = sizeof(DCB);
    if (::GetFileType(h) != FILE_TYPE_CHAR || !::GetCommState(h, &saved->dcb)) {
        ::CloseHandle(h);
        failure_ = {SerialFailureKind::NotSerialDevice, {}, {}};
        return false;
    }
    saved->haveTimeouts = ::GetCommTimeouts(h, &saved->timeouts) != FALSE;
    handle_ = h;
    saved_ = std::move(saved);
    // A read returns after about 1 ms with whatever the device holds. A write waits until all
    // bytes are queued, but at most the write time-out: a line held back by flow control then
    // ends the write short (the send reports false) instead of freezing the window. A refused
    // time-out leaves the device open as it is.
    COMMTIMEOUTS timeouts;
    timeouts.ReadIntervalTimeout = 1;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 1;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = static_cast<DWORD>(writeTimeoutMs_);
    (void)::SetCommTimeouts(h, &timeouts);
    return true;
}

bool Win32SerialDevice::Apply(const SerialLineSettings& s) {
    if (handle_ == nullptr) return false;
    DCB dcb;
    ZeroMemory(&dcb, sizeof dcb);
    dcb.DCBlength = sizeof(DCB);  // 28
    dcb.BaudRate = s.baudRate;
    dcb.fBinary = 1;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    if (s.rtsCts) {
        dcb.fOutxCtsFlow = 1;
        dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    }
    if (s.xonXoff) {
        dcb.fOutX = 1;
        dcb.fInX = 1;
    }
    dcb.XonLim = s.xonLimit;
    dcb.XoffLim = s.xoffLimit;
    dcb.ByteSize = s.dataBits;
    dcb.Parity = s.parity;
    dcb.StopBits = s.stopBits;
    dcb.XonChar = static_cast<char>(s.xonChar);
    dcb.XoffChar = static_cast<char>(s.xoffChar);
    const bool stateOk = ::SetCommState(handle_, &dcb) != FALSE;
    const bool queuesOk = ::SetupComm(handle_, s.inQueueSize, s.outQueueSize) != FALSE;
    // A write here lasts until the bytes are on the line: the write time-out is on top of the
    // time a character takes at this speed (10 bits, rounded up to whole milliseconds).
    COMMTIMEOUTS timeouts;
    if (s.baudRate > 0 && ::GetCommTimeouts(handle_, &timeouts)) {
        timeouts.WriteTotalTimeoutMultiplier = (10000 + s.baudRate - 1) / s.baudRate;
        (void)::SetCommTimeouts(handle_, &timeouts);
    }
    return stateOk && queuesOk;
}

std::int32_t Win32SerialDevice::FailedCall(unsigned long error) {
    if (!Win32ErrorMeansDeviceLost(error)) return -1;
    failure_ = {SerialFailureKind::Lost, {}, Win32ErrorText(error)};
    return kSerialDeviceLost;
}

std::int32_t Win32SerialDevice::Read(std::uint8_t* buffer, std::int32_t capacity) {
    if (handle_ == nullptr) return -1;
    if (failure_.kind == SerialFailureKind::Lost) return kSerialDeviceLost;
    if (capacity <= 0) return 0;
    DWORD got = 0;
    if (!::ReadFile(handle_, buffer, static_cast<DWORD>(capacity), &got, nullptr))
        return FailedCall(::GetLastError());
    if (got > 0) return static_cast<std::int32_t>(got);
    // Some USB serial drivers answer reads of a removed adapter with "nothing there"; the port
    // status call fails for them.
    DWORD errors = 0;
    COMSTAT status;
    if (!::ClearCommError(handle_, &errors, &status)) return FailedCall(::GetLastError());
    return 0;
}

std::int32_t Win32SerialDevice::Write(const std::uint8_t* data, std::int32_t size) {
    if (handle_ == nullptr || size < 0) return -1;
    if (failure_.kind == SerialFailureKind::Lost) return kSerialDeviceLost;
    DWORD written = 0;
    if (!::WriteFile(handle_, data, static_cast<DWORD>(size), &written, nullptr))
        return FailedCall(::GetLastError());
    return static_cast<std::int32_t>(written);
}

void Win32SerialDevice::Close() {
    if (handle_ == nullptr) return;
    if (saved_) {
        (void)::SetCommState(handle_, &saved_->dcb);
        if (saved_->haveTimeouts) (void)::SetCommTimeouts(handle_, &saved_->timeouts);
    }
    saved_.reset();
    ::CloseHandle(handle_);
    handle_ = nullptr;
}

}  // namespace rv
