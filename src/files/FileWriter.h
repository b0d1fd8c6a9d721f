#pragma once
// Writing a whole file the technician asked for (a saved traffic log, a calibration table): the
// bytes exactly as given, and an error text the window can show when the file cannot be made.

#include <optional>
#include <string>

namespace rv {

// The real file write: creates or replaces `path` (UTF-8). On failure the text is
// "Cannot create file "<path>". <system error text>", also when the file was created but the
// bytes could not all be written and closed.
std::optional<std::string> WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace rv
