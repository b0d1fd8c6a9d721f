#include "app/LogSave.h"

#include "files/FileWriter.h"
#include "text/FileNames.h"
#include "text/Formats.h"

namespace rv {

std::string LogDateTimeText(const LocalDateTime& now, const RegionalFormats& formats) {
    std::string text = ShortDateText(now, formats) + "-" + LongTimeText(now, formats);
    for (char& c : text) {
        if (c < '0' || c > '9') c = '-';
    }
    return text;
}

std::string ProposedLogFileName(std::string_view unitId, std::string_view imei,
                                const LocalDateTime& now, const RegionalFormats& formats) {
    return FileNameSafe(unitId) + "-" + FileNameSafe(imei) + "-" + LogDateTimeText(now, formats) +
           ".log";
}

std::optional<FileFailure> SaveLogFile(const std::string& path, const LogStore& log) {
    return WriteWholeFile(path, log.FileText());
}

}  // namespace rv
