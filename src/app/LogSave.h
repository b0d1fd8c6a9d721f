#pragma once
// Saving the traffic log: the proposed file name and the file's bytes.

#include <optional>
#include <string>
#include <string_view>

#include "app/LogStore.h"
#include "files/FileErrors.h"
#include "text/RegionalFormats.h"

namespace rv {

// Short date, "-", long time of the user's formats, every character that is not a digit 0..9
// replaced by "-" (07.12.2026 and 9:05:07 give 07-12-2026-9-05-07).
std::string LogDateTimeText(const LocalDateTime& now, const RegionalFormats& formats);

// Unit ID + "-" + modem IMEI + "-" + date-time text + ".log" (Windows-1251). The ID and the IMEI
// come from the unit: characters that cannot stand in a file name become "-".
std::string ProposedLogFileName(std::string_view unitId, std::string_view imei,
                                const LocalDateTime& now, const RegionalFormats& formats);

// Writes the whole log (every line followed by CR LF, then one more CR LF) to `path` (UTF-8),
// replacing any file of that name. Nothing on success, else why the file could not be written.
std::optional<FileFailure> SaveLogFile(const std::string& path, const LogStore& log);

}  // namespace rv
