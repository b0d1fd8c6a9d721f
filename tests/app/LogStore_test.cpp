#include "app/LogStore.h"

#include <gtest/gtest.h>

namespace rv {
namespace {

TEST(LogStore, LineIsTimeTwoSpacesAndTheBlockWithoutItsLineEnds) {
    const LocalDateTime t{2026, 12, 7, 9, 5, 7, 4};
    struct Case {
        std::string block;
        std::string line;
    } cases[] = {
        {"\r\n>GS=5\r\n", "09:05:07.004  >GS=5"},
        {"\r\n", "09:05:07.004  "},
        {"", "09:05:07.004  "},
        {"a\rb\nc\n", "09:05:07.004  a\rb\nc"},  // inner line ends stay
        {std::string("x\0y\r\n", 5), std::string("09:05:07.004  x\0y", 17)},
    };
    LogStore log;
    for (const auto& c : cases) log.WriteLog(c.block, t);
    ASSERT_EQ(log.Count(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(log.Line(i), cases[i].line);
}

TEST(LogStore, TimeTextIsAlwaysTwelveCharacters) {
    EXPECT_EQ(LogStore::TimeText({2026, 1, 1, 0, 0, 0, 0}), "00:00:00.000");
    EXPECT_EQ(LogStore::TimeText({2026, 1, 1, 23, 59, 59, 999}), "23:59:59.999");
    EXPECT_EQ(LogStore::TimeText({2026, 1, 1, 12, 3, 4, 50}), "12:03:04.050");
}

TEST(LogStore, FileTextEndsEveryLineWithCrLfThenOneMore) {
    LogStore log;
    log.AppendLine("a");
    log.AppendLine("\xC0\xE1");
    EXPECT_EQ(log.FileText(), "a\r\n\xC0\xE1\r\n\r\n");
    log.Clear();
    EXPECT_EQ(log.Count(), 0u);
    EXPECT_EQ(log.FileText(), "\r\n");
}

TEST(LogStore, LinesStayIntactAcrossChunksAndHugeLines) {
    LogStore log;
    const std::string big(3 << 20, 'x');  // longer than a chunk
    for (int i = 0; i < 50000; ++i) log.AppendLine(std::to_string(i) + std::string(20, 'a'));
    log.AppendLine(big);
    log.AppendLine("tail");
    EXPECT_EQ(log.Line(0), "0" + std::string(20, 'a'));
    EXPECT_EQ(log.Line(49999), "49999" + std::string(20, 'a'));
    EXPECT_EQ(log.Line(50000).size(), big.size());
    EXPECT_EQ(log.Line(50001), "tail");
}

TEST(LogStore, EveryLineAndEveryTailOfTheFileReadBackAsWritten) {
    // Lengths around the index's two-byte limit and lines that run over the ends of the growing
    // text blocks (4 KiB, 8 KiB, ...), timed and ready lines mixed.
    const std::size_t lengths[] = {0, 1, 4095, 4097, 9000, 65534, 65535, 65536, 200000, 13, 0};
    LogStore log;
    std::vector<std::string> expected;
    for (int round = 0; round < 40; ++round) {
        for (std::size_t i = 0; i < std::size(lengths); ++i) {
            const std::string text(lengths[i] / (round + 1), static_cast<char>('a' + i));
            const LocalDateTime t{2026,  12,        7, (round + 3) % 24, static_cast<int>(i) * 5,
                                  round, round * 25};
            if ((round + i) % 3 == 0) {
                log.AppendLine(text);
                expected.push_back(text);
            } else {
                log.WriteLog("\r\n" + text + "\r\n", t);
                expected.push_back(LogStore::TimeText(t) + "  " + text);
            }
        }
    }
    ASSERT_EQ(log.Count(), expected.size());
    std::string file;
    for (std::size_t i = expected.size(); i-- > 0;) {
        EXPECT_EQ(log.Line(i), expected[i]) << i;
        file.insert(0, expected[i] + "\r\n");
        std::string tail;
        log.AppendFileLines(i, tail);
        EXPECT_EQ(tail, file) << i;
    }
    EXPECT_EQ(log.FileText(), file + "\r\n");
    // Read in place from any line on, with the time in front as the line shows it.
    std::string scratch;
    for (std::size_t from : {std::size_t{0}, std::size_t{7}, expected.size() - 1}) {
        std::size_t next = from;
        log.VisitTexts(from, expected.size(), scratch, [&](std::size_t i, std::string_view text) {
            ASSERT_EQ(i, next++);
            char time[LogStore::kTimePrefixSize];
            EXPECT_EQ(std::string(log.TimePrefix(i, time)) + std::string(text), expected[i]) << i;
        });
        EXPECT_EQ(next, expected.size());
    }
}

// Lines of every shape: short ones, some running over the ends of the growing text blocks, two
// beyond the index's two-byte length, timed and ready lines mixed.
void AppendSample(LogStore& log, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
        std::size_t length = 10 + i % 13;
        if (i % 7 == 3) length = 5000;
        if (i == 300) length = 70000;
        if (i == 700) length = 200000;
        const std::string text(length, static_cast<char>('a' + i % 26));
        if (i % 5 == 0) {
            log.AppendLine(text);
        } else {
            const int ms = static_cast<int>(i) * 37;
            log.WriteLog(text, {2026, 12, 7, 9, ms / 60000 % 60, ms / 1000 % 60, ms % 1000});
        }
    }
}

TEST(LogStore, ATruncatedLogIsTheShorterLogAndGrowsAsAFreshOne) {
    constexpr std::size_t kLines = 1200;
    LogStore whole;
    AppendSample(whole, 0, kLines);
    // Index pages hold 256 lines with a text position every 32; lines 300 and 700 are long.
    const std::size_t counts[] = {0,   1,   31,  32,  33,  255,  256,  257, 300,
                                  301, 512, 699, 700, 701, 1199, 1200, 5000};
    for (const std::size_t count : counts) {
        const std::size_t kept = std::min(count, kLines);
        LogStore log;
        AppendSample(log, 0, kLines);
        log.Truncate(count);
        LogStore fresh;
        AppendSample(fresh, 0, kept);
        ASSERT_EQ(log.Count(), kept) << count;
        EXPECT_EQ(log.FileText(), fresh.FileText()) << count;
        // The blocks of the dropped text are freed (the lists of blocks and pages keep their size).
        EXPECT_LE(log.MemoryBytes(), fresh.MemoryBytes() + 16 * 1024) << count;
        AppendSample(log, kept, kLines);
        EXPECT_EQ(log.FileText(), whole.FileText()) << count;
        // Each line is found through the text positions the index keeps, rewritten or kept.
        for (std::size_t i = 0; i < kLines; ++i) {
            if (log.Line(i) != whole.Line(i)) ADD_FAILURE() << count << ": line " << i;
        }
    }
}

}  // namespace
}  // namespace rv
