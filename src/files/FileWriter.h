#pragma once
// Writing a whole file the technician asked for (a saved traffic log, a calibration table, a kept
// calibration state): the bytes exactly as given, and an error text the window can show when the
// file cannot be made.
//
// The file is never half-written: the bytes go to a temporary file in the same folder, are put on
// the disk, and only then is the temporary file renamed over the target. A failure at any step
// (a full disk, a read-only folder) removes the temporary file and leaves any earlier file of that
// name exactly as it was. Only a regular file (or a name not yet taken) is saved over: a named
// pipe, a device, a socket or a folder there is refused at once, before anything is written.

#include <optional>
#include <string>

#include "files/FileErrors.h"

namespace rv {

// The real file write: creates or replaces `path` (UTF-8). Nothing on success, else the failure's
// kind and the system's text, also when the file was created but the bytes could not all be
// written, put on the disk or renamed into place. A target that is not a regular file is refused
// before anything is made, its reason saying what it is ("Это именованный канал, а сохранить можно
// только в обычный файл.").
std::optional<FileFailure> WriteWholeFile(const std::string& path, const std::string& bytes);

// The same write, its failure told as "Cannot create file "<path>". <system error text>".
std::optional<std::string> WriteFileBytes(const std::string& path, const std::string& bytes);
std::string CannotCreateFileText(const std::string& path, const FileFailure& failure);

// The prefix of the temporary files WriteFileBytes makes beside its target (left behind only when
// the console itself is killed in the middle of a write).
inline constexpr const char* kTemporaryFilePrefix = ".rvtmp-";

}  // namespace rv
