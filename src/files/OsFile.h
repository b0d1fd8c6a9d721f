#pragma once
// A file opened through the operating system itself (not a C stream), for the writers that must
// know when their bytes are on the disk: the whole-file writer and the session journal. Paths are
// std::filesystem paths; errors come back as the system's own text.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "files/FileErrors.h"

namespace rv {

// The system's text for an error number of the C library (errno).
std::string SystemErrorText(int error);

class OsFile {
  public:
    OsFile() = default;
    ~OsFile();
    OsFile(OsFile&& other) noexcept;
    OsFile& operator=(OsFile&& other) noexcept;
    OsFile(const OsFile&) = delete;
    OsFile& operator=(const OsFile&) = delete;

    // Creates `path`, which must not exist yet, for writing. Nothing on success, else the
    // system's error text; `exists` is set when the failure is that the name is already taken.
    std::optional<std::string> CreateNew(const std::filesystem::path& path, bool* exists = nullptr);
    // Opens `path` for appending, creating it when it is missing.
    std::optional<std::string> OpenAppend(const std::filesystem::path& path);

    bool IsOpen() const { return fd_ >= 0; }
    // The kind of the last failure a call reported (Other before any).
    FileErrorKind LastErrorKind() const { return FileErrorKindOfErrno(lastError_); }
    // Writes all the bytes (a short write is retried; a full disk is an error).
    std::optional<std::string> Write(std::string_view bytes);
    // Asks the system to put everything written so far on the disk and waits for it.
    std::optional<std::string> Sync();
    // Closes the file; an error here can mean bytes that never reached the disk.
    std::optional<std::string> Close();

  private:
    // Opens for writing, created when missing: appending to what is there, or only as a new file
    // (`exists` tells whether the name was taken).
    std::optional<std::string> OpenForWriting(const std::filesystem::path& path, bool append,
                                              bool* exists);
    // Keeps the error number for LastErrorKind and returns the system's text of it.
    std::string Failed(int error);

    int fd_ = -1;
    int lastError_ = 0;
};

// Renames `from` over `to`, replacing a file of that name in one step (the disk holds either the
// old or the new file, never a mix). Nothing on success, else the system's error text (and, when
// `kind` is given, the failure's kind there).
std::optional<std::string> RenameOver(const std::filesystem::path& from,
                                      const std::filesystem::path& to,
                                      FileErrorKind* kind = nullptr);

// Makes a finished rename in `folder` durable (its directory entry on the disk); best effort.
void SyncFolder(const std::filesystem::path& folder);

}  // namespace rv
