#include "calibration/TableImport.h"

#include <algorithm>
#include <optional>

#include "text/Cp1251.h"

namespace rv {
namespace {

constexpr int kTableWidth = 39;
constexpr int kNoWidth = 6;
constexpr int kCellWidth = 11;
const char* const kCsvHeader = "ID устройства,Датчик,№,Время,Значение,Уровень,Комментарии";
constexpr std::size_t kCsvColumns = 7;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string CsvField(std::string_view text) {
    const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string Replaced(std::string text, char from, char to) {
    if (from != to) std::replace(text.begin(), text.end(), from, to);
    return text;
}

TarImportResult Refused(std::string text) {
    TarImportResult r;
    r.errorText = std::move(text);
    return r;
}

std::string LineNo(std::size_t index) {
    return "Строка " + std::to_string(index + 1) + ": ";
}

bool AllDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Trimmed(std::string_view s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = s.find_last_not_of(' ');
    return std::string(s.substr(first, last - first + 1));
}

// Checks a row's number and level; empty when the row is sound, else why not (UTF-8).
std::string RowFault(const TarRow& row, std::size_t expectedNumber) {
    if (row.number != std::to_string(expectedNumber))
        return "номер строки таблицы должен быть " + std::to_string(expectedNumber) + ".";
    if (row.value.empty()) return "нет показания датчика.";
    if (!AllDigits(row.level)) return "уровень должен состоять из одних цифр.";
    return {};
}

// ---- Text table ----

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// The cells of a fixed-width line: each of the given width, ending with "|", trimmed.
bool SplitCells(std::string_view line, std::initializer_list<int> widths,
                std::vector<std::string>& cells) {
    cells.clear();
    std::size_t at = 0;
    for (int w : widths) {
        const auto width = static_cast<std::size_t>(w);
        if (line.size() < at + width || line[at + width - 1] != '|') return false;
        cells.push_back(Trimmed(line.substr(at, width - 1)));
        at += width;
    }
    return at == line.size();
}

TarImportResult ParseTextTable(std::string_view text) {
    static const std::string kUnitId = W("ID устройства: ");
    static const std::string kDateTime = W("Дата и время: ");
    static const std::string kSensor = W("Датчик: ");
    static const std::string kComment = W("Комментарии: ");
    static const std::string kTitles =
        DatToStr("\xB9", kNoWidth) + DatToStr(W("Время"), kCellWidth) +
        DatToStr(W("Значение"), kCellWidth) + DatToStr(W("Уровень"), kCellWidth);
    const std::string rule(kTableWidth, '-');

    if (text.size() < 2 || text.substr(text.size() - 2) != "\r\n")
        return Refused("Таблица обрывается: последняя строка не закончена.");
    const std::vector<std::string_view> lines = SplitLines(text.substr(0, text.size() - 2));
    auto expect = [&](std::size_t i, bool ok, const char* what) -> std::optional<TarImportResult> {
        if (i < lines.size() && ok) return std::nullopt;
        return Refused(LineNo(i) + "ожидалась " + what + ".");
    };
    auto line = [&](std::size_t i) { return i < lines.size() ? lines[i] : std::string_view(); };

    TarImportResult r;
    if (auto e = expect(1, StartsWith(line(1), kDateTime), "строка «Дата и время:»")) return *e;
    if (auto e = expect(2, line(2).empty(), "пустая строка")) return *e;
    if (auto e = expect(3, line(3) == rule, "черта из дефисов")) return *e;
    std::vector<std::string> cells;
    const bool sensorOk =
        SplitCells(line(4), {kTableWidth}, cells) && StartsWith(cells[0], kSensor);
    if (auto e = expect(4, sensorOk, "строка «Датчик:»")) return *e;
    r.table.sourceName = cells[0].substr(kSensor.size());
    if (auto e = expect(5, line(5) == rule, "черта из дефисов")) return *e;
    if (auto e = expect(6, line(6) == kTitles, "строка заголовков столбцов")) return *e;
    if (auto e = expect(7, line(7) == rule, "черта из дефисов")) return *e;
    std::size_t i = 8;
    for (; i < lines.size() && lines[i] != rule; ++i) {
        if (!SplitCells(lines[i], {kNoWidth, kCellWidth, kCellWidth, kCellWidth}, cells))
            return Refused(LineNo(i) + "строка таблицы не разбирается на четыре столбца.");
        TarRow row{cells[0], cells[1], cells[2], cells[3], true};
        const std::string fault = RowFault(row, r.table.rows.size() + 1);
        if (!fault.empty()) return Refused(LineNo(i) + fault);
        r.table.rows.push_back(std::move(row));
    }
    if (auto e = expect(i, line(i) == rule, "черта из дефисов в конце таблицы")) return *e;
    if (auto e = expect(i + 1, line(i + 1).empty(), "пустая строка")) return *e;
    if (auto e = expect(i + 2, StartsWith(line(i + 2), kComment), "строка «Комментарии:»"))
        return *e;
    if (r.table.rows.empty()) return Refused("В таблице нет ни одной строки.");
    // The comment runs to the end of the file: it may hold line breaks of its own.
    const std::size_t commentAt = static_cast<std::size_t>(line(i + 2).data() - text.data());
    r.table.comment = std::string(
        text.substr(commentAt + kComment.size(), text.size() - 2 - commentAt - kComment.size()));
    r.table.unitId = std::string(line(0).substr(kUnitId.size()));
    r.ok = true;
    return r;
}

// ---- CSV ----

// RFC 4180 records; false when a quoted field is not closed or a quote stands inside a field.
bool SplitCsv(std::string_view text, std::vector<std::vector<std::string>>& records) {
    std::vector<std::string> record;
    std::string field;
    bool quoted = false;
    bool wasQuoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
            }
            continue;
        }
        if (c == '"') {
            if (!field.empty() || wasQuoted) return false;
            quoted = wasQuoted = true;
        } else if (c == ',') {
            record.push_back(std::move(field));
            field.clear();
            wasQuoted = false;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            record.push_back(std::move(field));
            records.push_back(std::move(record));
            record.clear();
            field.clear();
            wasQuoted = false;
        } else {
            if (wasQuoted) return false;
            field += c;
        }
    }
    if (quoted) return false;
    if (!field.empty() || !record.empty() || wasQuoted) {
        record.push_back(std::move(field));
        records.push_back(std::move(record));
    }
    return true;
}

TarImportResult ParseCsv(std::string_view text, char decimalSeparator) {
    std::vector<std::vector<std::string>> records;
    if (!SplitCsv(text, records)) return Refused("Файл CSV испорчен: кавычки в нём не парные.");
    if (records.size() < 2) return Refused("В таблице нет ни одной строки.");
    TarImportResult r;
    for (std::size_t i = 1; i < records.size(); ++i) {
        const std::vector<std::string>& f = records[i];
        if (f.size() != kCsvColumns)
            return Refused(LineNo(i) + "должно быть " + std::to_string(kCsvColumns) +
                           " полей через запятую, а их " + std::to_string(f.size()) + ".");
        std::vector<std::string> cp(kCsvColumns);
        for (std::size_t k = 0; k < kCsvColumns; ++k) {
            bool lossless = true;
            cp[k] = Utf8ToCp1251(f[k], &lossless);
            if (!lossless)
                return Refused(LineNo(i) +
                               "текст не в кодировке UTF-8 или с знаками, которых "
                               "нет в кириллице Windows.");
        }
        if (i == 1) {
            r.table.unitId = cp[0];
            r.table.sourceName = cp[1];
            r.table.comment = cp[6];
        } else if (cp[0] != r.table.unitId || cp[1] != r.table.sourceName ||
                   cp[6] != r.table.comment) {
            return Refused(LineNo(i) +
                           "устройство, датчик или комментарий не те, что в первой "
                           "строке таблицы.");
        }
        TarRow row{cp[2], cp[3], Replaced(cp[4], '.', decimalSeparator), cp[5], true};
        const std::string fault = RowFault(row, r.table.rows.size() + 1);
        if (!fault.empty()) return Refused(LineNo(i) + fault);
        r.table.rows.push_back(std::move(row));
    }
    r.ok = true;
    return r;
}

}  // namespace

std::string TarCsvText(const TarTableData& data, char decimalSeparator) {
    std::string out = std::string(kCsvHeader) + "\r\n";
    if (!data.rows) return out;
    const std::string unit = CsvField(Cp1251ToUtf8(data.unitId));
    const std::string source = CsvField(Cp1251ToUtf8(data.sourceName));
    const std::string comment = CsvField(Cp1251ToUtf8(data.comment));
    for (const TarRow& row : *data.rows) {
        if (!row.visible) continue;
        out += unit + ',' + source + ',' + CsvField(Cp1251ToUtf8(row.number)) + ',' +
               CsvField(Cp1251ToUtf8(row.time)) + ',' +
               CsvField(Cp1251ToUtf8(Replaced(row.value, decimalSeparator, '.'))) + ',' +
               CsvField(Cp1251ToUtf8(row.level)) + ',' + comment + "\r\n";
    }
    return out;
}

TarImportResult ParseTarTable(std::string_view bytes, char decimalSeparator) {
    static const std::string kUnitId = W("ID устройства: ");
    std::string_view text = bytes;
    if (StartsWith(text, kUtf8Bom)) text.remove_prefix(kUtf8Bom.size());
    if (StartsWith(text, kCsvHeader)) {
        const std::string_view rest = text.substr(std::string_view(kCsvHeader).size());
        if (rest.empty() || rest.front() == '\r' || rest.front() == '\n')
            return ParseCsv(text, decimalSeparator);
    }
    if (StartsWith(bytes, kUnitId)) return ParseTextTable(bytes);
    return Refused(
        "Файл не похож на таблицу тарировки, выгруженную консолью: он должен начинаться со "
        "строки «ID устройства:» (текстовая таблица) или с заголовка CSV «" +
        std::string(kCsvHeader) + "».");
}

std::string CsvPathOf(std::string path) {
    const auto endsWith = [&path](std::string_view ending) {
        if (path.size() < ending.size()) return false;
        for (std::size_t i = 0; i < ending.size(); ++i) {
            const char c = path[path.size() - ending.size() + i];
            if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != ending[i]) return false;
        }
        return true;
    };
    if (endsWith(".txt")) path.resize(path.size() - 4);
    if (!endsWith(".csv")) path += ".csv";
    return path;
}

}  // namespace rv
