#pragma once
// Opens a saved traffic log without freezing the window: the file is read and indexed on a worker
// thread while the window keeps drawing and the port keeps receiving. A large file shows a progress
// dialog (modal, so the technician cannot start anything else meanwhile).

#include <QString>
#include <chrono>
#include <filesystem>
#include <string>
#include <variant>

#include "app/LogFile.h"

class QWidget;

namespace rv {

// A file read faster than this never shows the progress dialog.
inline constexpr std::chrono::milliseconds kLogProgressAfter{400};

// The log at `path`, or the reason it cannot be played (UTF-8), as ReadLogFile gives them.
// Returns once the worker is done; `parent` owns the progress dialog while it is shown, from
// `showAfter` on (at once for 0) until the file is read.
std::variant<LogFile, std::string> ReadLogFileWithProgress(
    const std::filesystem::path& path, const QString& title, QWidget* parent,
    std::chrono::milliseconds showAfter = kLogProgressAfter);

}  // namespace rv
