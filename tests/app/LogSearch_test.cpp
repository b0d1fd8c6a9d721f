#include "app/LogSearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/Cp1251.h"

namespace rv {
namespace {

using Lines = std::vector<std::uint32_t>;

LocalDateTime At(int h, int m, int s, int ms) {
    return {2026, 12, 8, h, m, s, ms};
}

// A short session: replies with their times, one line appended ready (a played file's line
// without a time), an empty reply.
void FillFixedLog(LogStore& log) {
    log.WriteLog(">GS=5\r\n", At(9, 5, 7, 4));                         // 0
    log.WriteLog(">LLS=0;1200;25\r\n", At(9, 5, 8, 120));              // 1
    log.WriteLog(W(">GSM=Нет связи\r\n"), At(10, 0, 0, 0));            // 2
    log.WriteLog(">lls=x\r\n", At(10, 15, 30, 500));                   // 3
    log.AppendLine(W("Связь восстановлена 12:30"));                    // 4
    log.WriteLog("\r\n", At(23, 59, 59, 999));                         // 5
    log.WriteLog(">GK=55.751244;37.618423\r\n", At(23, 59, 59, 999));  // 6
}

Lines AllMatches(LogSearch& search) {
    while (!search.Scan(2)) {
    }
    return search.Matches();
}

TEST(LogSearch, QueriesMatchTheLineAsShown) {
    struct Case {
        const char* query;  // UTF-8
        bool matchCase;
        Lines lines;
    } cases[] = {
        {">LLS=", false, {1, 3}},  // a reply key, either case
        {">LLS=", true, {1}},
        {"связ", false, {2, 4}},  // Cyrillic, either case
        {"СВЯЗ", false, {2, 4}},
        {"связ", true, {2}},
        {"09:05", false, {0, 1}},           // the time text
        {"07.004  >G", false, {0}},         // from the time into the received text
        {"0  ", false, {1, 2, 3}},          // the time's end and the two spaces
        {"  >", false, {0, 1, 2, 3, 6}},    // every timed reply
        {"  ", false, {0, 1, 2, 3, 5, 6}},  // every timed line; the ready one has no time
        {"9.999", false, {5, 6}},           // an empty reply is its time
        {"12:30", false, {4}},              // looks like a time, stands in the text
        {":", false, {0, 1, 2, 3, 4, 5, 6}},
        {"55.75", false, {6}},
        {"ничего", false, {}},  // no match
        {"", false, {}},        // an empty query matches nothing
    };
    LogStore log;
    FillFixedLog(log);
    for (const Case& c : cases) {
        LogSearch search(log);
        search.SetQuery(W(c.query), c.matchCase);
        EXPECT_EQ(AllMatches(search), c.lines) << c.query << (c.matchCase ? " (case)" : "");
        // Every line the search found holds the query where a view marks it, and no other does.
        for (std::size_t i = 0; i < log.Count(); ++i) {
            const bool found = std::find(c.lines.begin(), c.lines.end(), i) != c.lines.end();
            EXPECT_EQ(!search.SpansIn(log.Line(i)).empty(), found) << c.query << " line " << i;
        }
    }
}

TEST(LogSearch, SpansAreEveryPlaceLeftToRightWithoutOverlap) {
    struct Case {
        const char* query;
        const char* shown;
        std::vector<LogSearch::Span> spans;
    } cases[] = {
        {"0", "09:05:07.004  >GS=5", {{0, 1}, {3, 1}, {6, 1}, {9, 1}, {10, 1}}},
        {"aa", "aaaaa", {{0, 2}, {2, 2}}},
        {"gs=", "x >GS=5 >gs=6", {{3, 3}, {9, 3}}},
        {"x", "abc", {}},
    };
    LogStore log;
    for (const Case& c : cases) {
        LogSearch search(log);
        search.SetQuery(c.query, false);
        EXPECT_EQ(search.SpansIn(c.shown), c.spans) << c.query << " in " << c.shown;
    }
}

TEST(LogSearch, NextAndPreviousGoRoundTheEndsOfTheLog) {
    LogStore log;
    FillFixedLog(log);
    LogSearch search(log);
    search.SetQuery(">lls=", false);  // lines 1 and 3, found as they are asked for
    struct Step {
        const char* what;
        std::size_t got;
        std::size_t expected;
    };
    const Step steps[] = {
        {"first from 0", search.FirstFrom(0), 1},
        {"first from 2", search.FirstFrom(2), 3},
        {"first from 4", search.FirstFrom(4), LogSearch::kNone},
        {"last up to 2", search.LastUpTo(2), 1},
        {"last up to 0", search.LastUpTo(0), LogSearch::kNone},
        {"next after 1", search.Next(1), 3},
        {"next after 3", search.Next(3), 1},
        {"next from nowhere", search.Next(LogSearch::kNone), 1},
        {"previous before 3", search.Previous(3), 1},
        {"previous before 1", search.Previous(1), 3},
        {"previous from nowhere", search.Previous(LogSearch::kNone), 3},
        {"ordinal of 3", search.OrdinalOf(3), 1},
        {"ordinal of 2", search.OrdinalOf(2), LogSearch::kNone},
    };
    for (const Step& s : steps) EXPECT_EQ(s.got, s.expected) << s.what;
}

TEST(LogSearch, TheFirstMatchIsFoundWithoutScanningTheRest) {
    LogStore log;
    for (int i = 0; i < 100000; ++i)
        log.WriteLog(">GS=" + std::to_string(i) + "\r\n", At(9, 0, 0, 0));
    LogSearch search(log);
    search.SetQuery(">GS=5", true);
    EXPECT_EQ(search.FirstFrom(0), 5u);
    EXPECT_LT(search.Scanned(), log.Count());
    search.SetQuery(">GS=99990", true);
    EXPECT_EQ(search.FirstFrom(0), 99990u);
    EXPECT_EQ(search.Matches(), Lines{99990});
}

TEST(LogSearch, AMatchOverTheEndOfAStoreBlockIsFound) {
    // The store's first text block holds 4 KiB: the lines after the filler run over its end.
    LogStore log;
    log.AppendLine(std::string(4090, 'x'));
    log.AppendLine("abcdefgh");                      // bytes 4090..4097
    log.WriteLog("\r\n>LLS=1\r\n", At(9, 0, 0, 0));  // and one whose text is in the next block
    struct Case {
        const char* query;
        bool matchCase;
        Lines lines;
    } cases[] = {
        {"efgh", true, {1}},      {"EFGH", false, {1}},
        {"abcdefgh", true, {1}},  {"xa", true, {}},  // lines are not joined
        {"00  >LLS", false, {2}},
    };
    for (const Case& c : cases) {
        LogSearch search(log);
        search.SetQuery(c.query, c.matchCase);
        EXPECT_EQ(AllMatches(search), c.lines) << c.query;
    }
}

TEST(LogSearch, LinesArrivingLaterAreScannedAndTheClearStartsAfresh) {
    LogStore log;
    FillFixedLog(log);
    LogSearch search(log);
    search.SetQuery(">LLS=", true);
    EXPECT_EQ(AllMatches(search), Lines{1});
    EXPECT_TRUE(search.Complete());
    log.WriteLog(">LLS=1;2;3\r\n", At(23, 59, 59, 999));
    log.WriteLog(">GS=1\r\n", At(23, 59, 59, 999));
    EXPECT_FALSE(search.Complete());
    EXPECT_EQ(AllMatches(search), (Lines{1, 7}));

    log.Clear();
    search.LogCleared();
    EXPECT_TRUE(search.Matches().empty());
    log.WriteLog(">LLS=2\r\n", At(23, 59, 59, 999));
    EXPECT_EQ(AllMatches(search), Lines{0});
    EXPECT_EQ(search.Query(), ">LLS=");
}

// A played file sought backwards cuts the log back; the lines played next may differ from the
// ones cut. Whatever was scanned or found, the search then equals a fresh search of the new log.
TEST(LogSearch, ALogCutBackIsSearchedAsIfFresh) {
    struct Case {
        std::size_t scanBeforeCut;  // lines scanned before the cut
        std::size_t cutTo;
    };
    for (const Case c :
         {Case{7, 0}, Case{7, 1}, Case{7, 2}, Case{7, 4}, Case{2, 5}, Case{0, 3}, Case{7, 7}}) {
        LogStore log;
        FillFixedLog(log);
        LogSearch search(log);
        search.SetQuery("lls", false);
        search.Scan(c.scanBeforeCut);
        log.Truncate(c.cutTo);
        search.LogTruncated(c.cutTo);
        log.WriteLog(">LLS=9\r\n", At(23, 59, 59, 999));
        log.WriteLog(">GS=2\r\n", At(23, 59, 59, 999));
        log.WriteLog(">LLS=8\r\n", At(23, 59, 59, 999));
        log.WriteLog(">GS=3\r\n", At(23, 59, 59, 999));

        LogSearch fresh(log);
        fresh.SetQuery("lls", false);
        EXPECT_EQ(AllMatches(search), AllMatches(fresh)) << c.scanBeforeCut << " " << c.cutTo;
    }
}

}  // namespace
}  // namespace rv
