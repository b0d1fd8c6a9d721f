#pragma once
// The serial device on Windows: the Win32 communications API on "\\.\COM<n>".
// Open: CreateFileA (read and write, no sharing, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL), then
// the time-outs (read interval 1 ms, read total multiplier 0 and constant 1 ms, write
// total constant 2 s), so that a read returns after about 1 ms with what the device holds and a
// write never blocks the window for more than 2 s.
// Settings: a zero-filled DCB written with SetCommState, then SetupComm with the queue sizes.

#include "serial/SerialDevice.h"

namespace rv {

class Win32SerialDevice : public SerialDevice {
  public:
    Win32SerialDevice() = default;
    ~Win32SerialDevice() override;
    Win32SerialDevice(const Win32SerialDevice&) = delete;
    Win32SerialDevice& operator=(const Win32SerialDevice&) = delete;

    bool Open(const std::string& path) override;
    bool Apply(const SerialLineSettings& settings) override;
    std::int32_t Read(std::uint8_t* buffer, std::int32_t capacity) override;
    std::int32_t Write(const std::uint8_t* data, std::int32_t size) override;
    void Close() override;

  private:
    void* handle_ = nullptr;  // HANDLE; nullptr when closed
};

}  // namespace rv
