// What the console keeps of a session on its own, driven through the running console without
// widgets: the journal gets every logged line in the saved log's bytes, one file per stretch of
// reception; calibration tables survive the unit's restart and restore into an identical export;
// a state folder that fails is reported once and reception goes on.
#include "app/SessionRecords.h"

#include <gtest/gtest.h>

#include "app/MainForm.h"
#include "support/FileSizeLimit.h"
#include "support/ScriptedPlatform.h"
#include "support/TempFolder.h"
#include "text/Cp1251.h"

namespace rv {
namespace {

namespace fs = std::filesystem;

struct Rig {
    explicit Rig(const fs::path& stateHome) {
        form =
            std::make_unique<MainForm>(formats, clock, test::ScriptedPlatform(device, &ticks, [] {
                                           return test::PortList({"COM3", "COM9"});
                                       }));
        form->FormCreate();
        SessionRecords::Options o;
        o.environment = [stateHome](const char* name) -> std::optional<std::string> {
            if (std::string_view(name) == "XDG_STATE_HOME") return stateHome.string();
            return std::nullopt;
        };
        records = std::make_unique<SessionRecords>(*form, o);
    }
    void Feed(std::string_view bytes) {
        device->QueueRead(bytes);
        form->Q().PollReceive();
    }
    std::string Text(const char* field) const {
        return form->Display().Text(form->Display().Field(field));
    }
    void Choose(int n, const std::string& source) {
        Recorder& rec = form->Calibration();
        rec.cmbDatNDropDown(n);
        const auto& items = rec.State(n).items;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == source) return rec.cmbDatNChange(n, static_cast<int>(i));
        FAIL() << "not offered: " << Cp1251ToUtf8(source);
    }
    // A reading arrives, the technician types its level and saves the row.
    void SaveRow(int n, const std::string& reply, const char* level) {
        Feed(reply);
        form->Calibration().pdN4Change(n, level);
        form->Calibration().cmdSNClick(n);
    }
    // The export file's bytes; the write is refused, so the channel keeps its table.
    std::string Export(int n) {
        struct Target : TarExportTarget {
            std::optional<std::string> AskSavePath(const std::string&,
                                                   const std::string&) override {
                return "/unused.txt";
            }
            std::optional<std::string> WriteFile(const std::string&,
                                                 const std::string& b) override {
                bytes = b;
                return "refused by the test";
            }
            std::string bytes;
        } target;
        form->Calibration().SaveTarFile(n, target, "/tmp/");
        return target.bytes;
    }
    const Report* JournalReport() const { return form->Reports().Standing(report_topic::kJournal); }

    RegionalFormats formats;
    FixedClock clock{{2026, 12, 8, 14, 3, 22, 123}};
    test::ManualTickSource ticks;
    test::ScriptedSerialDevice* device = nullptr;
    std::unique_ptr<MainForm> form;
    std::unique_ptr<SessionRecords> records;
};

TEST(SessionRecords, TheJournalHoldsEachStretchOfReceptionInTheSavedLogsBytes) {
    test::TempFolder home;
    Rig r(home.path());
    const fs::path folder = home.path() / "revodive" / "journal";
    ASSERT_EQ(r.records->JournalFolder(), folder);

    r.form->Connection().StartExecute(9);
    r.Feed(">GK=55.7512;37.6184\r\n>DN=123456\r\n");
    r.clock.Set({2026, 12, 8, 14, 3, 23, 5});
    r.Feed(">SERV=0\r\n");  // the unit restarts: the log is cleared, a new stretch begins
    const std::string firstStretch =
        "14:03:22.123  >GK=55.7512;37.6184\r\n"
        "14:03:22.123  >DN=123456\r\n"
        "14:03:23.005  >SERV=0\r\n";
    r.clock.Set({2026, 12, 8, 14, 3, 24, 0});
    r.Feed(">GK=1;2\r\n");
    std::string secondStretch;
    r.form->Log().AppendFileLines(0, secondStretch);
    r.form->Connection().StopActionExecute();
    r.records->SessionJournal()->Flush();

    EXPECT_EQ(test::NamesIn(folder),
              (std::vector<std::string>{"2026-12-08_14-03-22_COM9_123456.log",
                                        "2026-12-08_14-03-23_COM9.log"}));
    EXPECT_EQ(test::ReadAll(folder / "2026-12-08_14-03-22_COM9_123456.log"), firstStretch);
    EXPECT_EQ(test::ReadAll(folder / "2026-12-08_14-03-23_COM9.log"), secondStretch);
    EXPECT_EQ(secondStretch, "14:03:24.000  >GK=1;2\r\n");
    // A saved log of the same lines is the journal plus the closing CR LF.
    EXPECT_EQ(r.form->Log().FileText(), secondStretch + "\r\n");
    EXPECT_EQ(r.JournalReport(), nullptr);
}

TEST(SessionRecords, AStateFolderThatCannotBeMadeIsReportedAndReceptionGoesOn) {
    test::TempFolder home;
    test::WriteAll(home.path() / "state", "a file where the folder should be");
    Rig r(home.path() / "state");
    EXPECT_EQ(r.records->JournalFolder(), std::nullopt);
    EXPECT_EQ(r.records->CalibrationFolder(), std::nullopt);
    ASSERT_NE(r.JournalReport(), nullptr);
    EXPECT_NE(r.form->Reports().Standing(report_topic::kKeptTables), nullptr);
    r.form->Connection().StartExecute(9);
    r.Feed(">DN=123456\r\n>IA0=100\r\n");
    r.Choose(1, W("IN0 (аналоговый)"));
    r.SaveRow(1, ">IA0=101\r\n", "5");
    r.records->Poll();
    EXPECT_EQ(r.Text("LL_DN"), "123456");
    EXPECT_EQ(r.form->Log().Count(), 3u);
    EXPECT_EQ(r.form->Calibration().State(1).rows.size(), 1u);
    EXPECT_TRUE(r.records->KeptTables().empty());
}

TEST(SessionRecords, AFullDiskIsReportedOnceAndReceptionAndDisplayGoOn) {
    test::TempFolder home;
    Rig r(home.path());
    r.form->Connection().StartExecute(9);
    r.Feed(">DN=123456\r\n");
    r.records->SessionJournal()->Flush();
    std::size_t reports = 0;
    {
        test::FileSizeLimit full(200);
        for (int i = 0; i < 20; ++i) {
            r.Feed(">GK=" + std::to_string(i) + ";2\r\n");
            r.records->SessionJournal()->Flush();
            r.records->Poll();
            if (r.JournalReport() != nullptr) {
                ++reports;
                r.form->Reports().Withdraw(report_topic::kJournal);
            }
        }
    }
    EXPECT_EQ(reports, 1u);
    EXPECT_EQ(r.Text("LL_GK0"), "19");
    EXPECT_EQ(r.form->Log().Count(), 21u);
}

TEST(SessionRecords, TablesOfTwoChannelsSurviveTheUnitsRestartAndExportAsBefore) {
    test::TempFolder home;
    Rig r(home.path());
    r.form->Connection().StartExecute(9);
    r.Feed(">DN=123456\r\n>IA0=100\r\n>LLS=0;5;1000;2000;20\r\n");
    const std::string in0 = W("IN0 (аналоговый)"), lls0 = W("LLS0 (уровень)");
    r.Choose(1, in0);
    r.Choose(3, lls0);
    r.SaveRow(1, ">IA0=110\r\n", "0");
    r.SaveRow(3, ">LLS=0;5;1100;2000;20\r\n", "0");
    r.clock.Set({2026, 12, 8, 14, 5, 0, 0});
    r.SaveRow(1, ">IA0=120\r\n", "10");
    r.SaveRow(3, ">LLS=0;5;1250;2000;20\r\n", "10");
    r.SaveRow(3, ">LLS=0;5;1400;2000;20\r\n", "20");
    r.form->Calibration().ClickDel(3, 1);
    r.form->Calibration().SetComment(1, W("бак 60 л"));
    const std::string before1 = r.Export(1), before3 = r.Export(3);
    ASSERT_NE(before1.find("110"), std::string::npos);

    r.Feed(">SERV=0\r\n>DN=123456\r\n");  // the unit restarts: every channel is emptied
    for (int n = 1; n <= kTarChannels; ++n)
        EXPECT_TRUE(r.form->Calibration().State(n).rows.empty());

    const std::vector<KeptTable> kept = r.records->KeptTables();
    ASSERT_EQ(kept.size(), 2u);
    const KeptTableState* t1 = nullptr;
    const KeptTableState* t3 = nullptr;
    for (const KeptTable& k : kept) (k.state.channel == 1 ? t1 : t3) = &k.state;
    ASSERT_TRUE(t1 && t3);
    EXPECT_EQ(t1->sourceName, in0);
    EXPECT_EQ(t1->sensorAddress, "");
    EXPECT_EQ(t3->sourceName, lls0);
    EXPECT_EQ(t3->sensorAddress, "5");
    EXPECT_EQ(t3->unitId, "123456");
    EXPECT_EQ(t1->comment, W("бак 60 л"));
    EXPECT_EQ(t3->rows.size(), 3u);

    r.records->Restore(2, *t1);  // into another channel than it came from
    r.records->Restore(3, *t3);
    EXPECT_EQ(r.Export(2), before1);
    EXPECT_EQ(r.Export(3), before3);
}

}  // namespace
}  // namespace rv
