#pragma once
// Why a file the technician asked for could not be written, in their own terms: the common system
// errors (no such folder, access denied, disk full, file in use) get a Russian wording; the
// system's own text stays beside it as a detail.

#include <string>

namespace rv {

enum class FileErrorKind { NoFolder, AccessDenied, DiskFull, FileInUse, Other };

// A failed file write: its kind and the system's own text.
struct FileFailure {
    FileErrorKind kind = FileErrorKind::Other;
    std::string systemText;
};

// The kind of an error number of the C library (errno).
FileErrorKind FileErrorKindOfErrno(int error);
// The kind of a Windows system error code (GetLastError), given as its number.
FileErrorKind FileErrorKindOfWindowsCode(unsigned long code);

// The message (UTF-8) for a file that could not be written to `path` (UTF-8): "Не удалось
// записать файл "<path>": " and the kind's wording; for another kind, the sentence alone.
std::string FileNotWrittenText(const std::string& path, FileErrorKind kind);

}  // namespace rv
