#include "serial/win32/Win32SerialDevice.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>


namespace rv {

Win32SerialDevice::~Win32SerialDevice() {
    Close();
}

bool Win32SerialDevice::Open(const std::string& path) {
    Close();
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = h;
    // A read returns after about 1 ms with whatever the device holds. A write waits until all
    // bytes are queued, but at most 2 s: a line held back by flow control then ends the write
    // short (the send reports false) instead of freezing the window for good. A refused time-out
    // leaves the device open as it is.
    COMMTIMEOUTS timeouts;
    timeouts.ReadIntervalTimeout = 1;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 1;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 2000;
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
    return stateOk && queuesOk;
}

std::int32_t Win32SerialDevice::Read(std::uint8_t* buffer, std::int32_t capacity) {
    if (handle_ == nullptr) return -1;
    if (capacity <= 0) return 0;
    DWORD got = 0;
    if (!::ReadFile(handle_, buffer, static_cast<DWORD>(capacity), &got, nullptr)) return -1;
    return static_cast<std::int32_t>(got);
}

std::int32_t Win32SerialDevice::Write(const std::uint8_t* data, std::int32_t size) {
    if (handle_ == nullptr || size < 0) return -1;
    DWORD written = 0;
    if (!::WriteFile(handle_, data, static_cast<DWORD>(size), &written, nullptr)) return -1;
    return static_cast<std::int32_t>(written);
}

void Win32SerialDevice::Close() {
    if (handle_ == nullptr) return;
    ::CloseHandle(handle_);
    handle_ = nullptr;
}

}  // namespace rv
