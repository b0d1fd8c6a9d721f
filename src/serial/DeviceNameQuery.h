#pragma once
// Reading the platform's NUL-separated device-name list with a buffer that grows until the list
// fits. Windows answers through QueryDosDeviceA and the thread's last-error code; the loop lives
// here, apart from the system call, so that it can be checked on every platform.

#include <cstdint>
#include <functional>
#include <string>

namespace rv {

// The Win32 error code of a buffer that is too small for the list.
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;

// One call of the query: the count of characters it stored (0 for a failure) and the last-error
// code read right after it (the caller clears the code before the call).
struct DeviceNameCall {
    std::uint32_t count = 0;
    std::uint32_t error = 0;
};

using DeviceNameQueryFn = std::function<DeviceNameCall(char* buffer, std::uint32_t size)>;
using ErrorTextFn = std::function<std::string(std::uint32_t error)>;

// Starts with 5120 characters. A call that reports a too-small buffer with a count grows the
// buffer to that count (at least by 1024, so the loop always moves on); without a count it grows
// by 1024. Any other error throws std::runtime_error with errorText(error). A call with a count and
// no error ends the loop: the list is cut to the count. A call that fails without an error code
// means an empty list. Beyond 1 MiB the too-small error is thrown instead of growing further.
std::string ReadGrowingDeviceList(const DeviceNameQueryFn& query, const ErrorTextFn& errorText);

}  // namespace rv
