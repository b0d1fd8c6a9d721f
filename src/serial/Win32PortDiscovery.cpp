// Port discovery on Windows: the MS-DOS device names that QueryDosDeviceA lists.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <stdexcept>
#include <string>

#include "serial/PortList.h"

namespace rv {

namespace {

// The system's message text of an error code, without trailing blanks, line ends and full stops.
std::string SystemErrorText(DWORD code) {
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message;
    if (length != 0 && text != nullptr) message.assign(text, length);
    if (text != nullptr) ::LocalFree(text);
    while (!message.empty() &&
           (static_cast<unsigned char>(message.back()) <= ' ' || message.back() == '.'))
        message.pop_back();
    if (message.empty()) message = "System error " + std::to_string(code);
    return message;
}

}  // namespace

std::string ReadPortList() {
    constexpr DWORD kLargestSize = 64u * 1024u * 1024u;
    DWORD size = 5120;
    std::string buffer;
    for (;;) {
        buffer.assign(size, '\0');
        ::SetLastError(0);
        DWORD count = ::QueryDosDeviceA(nullptr, buffer.data(), size);
        const DWORD error = ::GetLastError();
        if (count != 0 && error == ERROR_INSUFFICIENT_BUFFER) {
            // A truncated list: grow to the reported count, and at least by 1024, so the loop
            // always makes progress.
            size = count > size ? count : size + 1024;
            count = 0;
        } else if (count == 0 && error == ERROR_INSUFFICIENT_BUFFER) {
            size += 1024;
        }
        if (error != 0 && error != ERROR_INSUFFICIENT_BUFFER)
            throw std::runtime_error(SystemErrorText(error));
        if (count != 0) {
            buffer.resize(count);
            return buffer;
        }
        if (error == 0) return std::string(1, '\0');  // nothing listed and nothing wrong
        if (size > kLargestSize)
            throw std::runtime_error(SystemErrorText(ERROR_INSUFFICIENT_BUFFER));
    }
}

}  // namespace rv
