#include "calibration/TableExport.h"

#include <gtest/gtest.h>

#include <vector>

#include "text/Cp1251.h"

namespace rv {
namespace {

// The Windows-1251 text of UTF-8 lines, each followed by CR LF.
std::string Lines(std::initializer_list<const char*> lines) {
    std::string out;
    for (const char* l : lines) out += W(l) + "\r\n";
    return out;
}

TEST(DatToStr, CentresOrCutsTheTextInAFixedWidthCell) {
    struct Case {
        const char* text;
        int width;
        const char* cell;
    };
    const Case cases[] = {
        {"Время", 11, "   Время  |"},     // shorter: the odd blank goes to the left
        {"Значение", 11, " Значение |"},  // even padding
        {"1", 6, "  1  |"},
        {"12", 6, "  12 |"},
        {"", 6, "     |"},
        {"12345", 6, "12345|"},  // equal to the width: the last character gives way to "|"
        {"123456", 6, "12345|"},
        {"1234567890123", 11, "1234567890|"},  // longer: cut
        {"abc", 1, "|"},
    };
    for (const Case& c : cases) EXPECT_EQ(DatToStr(W(c.text), c.width), W(c.cell)) << c.text;
    EXPECT_EQ(DatToStr("\xB9", 6), "  \xB9  |");
}

TEST(TarTableText, WritesHeaderVisibleRowsAndCommentInFixedWidthLines) {
    const std::vector<TarRow> rows = {
        {"1", "09:15:02", "1234567890123", "100", true},
        {"x", "09:15:40", "deleted", "150", false},
        {"2", "09:16:10", "7.5", "2000", true},
    };
    TarTableData data{"123456", "07.12.2026 9:16:30", W("LLS0 (уровень)"), &rows, W("бак 60 л")};
    const std::string expected = Lines({
        "ID устройства: 123456",
        "Дата и время: 07.12.2026 9:16:30",
        "",
        "---------------------------------------",
        "        Датчик: LLS0 (уровень)        |",
        "---------------------------------------",
        "  №  |   Время  | Значение |  Уровень |",
        "---------------------------------------",
        "  1  | 09:15:02 |1234567890|    100   |",
        "  2  | 09:16:10 |    7.5   |   2000   |",
        "---------------------------------------",
        "",
        "Комментарии: бак 60 л",
    });
    EXPECT_EQ(TarTableText(data), expected);
}

TEST(TarTableText, EmptyTableHasTheClosingRuleRightAfterTheTitles) {
    TarTableData data{"-", "07.12.2026", W("IN0 (аналоговый)"), nullptr, ""};
    const std::string expected = Lines({
        "ID устройства: -",
        "Дата и время: 07.12.2026",
        "",
        "---------------------------------------",
        "       Датчик: IN0 (аналоговый)       |",
        "---------------------------------------",
        "  №  |   Время  | Значение |  Уровень |",
        "---------------------------------------",
        "---------------------------------------",
        "",
        "Комментарии: ",
    });
    EXPECT_EQ(TarTableText(data), expected);
}

TEST(DefaultTarFileName, JoinsUnitSourceAndDateWithoutBlanksOrUnsafeCharacters) {
    struct Case {
        const char* unit;
        const char* source;
        LocalDateTime date;
        const char* name;
    };
    const Case cases[] = {
        {"123456", "LLS0 (уровень)", {2026, 12, 7}, "123456_LLS0(уровень)_07-12-26.txt"},
        {"12 34 ", "IN0 (аналоговый)", {2031, 1, 2}, "1234_IN0(аналоговый)_02-01-31.txt"},
        {"-", "IN7 (частотный)", {2026, 3, 30}, "-_IN7(частотный)_30-03-26.txt"},
        {"a/b:c*?\"<>|\\\t",
         "LLS5 (частота)",
         {2026, 12, 7},
         "a-b-c--------_LLS5(частота)_07-12-26.txt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DefaultTarFileName(W(c.unit), W(c.source), c.date), W(c.name)) << c.unit;
    }
}

class FakeTarget : public TarExportTarget {
  public:
    std::optional<std::string> AskSavePath(const std::string& proposed,
                                           const std::string& folder) override {
        proposedName = proposed;
        initialFolder = folder;
        return chosen;
    }
    std::optional<std::string> WriteFile(const std::string& path,
                                         const std::string& bytes) override {
        writtenPath = path;
        written = bytes;
        return failure;
    }
    std::optional<std::string> chosen, failure;
    std::string proposedName, initialFolder, writtenPath, written;
};

TEST(SaveTXT, WritesOnlyWhatTheTechnicianConfirmed) {
    const std::vector<TarRow> rows = {{"1", "09:15:02", "10", "5", true}};
    TarTableData data{"77 1", "07.12.2026 9:16:30", W("IN2 (частотный)"), &rows, "c"};
    const LocalDateTime now{2026, 12, 7, 9, 16, 30};

    FakeTarget cancel;
    EXPECT_EQ(SaveTXT(data, now, "/opt/rv/", cancel).status, TarExportStatus::Cancelled);
    EXPECT_EQ(cancel.proposedName, W("771_IN2(частотный)_07-12-26.txt"));
    EXPECT_EQ(cancel.initialFolder, "/opt/rv/");
    EXPECT_TRUE(cancel.writtenPath.empty());

    FakeTarget fail;
    fail.chosen = "/x/t.txt";
    fail.failure = "Cannot create file \"/x/t.txt\". No such file or directory";
    const SaveTxtResult failed = SaveTXT(data, now, "/opt/rv/", fail);
    EXPECT_EQ(failed.status, TarExportStatus::Failed);
    EXPECT_EQ(failed.errorText, *fail.failure);

    FakeTarget ok;
    ok.chosen = "/x/t.txt";
    EXPECT_EQ(SaveTXT(data, now, "/opt/rv/", ok).status, TarExportStatus::Written);
    EXPECT_EQ(ok.writtenPath, "/x/t.txt");
    EXPECT_EQ(ok.written, TarTableText(data));
}

}  // namespace
}  // namespace rv
