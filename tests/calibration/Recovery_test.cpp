#include "calibration/Recovery.h"

#include <gtest/gtest.h>

#include "calibration/RecoveryFolder.h"
#include "support/TempFolder.h"
#include "text/Cp1251.h"

namespace rv {
namespace {

namespace fs = std::filesystem;

KeptTableState Sample() {
    KeptTableState s;
    s.channel = 3;
    s.unitId = "123456";
    s.sourceName = W("LLS0 (уровень)");
    s.sensorAddress = "5";
    s.rows = {{"1", "14:03:30", "1234", "0", true},
              {"2", "14:05:01", "1301", "3000", false},  // deleted, kept until the clear
              {"2", "14:06:12", "1377", "6000", true}};
    s.comment = W("Бак 400 л\r\nслив\tпробка \\ \x01 конец");
    s.firstChange = {2026, 12, 8, 14, 3, 22, 123};
    s.lastChange = {2026, 12, 8, 14, 31, 5, 20};
    return s;
}

TEST(KeptTable, ReadsBackExactlyWhatWasWritten) {
    KeptTableState empty;  // a source chosen, no row yet, no unit seen
    empty.sourceName = W("IN2 (аналоговый)");
    for (const KeptTableState& state : {Sample(), empty}) {
        const std::string text = KeptTableText(state);
        const auto back = ParseKeptTable(text);
        ASSERT_TRUE(back.has_value()) << text;
        EXPECT_TRUE(*back == state) << text;
    }
    const std::string text = KeptTableText(Sample());
    EXPECT_EQ(text.substr(0, 24), "revodive-calibration\t1\r\n");
    EXPECT_NE(text.find("comment\t" + W("Бак 400 л\\r\\nслив\\tпробка \\\\ \\x01 конец") + "\r\n"),
              std::string::npos)
        << "a comment stays on one line";
    EXPECT_EQ(KeptTableFileName(Sample()), "2026-12-08_14-03-22-123_3.cal");
}

// Every cut of a file (a crash in the middle of a write on a system that lost the rest) and every
// broken rule is a file that is not a kept table; nothing else is read from it.
TEST(KeptTable, ABrokenFileIsNotATable) {
    const std::string good = KeptTableText(Sample());
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(ParseKeptTable(good.substr(0, n)).has_value()) << "cut at " << n;
    ASSERT_TRUE(ParseKeptTable(good).has_value());

    const auto with = [&good](const std::string& from, const std::string& to) {
        std::string s = good;
        const std::size_t at = s.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return s.replace(at, from.size(), to);
    };
    struct Case {
        const char* what;
        std::string text;
    } cases[] = {
        {"another format", with("revodive-calibration", "revodive-log")},
        {"a later version", with("revodive-calibration\t1", "revodive-calibration\t2")},
        {"channel 0", with("channel\t3", "channel\t0")},
        {"channel 5", with("channel\t3", "channel\t5")},
        {"channel not a number", with("channel\t3", "channel\tx")},
        {"no channel", with("channel\t3\r\n", "")},
        {"two channels", with("channel\t3\r\n", "channel\t3\r\nchannel\t2\r\n")},
        {"no comment", with("comment\t", "note\t")},
        {"unknown escape", with("\\r\\n", "\\q")},
        {"short hex escape", with("\\x01 ", "\\x0")},
        {"bad hex escape", with("\\x01", "\\xZ1")},
        {"escape at the end of a field", with("unit\t123456", "unit\t123456\\")},
        {"row with a field missing", with("\t1\t14:03:30\t1234\t0\r\n", "\t1\t14:03:30\t1234\r\n")},
        {"row shown as 2", with("row\t1\t1\t", "row\t2\t1\t")},
        {"row count does not match", with("end\t3", "end\t2")},
        {"bad time", with("2026-12-08 14:03:22.123", "2026-13-08 14:03:22.123")},
        {"time without milliseconds", with("2026-12-08 14:03:22.123", "2026-12-08 14:03:22")},
        {"a field too many on a single-value line", with("sensor\t5", "sensor\t5\t6")},
        {"bytes after the end", good + "row\t1\t4\t\t\t\r\n"},
        {"no line end at the end", good.substr(0, good.size() - 1) + "x"},
        {"binary noise", std::string("\0\xFF\x01revodive-calibration\t1\r\n", 27)},
    };
    for (const Case& c : cases) EXPECT_FALSE(ParseKeptTable(c.text).has_value()) << c.what;

    // What a later version may add is skipped; LF line ends are read as well.
    EXPECT_TRUE(ParseKeptTable(with("comment\t", "colour\tred\r\ncomment\t")).has_value());
    std::string lf = good;
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
    EXPECT_TRUE(ParseKeptTable(lf).has_value());
}

TEST(KeptTableFolder, EachTableKeepsOneFileListedNewestFirst) {
    test::TempFolder dir;
    KeptTableState a = Sample();
    KeptTableState b = Sample();
    b.channel = 1;
    b.rows.clear();
    b.firstChange = {2026, 12, 8, 14, 10, 0, 0};
    b.lastChange = {2026, 12, 8, 14, 40, 0, 0};
    ASSERT_EQ(SaveKeptTable(dir.path(), a), std::nullopt);
    ASSERT_EQ(SaveKeptTable(dir.path(), b), std::nullopt);
    // A later change of table a rewrites its file.
    a.rows.push_back({"3", "14:50:00", "1500", "9000", true});
    a.lastChange = {2026, 12, 8, 14, 50, 0, 0};
    ASSERT_EQ(SaveKeptTable(dir.path(), a), std::nullopt);
    // Files that are not kept tables are passed over.
    test::WriteAll(dir.path() / "garbled.cal", "revodive-calibration\t1\r\nchannel\t");
    test::WriteAll(dir.path() / "empty.cal", "");
    test::WriteAll(dir.path() / "other.txt", KeptTableText(b));
    fs::create_directory(dir.path() / "folder.cal");

    const std::vector<KeptTable> kept = ListKeptTables(dir.path());
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_TRUE(kept[0].state == a);
    EXPECT_EQ(kept[0].file, dir.path() / KeptTableFileName(a));
    EXPECT_TRUE(kept[1].state == b);
    EXPECT_TRUE(ListKeptTables(dir.path() / "missing").empty());

    const auto error = SaveKeptTable(dir.path() / "missing", a);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->rfind("Cannot create file", 0), 0u);
}

}  // namespace
}  // namespace rv
