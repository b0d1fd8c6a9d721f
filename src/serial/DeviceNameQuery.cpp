#include "serial/DeviceNameQuery.h"

#include <stdexcept>

namespace rv {

std::string ReadGrowingDeviceList(const DeviceNameQueryFn& query, const ErrorTextFn& errorText) {
    constexpr std::uint32_t kLargestSize = 1024u * 1024u;  // real lists are tens of KiB
    std::uint32_t size = 5120;
    std::string buffer;
    for (;;) {
        buffer.assign(size, '\0');
        DeviceNameCall call = query(buffer.data(), size);
        if (call.count > size) call.count = size;  // never trust a count beyond the buffer
        if (call.count != 0 && call.error == kErrorInsufficientBuffer) {
            // A truncated list: grow to the reported count, and at least by 1024.
            size = call.count > size ? call.count : size + 1024;
            call.count = 0;
        } else if (call.count == 0 && call.error == kErrorInsufficientBuffer) {
            size += 1024;
        }
        if (call.error != 0 && call.error != kErrorInsufficientBuffer)
            throw std::runtime_error(errorText(call.error));
        if (call.count != 0) {
            buffer.resize(call.count);
            return buffer;
        }
        if (call.error == 0) return std::string(1, '\0');  // nothing listed and nothing wrong
        if (size > kLargestSize) throw std::runtime_error(errorText(kErrorInsufficientBuffer));
    }
}

}  // namespace rv
