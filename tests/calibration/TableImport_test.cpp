#include "calibration/TableImport.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "text/Cp1251.h"

namespace rv {
namespace {

// A table as the recorder shows it under the given decimal separator: a deleted row, readings
// with a fraction, a comment with a comma, a quote and a line break.
struct Sample {
    std::vector<TarRow> rows;
    TarTableData data;
};

Sample MakeSample(char decimal, const std::string& time1, const std::string& time2) {
    Sample s;
    const std::string fraction = std::string("7") + decimal + "5";
    s.rows = {
        {"1", time1, "0" + std::string(1, decimal) + "25", "0", true},
        {"x", time1, "999", "50", false},
        {"2", time2, fraction, "100", true},
        {"3", time2, "1234567890", "2000", true},
    };
    s.data = {"123456", "07.12.2026 9:16:30", W("LLS0 (уровень)"), nullptr,
              W("бак 60 л, \"старый\"\r\nдатчик 2")};
    return s;
}

TEST(TarTableImport, RoundTripsBothFormatsUnderRegionalFormats) {
    struct Case {
        const char* name;
        char decimal;
        const char* time1;
        const char* time2;
    };
    const Case cases[] = {
        {"ru", ',', "9:15:02", "9:16:10"},
        {"de", ',', "09:15:02", "09:16:10"},
        {"en", '.', "9:15:02 AM", "9:16:10 AM"},
    };
    for (const Case& c : cases) {
        Sample s = MakeSample(c.decimal, c.time1, c.time2);
        s.data.rows = &s.rows;
        const std::string text = TarTableText(s.data);
        const std::string csv = TarCsvText(s.data, c.decimal);
        EXPECT_EQ(csv.find(std::string("7") + ',' + "5"), std::string::npos) << c.name;
        EXPECT_NE(csv.find("7.5"), std::string::npos) << c.name;

        for (const std::string& file : {text, csv}) {
            const TarImportResult r = ParseTarTable(file, c.decimal);
            ASSERT_TRUE(r.ok) << c.name << ": " << r.errorText;
            EXPECT_EQ(r.table.unitId, s.data.unitId) << c.name;
            EXPECT_EQ(r.table.sourceName, s.data.sourceName) << c.name;
            EXPECT_EQ(r.table.comment, s.data.comment) << c.name;
            EXPECT_EQ(r.table.rows.size(), 3u) << c.name;
            TarTableData again = s.data;
            again.rows = &r.table.rows;
            EXPECT_EQ(TarTableText(again), text) << c.name;
            EXPECT_EQ(TarCsvText(again, c.decimal), csv) << c.name;
        }
    }
}

TEST(TarCsvText, IsUtf8WithAHeaderRowAndQuotedFields) {
    const std::vector<TarRow> rows = {{"1", "9:15:02", "7,5", "100", true}};
    const TarTableData data{"12", "", W("IN1"), &rows, W("бак, \"А\"")};
    EXPECT_EQ(TarCsvText(data, ','),
              "ID устройства,Датчик,№,Время,Значение,Уровень,Комментарии\r\n"
              "12,IN1,1,9:15:02,7.5,100,\"бак, \"\"А\"\"\"\r\n");
}

TEST(CsvPathOf, TheTextEndingGivesWayToCsv) {
    const std::pair<const char*, const char*> cases[] = {
        {"/x/123_IN2_07-12-26.txt", "/x/123_IN2_07-12-26.csv"},
        {"/x/table.TXT", "/x/table.csv"},
        {"/x/table.CSV", "/x/table.CSV"},
        {"/x/table", "/x/table.csv"},
        {"/x/table.txt.bak", "/x/table.txt.bak.csv"},
    };
    for (const auto& [path, csv] : cases) EXPECT_EQ(CsvPathOf(path), csv) << path;
}

TEST(TarTableImport, RefusesGarbledFilesWithAReason) {
    Sample s = MakeSample(',', "9:15:02", "9:16:10");
    s.data.rows = &s.rows;
    const std::string text = TarTableText(s.data);
    const std::string csv = TarCsvText(s.data, ',');
    auto replaced = [](std::string in, const std::string& from, const std::string& to) {
        const std::size_t at = in.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) in.replace(at, from.size(), to);
        return in;
    };
    const std::map<std::string, std::pair<std::string, const char*>> cases = {
        {"empty", {"", "Файл не похож"}},
        {"other file", {"hello\r\n", "Файл не похож"}},
        {"text cut short", {text.substr(0, text.find("  2  |")), "Строка"}},
        {"text without last CR LF", {text.substr(0, text.size() - 2), "обрывается"}},
        {"text row renumbered", {replaced(text, "  2  |", "  5  |"), "номер строки"}},
        {"text level not digits", {replaced(text, "   100   |", "   1O0   |"), "цифр"}},
        {"text cell broken", {replaced(text, "   100   |", "   100    "), "четыре столбца"}},
        {"csv field missing", {replaced(csv, ",7.5,", ",7.5"), "полей"}},
        {"csv open quote", {csv + "\"", "кавычки"}},
        {"csv other sensor", {replaced(csv, "\r\n123456,LLS0", "\r\n123456,LLS1"), "не те"}},
        {"csv not utf-8", {replaced(csv, "уровень", "\xF3\xF0"), "UTF-8"}},
        {"csv header only", {csv.substr(0, csv.find("\r\n") + 2), "нет ни одной строки"}},
    };
    for (const auto& [name, c] : cases) {
        const TarImportResult r = ParseTarTable(c.first, ',');
        EXPECT_FALSE(r.ok) << name;
        EXPECT_NE(r.errorText.find(c.second), std::string::npos) << name << ": " << r.errorText;
    }
}

}  // namespace
}  // namespace rv
