#pragma once
// The serial device on Windows: the Win32 communications API on "\\.\COM<n>".
// Open: CreateFileA (read and write, no sharing, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL), refused
// unless it is a character device that answers GetCommState; the port's state and time-outs as
// found are saved and written back at close. Then the time-outs (read interval 1 ms, read total
// multiplier 0 and constant 1 ms, write total constant the write time-out), so that a read
// returns after about 1 ms with what the device holds and a write never blocks the window for
// longer than the write time-out.
// Settings: a zero-filled DCB written with SetCommState, then SetupComm with the queue sizes; the
// write time-out then grows by the time each byte takes on the line at the new speed.
// A removed USB adapter makes ReadFile / ClearCommError fail with one of the errors
// Win32ErrorMeansDeviceLost knows: reported as kSerialDeviceLost.

#include <memory>
#include <string>

#include "serial/SerialDevice.h"

namespace rv {

class Win32SerialDevice : public SerialDevice {
  public:
    explicit Win32SerialDevice(int writeTimeoutMs = kDefaultWriteTimeoutMs);
    ~Win32SerialDevice() override;
    Win32SerialDevice(const Win32SerialDevice&) = delete;
    Win32SerialDevice& operator=(const Win32SerialDevice&) = delete;

    bool Open(const std::string& path) override;
    bool Apply(const SerialLineSettings& settings) override;
    std::int32_t Read(std::uint8_t* buffer, std::int32_t capacity) override;
    std::int32_t Write(const std::uint8_t* data, std::int32_t size) override;
    void Close() override;
    SerialFailure LastFailure() const override { return failure_; }

  private:
    struct SavedState;
    std::int32_t FailedCall(unsigned long error);

    void* handle_ = nullptr;  // HANDLE; nullptr when closed
    int writeTimeoutMs_;
    std::unique_ptr<SavedState> saved_;  // the port's state and time-outs as found
    SerialFailure failure_;
};

// The system's message text of a Win32 error code, without trailing blanks, line ends and full
// stops (defined in Win32Platform.cpp).
std::string Win32ErrorText(unsigned long code);

}  // namespace rv
