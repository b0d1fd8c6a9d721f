#include "files/FileWriter.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace rv {
namespace {

std::string SystemErrorText(int error) {
    return std::generic_category().message(error);
}

}  // namespace

std::optional<std::string> WriteFileBytes(const std::string& path, const std::string& bytes) {
    const std::filesystem::path p(std::u8string(path.begin(), path.end()));
    errno = 0;
#ifdef _WIN32
    std::FILE* f = _wfopen(p.c_str(), L"wb");
#else
    std::FILE* f = std::fopen(p.c_str(), "wb");
#endif
    if (!f) {
        const int error = errno ? errno : EIO;
        return "Cannot create file \"" + path + "\". " + SystemErrorText(error);
    }
    errno = 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    int error = written ? 0 : (errno ? errno : EIO);
    errno = 0;
    if (std::fclose(f) != 0 && error == 0) error = errno ? errno : EIO;
    // Bytes that could not all be written (a full disk) are a failed creation for the technician.
    if (error != 0) return "Cannot create file \"" + path + "\". " + SystemErrorText(error);
    return std::nullopt;
}

}  // namespace rv
