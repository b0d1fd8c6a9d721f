#include "files/Journal.h"

#include <gtest/gtest.h>

#include "support/FileSizeLimit.h"
#include "support/TempFolder.h"
#include "text/Cp1251.h"

namespace rv {
namespace {

namespace fs = std::filesystem;
using test::NamesIn;
using test::ReadAll;
using test::TempFolder;

const LocalDateTime kStart{2026, 12, 8, 14, 3, 22, 517};

Journal::Options In(const fs::path& folder) {
    Journal::Options o;
    o.folder = folder;
    return o;
}

TEST(Journal, FileNames) {
    struct Case {
        std::string port, unitId, name;
    } cases[] = {
        {"COM9", "", "2026-12-08_14-03-22_COM9.log"},
        {"COM9", "123456", "2026-12-08_14-03-22_COM9_123456.log"},
        {"COM12", "a/b:c", "2026-12-08_14-03-22_COM12_a-b-c.log"},
        {"COM1", W("Блок"), "2026-12-08_14-03-22_COM1_" + W("Блок") + ".log"},
    };
    for (const Case& c : cases) EXPECT_EQ(JournalFileName(kStart, c.port, c.unitId), c.name);
    const std::string longName = JournalFileName(kStart, "COM1", std::string(300, '7'));
    EXPECT_EQ(longName.size(), 255u);
    EXPECT_EQ(longName.substr(251), ".log");
}

// One stretch: the lines reach the file exactly as handed over, under the name of the start time
// and port, then under the name with the unit ID; the next stretch gets a file of its own.
TEST(Journal, EachStretchOfReceptionIsAFileOfItsExactBytes) {
    TempFolder dir;
    Journal journal(In(dir.path()));
    journal.Append("before any start\r\n");  // nothing is open: not kept
    journal.Start(kStart, "COM9");
    journal.Append("14:03:22.600  >DN=123456\r\n");
    journal.Flush();
    EXPECT_EQ(journal.CurrentFile(), dir.path() / "2026-12-08_14-03-22_COM9.log");
    EXPECT_EQ(ReadAll(journal.CurrentFile()), "14:03:22.600  >DN=123456\r\n");

    journal.SetUnitId("123456");
    journal.Append("14:03:23.000  \xCA\xEE\xEC\r\n");
    journal.SetUnitId("123456");  // the same ID again: nothing to do
    journal.Flush();
    const fs::path named = dir.path() / "2026-12-08_14-03-22_COM9_123456.log";
    EXPECT_EQ(journal.CurrentFile(), named);
    EXPECT_EQ(ReadAll(named), "14:03:22.600  >DN=123456\r\n14:03:23.000  \xCA\xEE\xEC\r\n");

    journal.Close();
    journal.Append("after the close\r\n");
    journal.Start(kStart, "COM9");  // a clear in the same second: a file of its own
    journal.Append("next\r\n");
    journal.Start(kStart, "COM9");  // and again: that name is taken now
    journal.Append("third\r\n");
    journal.Flush();
    EXPECT_EQ(ReadAll(dir.path() / "2026-12-08_14-03-22_COM9.log"), "next\r\n");
    EXPECT_EQ(ReadAll(dir.path() / "2026-12-08_14-03-22_COM9-2.log"), "third\r\n");
    EXPECT_EQ(ReadAll(named), "14:03:22.600  >DN=123456\r\n14:03:23.000  \xCA\xEE\xEC\r\n");
    EXPECT_EQ(journal.TakeFailure(), std::nullopt);
}

TEST(Journal, ClosingOrDestroyingPutsEverythingOnTheDisk) {
    TempFolder dir;
    {
        Journal::Options o = In(dir.path());
        o.flushInterval = std::chrono::hours(1);  // only the close writes
        Journal journal(o);
        journal.Start(kStart, "COM3");
        journal.Append("a\r\n");
        journal.Close();
        journal.Start(kStart, "COM4");
        journal.Append("b\r\n");
    }
    EXPECT_EQ(ReadAll(dir.path() / "2026-12-08_14-03-22_COM3.log"), "a\r\n");
    EXPECT_EQ(ReadAll(dir.path() / "2026-12-08_14-03-22_COM4.log"), "b\r\n");
}

// A journal that cannot be written (no folder; a disk that fills up) reports it once; appending
// goes on without error and the next working stretch is written again.
TEST(Journal, AWriteFailureIsReportedOnceAndReceptionGoesOn) {
    TempFolder dir;
    {
        Journal journal(In(dir.path() / "missing"));
        journal.Start(kStart, "COM9");
        for (int i = 0; i < 3; ++i) {
            journal.Append("line\r\n");
            journal.Flush();
        }
        const auto failure = journal.TakeFailure();
        ASSERT_TRUE(failure.has_value());
        EXPECT_NE(failure->find("missing/2026-12-08_14-03-22_COM9.log"), std::string::npos)
            << *failure;
        journal.Start(kStart, "COM8");
        journal.Append("line\r\n");
        journal.Flush();
        EXPECT_EQ(journal.TakeFailure(), std::nullopt) << "reported once";
    }
    Journal journal(In(dir.path()));
    journal.Start(kStart, "COM9");
    const std::string kept(1000, 'k');
    journal.Append(kept);
    journal.Flush();
    {
        test::FileSizeLimit full(1500);
        for (int i = 0; i < 3; ++i) {
            journal.Append(std::string(1000, 'x'));
            journal.Flush();
        }
    }
    EXPECT_TRUE(journal.TakeFailure().has_value());
    EXPECT_EQ(journal.TakeFailure(), std::nullopt);
    journal.Start(kStart, "COM7");
    journal.Append("again\r\n");
    journal.Flush();
    EXPECT_EQ(ReadAll(dir.path() / "2026-12-08_14-03-22_COM7.log"), "again\r\n");
    EXPECT_EQ(journal.TakeFailure(), std::nullopt);
    EXPECT_EQ(ReadAll(dir.path() / "2026-12-08_14-03-22_COM9.log").substr(0, 1000), kept);
}

TEST(Journal, AWriterFarBehindDropsAndCountsInsteadOfGrowing) {
    TempFolder dir;
    Journal::Options o = In(dir.path());
    o.maxPendingBytes = 100;
    o.flushInterval = std::chrono::hours(1);  // the writer does not catch up on its own
    Journal journal(o);
    journal.Start(kStart, "COM9");
    journal.Append(std::string(60, 'a'));
    journal.Append(std::string(30, 'b'));
    journal.Append(std::string(60, 'c'));  // would pass the limit
    journal.Append(std::string(10, 'd'));  // still fits
    EXPECT_EQ(journal.DroppedBytes(), 60u);
    EXPECT_TRUE(journal.TakeFailure().has_value());
    journal.Flush();
    journal.Append(std::string(60, 'e'));  // the buffer was taken: room again
    journal.Flush();
    EXPECT_EQ(ReadAll(journal.CurrentFile()), std::string(60, 'a') + std::string(30, 'b') +
                                                  std::string(10, 'd') + std::string(60, 'e'));
    EXPECT_EQ(journal.DroppedBytes(), 60u);
}

TEST(Journal, OldJournalsAreRemovedWhenAStretchStartsAndEnds) {
    TempFolder dir;
    const auto plant = [&](const char* name, std::size_t bytes) {
        test::WriteAll(dir.path() / name, std::string(bytes, 'o'));
        fs::last_write_time(dir.path() / name,
                            fs::file_time_type::clock::now() - std::chrono::hours(24));
    };
    plant("old.log", 50);
    plant("notes.txt", 500);
    Journal::Options o = In(dir.path());
    o.limits = RetentionLimits{100, 365 * 86400};
    o.now = [] { return FileClockSeconds() + 400 * std::int64_t{86400}; };  // far in the future
    Journal journal(o);
    journal.Start(kStart, "COM9");
    journal.Append(std::string(30, 'n'));
    journal.Flush();
    EXPECT_EQ(NamesIn(dir.path()),
              (std::vector<std::string>{"2026-12-08_14-03-22_COM9.log", "notes.txt"}));
    journal.Close();
    journal.Flush();
    EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{"notes.txt"})
        << "once closed, the stretch is as old as the clock says";
}

}  // namespace
}  // namespace rv
