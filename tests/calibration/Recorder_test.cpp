#include "calibration/Recorder.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "protocol/Colours.h"
#include "support/FakeExportTarget.h"
#include "text/Cp1251.h"

namespace rv {
namespace {

class RecorderTest : public ::testing::Test {
  protected:
    RecorderTest() {
        display.ClearDisplay();
        rec.InitTar();
    }

    void Set(const char* field, const char* text) {
        display.SetV(display.Field(field), text, kBlack);
    }

    // Picks `name` in channel n the way the technician does: open the list, choose the entry.
    void Choose(int n, const std::string& name) {
        rec.cmbDatNDropDown(n);
        const auto& items = rec.State(n).items;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i] == name) return rec.cmbDatNChange(n, static_cast<int>(i));
        }
        FAIL() << "not offered: " << Cp1251ToUtf8(name);
    }

    void SaveRow(int n, const char* value, const char* level) {
        rec.UpdateTarDat(rec.State(n).tarName, value);
        rec.pdN4Change(n, level);
        rec.cmdSNClick(n);
    }

    // Channel n records LLS2's level on unit 123456: the rows saved in order, the first of them
    // deleted again (so the numbering skips a hidden row), and the comment.
    struct Level {
        const char* value;
        const char* level;
    };
    void RecordLevelTable(int n, std::initializer_list<Level> rows, const std::string& comment) {
        Set("LL_DN", "123456");
        rec.SendTarDat("2", "Y", "1");
        Choose(n, lls2y);
        for (const Level& row : rows) SaveRow(n, row.value, row.level);
        rec.ClickDel(n, 0);
        rec.SetComment(n, comment);
    }

    std::vector<std::string> Numbers(int n) const {
        std::vector<std::string> out;
        for (const TarRow& r : rec.State(n).rows) out.push_back(r.visible ? r.number : "hidden");
        return out;
    }

    DisplayModel display;
    FixedClock clock{{2026, 12, 7, 9, 5, 7}};
    RegionalFormats formats;
    Recorder rec{display, clock, formats};
    const std::string in0a = W("IN0 (аналоговый)");
    const std::string lls2y = W("LLS2 (уровень)");
};

TEST_F(RecorderTest, SendTarDatNamesTheSourceByItsKindLetter) {
    struct Case {
        const char* index;
        const char* kind;
        const char* name;  // nullptr: ignored
    };
    const Case cases[] = {
        {"0", "A", "IN0 (аналоговый)"},
        {"7", "F", "IN7 (частотный)"},
        {"2", "Y", "LLS2 (уровень)"},
        {"5", "Zx", "LLS5 (частота)"},
        {"1", "D", nullptr},
        {"1", "a", nullptr},
        {"1", "", nullptr},
    };
    for (const Case& c : cases) {
        rec.InitTar();
        rec.SendTarDat(c.index, c.kind, "12");
        if (c.name) {
            ASSERT_EQ(rec.Sources().size(), 1u) << c.kind;
            EXPECT_EQ(rec.Sources()[0], W(c.name));
        } else {
            EXPECT_TRUE(rec.Sources().empty()) << c.kind;
        }
    }
}

TEST_F(RecorderTest, LoadTarDatValueReadsTheMonitorField) {
    for (char i = '0'; i <= '5'; ++i) {
        Set((std::string("LL_I") + i).c_str(), (std::string("in") + i).c_str());
        Set((std::string("LL_LS") + i + "Y").c_str(), (std::string("y") + i).c_str());
        Set((std::string("LL_LS") + i + "Z").c_str(), (std::string("z") + i).c_str());
    }
    struct Case {
        const char* name;
        const char* value;
    };
    const Case cases[] = {
        {"IN0 (аналоговый)", "in0"}, {"IN5 (частотный)", "in5"}, {"IN3 (аналоговый)", "in3"},
        {"LLS0 (уровень)", "y0"},    {"LLS4 (частота)", "z4"},   {"LLS5 (уровень)", "y5"},
        {"IN6 (аналоговый)", ""},    {"IN7 (частотный)", ""},    {"выбрать", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(rec.LoadTarDatValue(W(c.name)), c.value) << c.name;
    display.ClearDisplay();
    EXPECT_EQ(rec.LoadTarDatValue(in0a), "-");
}

TEST_F(RecorderTest, ReadingReachesOnlyTheChannelThatShowsItsSource) {
    rec.SendTarDat("0", "A", "100");
    rec.SendTarDat("2", "Y", "3000");
    Set("LL_I0", "100");
    Choose(2, in0a);
    EXPECT_TRUE(rec.State(2).panStatEnabled);
    EXPECT_EQ(rec.State(2).pd3, "100");  // the current reading of the monitor view
    EXPECT_EQ(rec.State(2).pd2, "09:05:07");

    clock.Set({2026, 12, 7, 9, 5, 8});
    rec.SendTarDat("0", "A", "101");
    rec.SendTarDat("2", "Y", "3001");  // nobody shows it
    EXPECT_EQ(rec.State(2).pd2, "09:05:08");
    EXPECT_EQ(rec.State(2).pd3, "101");
    for (int n : {1, 3, 4}) EXPECT_EQ(rec.State(n).pd3, "") << n;

    // Typing a level freezes time and reading until the level field is emptied.
    rec.pdN4Change(2, "25");
    clock.Set({2026, 12, 7, 9, 5, 9});
    rec.SendTarDat("0", "A", "102");
    EXPECT_EQ(rec.State(2).pd2, "09:05:08");
    EXPECT_EQ(rec.State(2).pd3, "101");
    rec.pdN4Change(2, "");
    rec.SendTarDat("0", "A", "103");
    EXPECT_EQ(rec.State(2).pd2, "09:05:09");
    EXPECT_EQ(rec.State(2).pd3, "103");
}

TEST_F(RecorderTest, SourceIsOfferedToOneChannelAtATime) {
    rec.SendTarDat("0", "A", "1");
    rec.SendTarDat("2", "Y", "2");
    Choose(1, in0a);
    rec.cmbDatNDropDown(2);
    EXPECT_EQ(rec.State(2).items, (std::vector<std::string>{Recorder::Placeholder(), lls2y}));
    rec.cmbDatNDropDown(1);  // its own source stays offered and selected
    EXPECT_EQ(rec.State(1).items.size(), 3u);
    EXPECT_EQ(rec.State(1).ComboText(), in0a);

    Choose(1, lls2y);
    rec.cmbDatNDropDown(2);
    EXPECT_EQ(rec.State(2).items, (std::vector<std::string>{Recorder::Placeholder(), in0a}));
}

TEST_F(RecorderTest, ChoosingTheSameSourceKeepsTheTablePlaceholderEmptiesIt) {
    rec.SendTarDat("0", "A", "1");
    rec.SendTarDat("2", "Y", "2");
    Choose(1, in0a);
    SaveRow(1, "5", "10");
    rec.SetComment(1, "bak");
    Choose(1, in0a);
    EXPECT_EQ(rec.State(1).rows.size(), 1u);
    EXPECT_EQ(rec.State(1).comment, "bak");

    Choose(1, lls2y);  // another source discards table and comment
    EXPECT_TRUE(rec.State(1).rows.empty());
    EXPECT_EQ(rec.State(1).comment, "");
    EXPECT_FALSE(rec.State(1).exportVisible);

    SaveRow(1, "5", "10");
    rec.cmbDatNChange(1, 0);
    const auto& c = rec.State(1);
    EXPECT_FALSE(c.panStatEnabled);
    EXPECT_TRUE(c.rows.empty());
    EXPECT_EQ(c.tarName, Recorder::Placeholder());
    EXPECT_EQ(c.pd2 + c.pd3 + c.pd4, "");
    rec.SendTarDat("2", "Y", "9");
    EXPECT_EQ(c.pd3, "");
}

TEST_F(RecorderTest, DeletedRowsStayHiddenAndTheRestRenumber) {
    rec.SendTarDat("0", "A", "1");
    rec.SendTarDat("2", "Y", "1");
    Choose(1, in0a);
    Choose(3, lls2y);
    SaveRow(3, "7", "1");
    SaveRow(1, "10", "0");
    SaveRow(1, "20", "5");
    SaveRow(1, "30", "10");
    EXPECT_EQ(Numbers(1), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(rec.State(1).rows[1].value, "20");
    EXPECT_EQ(rec.State(1).rows[1].level, "5");
    EXPECT_EQ(rec.State(1).rows[1].time, "09:05:07");

    rec.ClickDel(1, 1);
    SaveRow(1, "40", "15");
    EXPECT_EQ(Numbers(1), (std::vector<std::string>{"1", "hidden", "2", "3"}));
    EXPECT_TRUE(rec.State(1).exportVisible);

    for (std::size_t i : {0u, 2u, 3u}) rec.ClickDel(1, i);
    EXPECT_FALSE(rec.State(1).exportVisible);
    EXPECT_TRUE(rec.State(3).exportVisible);  // the other channels keep theirs
    SaveRow(1, "50", "20");
    EXPECT_EQ(rec.State(1).rows.back().number, "1");
}

TEST_F(RecorderTest, SaveNeedsALevelAndEmptiesTheEntryRow) {
    rec.SendTarDat("0", "A", "1");
    Choose(1, in0a);
    rec.cmdSNClick(1);  // no level typed: "Сохранить" is hidden, nothing is added
    EXPECT_TRUE(rec.State(1).rows.empty());
    rec.pdN4Change(1, "1a-2,3");  // a paste is reduced to its digits
    EXPECT_EQ(rec.State(1).pd4, "123");
    EXPECT_TRUE(rec.State(1).CmdSVisible());
    rec.cmdSNClick(1);
    const auto& c = rec.State(1);
    EXPECT_EQ(c.rows.size(), 1u);
    EXPECT_TRUE(c.exportVisible);
    EXPECT_EQ(c.pd2 + c.pd3 + c.pd4, "");
    EXPECT_FALSE(c.CmdSVisible());
}

TEST_F(RecorderTest, LevelKeyFilterPassesDigitsAndBackspaceOnly) {
    const struct {
        char key;
        bool passes;
    } cases[] = {{'0', true},  {'5', true},   {'9', true},     {8, true},       {'/', false},
                 {':', false}, {'\0', false}, {' ', false},    {'-', false},    {'a', false},
                 {',', false}, {'.', false},  {'\x7f', false}, {'\xB9', false}, {'\t', false}};
    for (const auto& c : cases) EXPECT_EQ(Recorder::pdN4KeyPress(c.key), c.passes) << int(c.key);
}

TEST_F(RecorderTest, InitTarEmptiesEveryChannelAndTheSourceList) {
    rec.SendTarDat("0", "A", "1");
    rec.SendTarDat("2", "Y", "1");
    Choose(1, in0a);
    Choose(4, lls2y);
    SaveRow(1, "1", "1");
    SaveRow(1, "2", "2");
    rec.ClickDel(1, 0);
    SaveRow(4, "1", "1");
    rec.SetComment(4, "c");
    rec.InitTar();
    EXPECT_TRUE(rec.Sources().empty());
    for (int n = 1; n <= kTarChannels; ++n) {
        const auto& c = rec.State(n);
        EXPECT_EQ(c.ComboText(), Recorder::Placeholder());
        EXPECT_EQ(c.tarName, Recorder::Placeholder());
        EXPECT_FALSE(c.panStatEnabled);
        EXPECT_TRUE(c.rows.empty());
        EXPECT_EQ(c.comment + c.pd2 + c.pd3 + c.pd4, "");
        EXPECT_FALSE(c.exportVisible);
    }
}

TEST(TarWidths, TitleEntryRowAndRowColumnsLineUp) {
    struct Case {
        int width;
        int col, t2, t34, pd4Width, pd4Left, cmdSWidth;
    };
    // Column widths of the channel: 336 at the window's minimum, a quarter of wider pages, and a
    // column too narrow for its fixed cells (negative widths are the widget's to clamp). The level
    // field and "Сохранить" share what the number, time and reading leave.
    const Case cases[] = {
        {334, 73, 71, 69, 72, 187, 74}, {335, 73, 71, 69, 72, 187, 75},
        {336, 73, 71, 69, 72, 187, 76}, {478, 121, 119, 117, 120, 283, 74},
        {100, -5, -7, -9, -6, 31, 74},
    };
    for (const Case& c : cases) {
        const TarTitleLayout t = UpdateTarTitle(40, 75, c.width, c.width);
        EXPECT_EQ(t.pd2, c.col) << c.width;
        EXPECT_EQ(t.pd3, c.col);
        EXPECT_EQ(t.t1, 38);
        EXPECT_EQ(t.pd1, 38);
        EXPECT_EQ(t.t2, c.t2);
        EXPECT_EQ(t.t3, c.t34);
        EXPECT_EQ(t.t4, c.t34);
        EXPECT_EQ(t.pd4Width, c.pd4Width);
        EXPECT_EQ(t.pd4Left, c.pd4Left);
        EXPECT_EQ(t.cmdSWidth, c.cmdSWidth) << c.width;
    }
    // A row divides by the delete button's width (73), the title by the action cell's (75).
    const TarRowLayout r = ResizeTarRow(335, 40, 73, 337);
    EXPECT_EQ(r.timeWidth, 74);
    EXPECT_EQ(r.valueWidth, 74);
    EXPECT_EQ(r.title.pd2, 73);
    EXPECT_EQ(r.title.cmdSWidth, 77);
    EXPECT_EQ(panComNResize(334), 239);
}

TEST_F(RecorderTest, EntryRowWidthsFollowThePanelOnlyWhileTheTableIsEmpty) {
    rec.SendTarDat("0", "A", "1");
    Choose(2, in0a);
    ASSERT_TRUE(rec.panStatNResize(2, 400).has_value());
    EXPECT_EQ(rec.panStatNResize(2, 400)->pd2, 95);
    SaveRow(2, "1", "1");
    EXPECT_FALSE(rec.panStatNResize(2, 400).has_value());
    rec.ClickDel(2, 0);
    EXPECT_TRUE(rec.panStatNResize(2, 400).has_value());
}

using test::FakeTarget;

TEST_F(RecorderTest, ExportResetsOnlyTheExportedChannelAndOnlyAfterAWrittenFile) {
    rec.SendTarDat("0", "A", "1");
    Choose(1, in0a);
    SaveRow(1, "11", "1");
    RecordLevelTable(3, {{"9876", "0"}, {"1300", "10"}}, W("бак"));

    FakeTarget cancel;
    EXPECT_EQ(rec.SaveTarFile(3, cancel, "/tmp/").status, TarExportStatus::Cancelled);
    EXPECT_EQ(cancel.proposed, W("123456_LLS2(уровень)_07-12-26.txt"));
    FakeTarget fail;
    fail.path = "/ro/t.txt";
    fail.failure = "Cannot create file \"/ro/t.txt\". Permission denied";
    const SaveTxtResult failed = rec.SaveTarFile(3, fail, "/tmp/");
    EXPECT_EQ(failed.status, TarExportStatus::Failed);
    EXPECT_EQ(failed.errorText, *fail.failure);
    EXPECT_EQ(rec.State(3).rows.size(), 2u);
    EXPECT_EQ(rec.State(3).comment, W("бак"));
    EXPECT_EQ(rec.State(3).tarName, lls2y);

    FakeTarget ok;
    ok.path = "/tmp/t.txt";
    EXPECT_EQ(rec.SaveTarFile(3, ok, "/tmp/").status, TarExportStatus::Written);
    EXPECT_NE(ok.bytes.find("  1  | 09:05:07 |   1300   |    10    |\r\n"), std::string::npos);
    EXPECT_EQ(ok.bytes.find("9876"), std::string::npos);  // the deleted row is not exported
    EXPECT_NE(ok.bytes.find(W("Комментарии: бак\r\n")), std::string::npos);
    const auto& c3 = rec.State(3);
    EXPECT_EQ(c3.tarName, Recorder::Placeholder());
    EXPECT_FALSE(c3.panStatEnabled);
    EXPECT_TRUE(c3.rows.empty());
    EXPECT_EQ(c3.comment, "");
    EXPECT_FALSE(c3.exportVisible);
    EXPECT_EQ(rec.State(1).rows.size(), 1u);
    EXPECT_EQ(rec.State(1).tarName, in0a);
    EXPECT_EQ(rec.Sources().size(), 2u);
}

TEST_F(RecorderTest, ALevelTypedBeforeTheReadingWaitsForItAndSavesNothingUntilThen) {
    rec.SendTarDat("0", "A", "1");
    Choose(1, in0a);
    SaveRow(1, "11", "1");  // the entry row is empty after "Сохранить"
    rec.pdN4Change(1, "3000");
    EXPECT_FALSE(rec.State(1).CmdSVisible());
    rec.cmdSNClick(1);
    EXPECT_EQ(rec.State(1).rows.size(), 1u);  // no row without a reading

    clock.Set({2026, 12, 7, 9, 6, 0});
    rec.SendTarDat("0", "A", "42");  // the next reading fills the entry row despite the level
    EXPECT_EQ(rec.State(1).pd3, "42");
    EXPECT_TRUE(rec.State(1).CmdSVisible());
    rec.SendTarDat("0", "A", "43");  // ... and from then on it is frozen
    EXPECT_EQ(rec.State(1).pd3, "42");
    rec.cmdSNClick(1);
    ASSERT_EQ(rec.State(1).rows.size(), 2u);
    const TarRow& row = rec.State(1).rows[1];
    EXPECT_EQ(row.time + "|" + row.value + "|" + row.level, "09:06:00|42|3000");
}

TEST_F(RecorderTest, ARestoredChannelExportsWhatTheOriginalWouldHave) {
    Set("LL_LS2Y", "1");
    RecordLevelTable(3, {{"9876", "0"}, {"1300", "10"}, {"1500", "20"}}, W("бак"));
    FakeTarget original;
    original.path = "/tmp/a.txt";
    KeptTableState kept;
    kept.sourceName = rec.State(3).ComboText();
    kept.rows = rec.State(3).rows;
    kept.comment = rec.State(3).comment;
    ASSERT_EQ(rec.SaveTarFile(3, original, "/tmp/").status, TarExportStatus::Written);

    rec.InitTar();  // the unit restarted: the source list is empty again
    rec.RestoreChannel(2, kept);
    const auto& c = rec.State(2);
    EXPECT_EQ(c.ComboText(), lls2y);
    EXPECT_TRUE(c.panStatEnabled);
    EXPECT_TRUE(c.exportVisible);
    EXPECT_EQ(c.visibleRows, 2u);
    EXPECT_EQ(Numbers(2), (std::vector<std::string>{"hidden", "1", "2"}));
    FakeTarget restored;
    restored.path = "/tmp/b.txt";
    ASSERT_EQ(rec.SaveTarFile(2, restored, "/tmp/").status, TarExportStatus::Written);
    EXPECT_EQ(restored.bytes, original.bytes);
    EXPECT_EQ(restored.proposed, original.proposed);

    // It can be continued: the source is offered again and the numbering goes on.
    rec.RestoreChannel(2, kept);
    SaveRow(2, "1700", "30");
    EXPECT_EQ(Numbers(2), (std::vector<std::string>{"hidden", "1", "2", "3"}));
    rec.cmbDatNDropDown(1);
    EXPECT_EQ(rec.State(1).items, std::vector<std::string>{Recorder::Placeholder()});
}

// A save dialog where the technician picks the file type.
class TypedTarget : public FakeTarget {
  public:
    explicit TypedTarget(TarFileType t) : type(t) { path = "/tmp/t"; }
    std::optional<TarSaveChoice> AskSavePathType(const std::string& name, const std::string&,
                                                 const std::vector<std::string>&) override {
        proposed = name;
        return TarSaveChoice{*path, type};
    }
    TarFileType type;
};

TEST_F(RecorderTest, AnExportedTableImportsIntoAChannelAndExportsAgainIdentically) {
    formats.decimalSeparator = ',';
    RecordLevelTable(3, {{"9876", "0"}, {"13,5", "10"}, {"1700", "20"}}, W("бак, 60 л"));
    const KeptTableState kept{3, "", lls2y, "", rec.State(3).rows, rec.State(3).comment, {}, {}};
    TypedTarget text(TarFileType::Text), csv(TarFileType::Csv);
    ASSERT_EQ(rec.SaveTarFile(3, text, "/tmp/").status, TarExportStatus::Written);
    rec.RestoreChannel(3, kept);  // a written export empties the channel
    ASSERT_EQ(rec.SaveTarFile(3, csv, "/tmp/").status, TarExportStatus::Written);
    EXPECT_NE(csv.bytes.find(",13.5,"), std::string::npos);

    for (const TypedTarget* exported : {&text, &csv}) {
        rec.InitTar();
        ASSERT_TRUE(rec.ImportTarFile(2, exported->bytes).ok);
        EXPECT_EQ(rec.State(2).ComboText(), lls2y);
        EXPECT_EQ(Numbers(2), (std::vector<std::string>{"1", "2"}));
        TypedTarget again(exported->type);
        ASSERT_EQ(rec.SaveTarFile(2, again, "/tmp/").status, TarExportStatus::Written);
        EXPECT_EQ(again.bytes, exported->bytes);
        EXPECT_EQ(again.proposed, text.proposed);
    }

    // A file that is not a table leaves the channel as it was.
    ASSERT_TRUE(rec.ImportTarFile(2, text.bytes).ok);
    const TarImportResult bad = rec.ImportTarFile(2, "not a table");
    EXPECT_FALSE(bad.ok);
    EXPECT_FALSE(bad.errorText.empty());
    EXPECT_EQ(rec.State(2).rows.size(), 2u);
    EXPECT_EQ(rec.State(2).ComboText(), lls2y);
}

TEST_F(RecorderTest, SensorAddressIsTheAddressOfTheSourcesSensorRow) {
    display.SetCaption(display.Field("LLS2"), "17:");
    const struct {
        const char* source;
        const char* address;
    } cases[] = {{"LLS2 (уровень)", "17"}, {"LLS2 (частота)", "17"}, {"LLS0 (уровень)", ""},
                 {"IN2 (аналоговый)", ""}, {"LLS7 (уровень)", ""},   {"LLS2", ""},
                 {"выбрать", ""}};
    for (const auto& c : cases) EXPECT_EQ(rec.SensorAddressOf(W(c.source)), c.address) << c.source;
}

}  // namespace
}  // namespace rv
