#include "files/OsFile.h"

#include <cerrno>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace rv {
namespace {

int LastError() {
    return errno ? errno : EIO;
}

}  // namespace

std::string SystemErrorText(int error) {
    return std::generic_category().message(error);
}

std::string OsFile::Failed(int error) {
    lastError_ = error;
    return SystemErrorText(error);
}

OsFile::~OsFile() {
    if (fd_ >= 0) Close();
}

OsFile::OsFile(OsFile&& other) noexcept : fd_(other.fd_), lastError_(other.lastError_) {
    other.fd_ = -1;
}

OsFile& OsFile::operator=(OsFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) Close();
        fd_ = other.fd_;
        lastError_ = other.lastError_;
        other.fd_ = -1;
    }
    return *this;
}

std::optional<std::string> OsFile::OpenForWriting(const std::filesystem::path& path, bool append,
                                                  bool* exists) {
    if (exists) *exists = false;
    if (fd_ >= 0) Close();
    errno = 0;
#ifdef _WIN32
    const int how = append ? _O_APPEND : _O_EXCL;
    fd_ = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | how | _O_BINARY | _O_NOINHERIT,
                 _S_IREAD | _S_IWRITE);
#else
    const int how = append ? O_APPEND : O_EXCL;
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | how | O_CLOEXEC, 0666);
#endif
    if (fd_ >= 0) return std::nullopt;
    const int error = LastError();
    if (exists) *exists = error == EEXIST;
    return Failed(error);
}

std::optional<std::string> OsFile::CreateNew(const std::filesystem::path& path, bool* exists) {
    return OpenForWriting(path, false, exists);
}

std::optional<std::string> OsFile::OpenAppend(const std::filesystem::path& path) {
    return OpenForWriting(path, true, nullptr);
}

std::optional<std::string> OsFile::Write(std::string_view bytes) {
    if (fd_ < 0) return Failed(EBADF);
    while (!bytes.empty()) {
        // Pieces of at most 1 MiB: the Windows call takes an unsigned int count.
        const std::size_t piece = bytes.size() < (1u << 20) ? bytes.size() : (1u << 20);
        errno = 0;
#ifdef _WIN32
        const int n = _write(fd_, bytes.data(), static_cast<unsigned>(piece));
#else
        const ssize_t n = ::write(fd_, bytes.data(), piece);
#endif
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Failed(LastError());
        if (n == 0) return Failed(ENOSPC);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return std::nullopt;
}

std::optional<std::string> OsFile::Sync() {
    if (fd_ < 0) return Failed(EBADF);
    errno = 0;
#ifdef _WIN32
    if (_commit(fd_) != 0) return Failed(LastError());
#else
    if (::fsync(fd_) != 0) return Failed(LastError());
#endif
    return std::nullopt;
}

std::optional<std::string> OsFile::Close() {
    if (fd_ < 0) return std::nullopt;
    const int fd = fd_;
    fd_ = -1;
    errno = 0;
#ifdef _WIN32
    if (_close(fd) != 0) return Failed(LastError());
#else
    // After close the descriptor is gone even when it reports EINTR: no retry.
    if (::close(fd) != 0) return Failed(LastError());
#endif
    return std::nullopt;
}

std::optional<std::string> RenameOver(const std::filesystem::path& from,
                                      const std::filesystem::path& to, FileErrorKind* kind) {
#ifdef _WIN32
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return std::nullopt;
    const DWORD error = GetLastError();
    if (kind) *kind = FileErrorKindOfWindowsCode(error);
    return std::system_category().message(static_cast<int>(error));
#else
    errno = 0;
    if (::rename(from.c_str(), to.c_str()) == 0) return std::nullopt;
    const int error = LastError();
    if (kind) *kind = FileErrorKindOfErrno(error);
    return SystemErrorText(error);
#endif
}

void SyncFolder(const std::filesystem::path& folder) {
#ifdef _WIN32
    (void)folder;  // MOVEFILE_WRITE_THROUGH already waited for the rename
#else
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
#endif
}

}  // namespace rv
