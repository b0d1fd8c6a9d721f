#include "calibration/TableExport.h"

#include <algorithm>

#include "calibration/TableImport.h"
#include "text/Cp1251.h"
#include "text/FileNames.h"
#include "text/Formats.h"

namespace rv {
namespace {

constexpr int kTableWidth = 39;
constexpr int kNoWidth = 6;
constexpr int kCellWidth = 11;
const char* const kLineEnd = "\r\n";

std::string RowLine(std::string_view no, std::string_view time, std::string_view value,
                    std::string_view level) {
    return DatToStr(no, kNoWidth) + DatToStr(time, kCellWidth) + DatToStr(value, kCellWidth) +
           DatToStr(level, kCellWidth);
}

}  // namespace

std::string DatToStr(std::string_view s, int w) {
    const int len = static_cast<int>(s.size());
    std::string out;
    if (w > len) {
        const int left = (w - len) / 2;
        const int right = w - len - left - 1;
        out.append(static_cast<std::size_t>(left), ' ');
        out.append(s);
        out.append(static_cast<std::size_t>(right), ' ');
    } else if (w > 1) {
        out.append(s.substr(0, static_cast<std::size_t>(w - 1)));
    }
    out += '|';
    return out;
}

std::string TarTableText(const TarTableData& data) {
    static const std::string kUnitId = W("ID устройства: ");
    static const std::string kDateTime = W("Дата и время: ");
    static const std::string kSensor = W("Датчик: ");
    static const std::string kTitles = RowLine("\xB9", W("Время"), W("Значение"), W("Уровень"));
    static const std::string kComment = W("Комментарии: ");
    const std::string rule(kTableWidth, '-');

    std::string out;
    auto line = [&out](std::string_view text) {
        out.append(text);
        out.append(kLineEnd);
    };
    line(kUnitId + data.unitId);
    line(kDateTime + data.dateTimeText);
    line("");
    line(rule);
    line(DatToStr(kSensor + data.sourceName, kTableWidth));
    line(rule);
    line(kTitles);
    line(rule);
    if (data.rows) {
        for (const TarRow& row : *data.rows) {
            if (row.visible) line(RowLine(row.number, row.time, row.value, row.level));
        }
    }
    line(rule);
    line("");
    line(kComment + data.comment);
    return out;
}

std::string DefaultTarFileName(std::string_view unitId, std::string_view sourceName,
                               const LocalDateTime& now) {
    std::string raw;
    raw.append(unitId).append("_").append(sourceName).append("_");
    raw.append(FormatDateTime(now, "dd-MM-yy")).append(".txt");
    raw.erase(std::remove(raw.begin(), raw.end(), ' '), raw.end());
    return FileNameSafe(raw);
}

SaveTxtResult SaveTXT(const TarTableData& data, const LocalDateTime& now,
                      const std::string& exePath, TarExportTarget& target,
                      const std::vector<std::string>& warnings, char decimalSeparator) {
    const std::string name = DefaultTarFileName(data.unitId, data.sourceName, now);
    const std::optional<TarSaveChoice> choice = target.AskSavePathType(name, exePath, warnings);
    if (!choice) return {TarExportStatus::Cancelled, {}};
    const std::string bytes =
        choice->type == TarFileType::Csv ? TarCsvText(data, decimalSeparator) : TarTableText(data);
    if (auto error = target.WriteFile(choice->path, bytes))
        return {TarExportStatus::Failed, *error};
    return {TarExportStatus::Written, {}};
}

}  // namespace rv
