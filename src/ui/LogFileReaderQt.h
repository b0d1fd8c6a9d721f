#pragma once
// Opens a saved traffic log without freezing the window: the file is read and indexed on a worker
// thread while the window keeps drawing and the port keeps receiving. A large file shows a progress
// dialog (modal, so the technician cannot start anything else meanwhile).

#include <QString>
#include <filesystem>
#include <string>
#include <variant>

#include "app/LogFile.h"

class QWidget;

namespace rv {

// The log at `path`, or the reason it cannot be played (UTF-8), as ReadLogFile gives them.
// Returns once the worker is done; `parent` owns the progress dialog while it is shown.
std::variant<LogFile, std::string> ReadLogFileWithProgress(const std::filesystem::path& path,
                                                           const QString& title, QWidget* parent);

}  // namespace rv
