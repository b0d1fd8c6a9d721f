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

}  // namespace
}  // namespace rv
