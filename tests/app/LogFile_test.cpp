#include "app/LogFile.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/TempFolder.h"

namespace rv {
namespace {

std::vector<std::string> Texts(const LogFile& file) {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < file.Count(); ++i) texts.emplace_back(file.Text(i));
    return texts;
}

TEST(LogFile, ReadsEveryKindOfLogFile) {
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> texts;
        std::vector<std::int32_t> times;
        std::size_t skipped;
    } cases[] = {
        {"saved by the console",
         "09:05:07.004  >DI=200\r\n23:59:59.999  \r\n\r\n",
         {">DI=200", ""},
         {32707004, 86399999},
         0},
        {"LF-only ends",
         "00:00:01.000  >DN=1\n00:00:02.500  +CSQ: 18,99\n",
         {">DN=1", "+CSQ: 18,99"},
         {1000, 2500},
         0},
        {"journal cut mid-line", "00:00:01.000  >DN=1\r\n00:00:02.000  >DN=", {">DN=1"}, {1000}, 1},
        {"bare capture",
         ">DN=1\r\nmodem chatter\r\n>ML=5\r\n",
         {">DN=1", "modem chatter", ">ML=5"},
         {-1, -1, -1},
         0},
        {"untimed and overlong lines among timed ones",
         "00:00:01.000  >DN=1\r\nstray\r\n25:00:00.000  >DN=2\r\n00:00:03.000  " +
             std::string(LogFile::kMaxLineLength + 1, 'x') + "\r\n00:00:04.000  >DN=3\r\n",
         {">DN=1", ">DN=3"},
         {1000, 4000},
         3},
        {"a Windows-1251 line keeps its bytes",
         "00:00:01.000  >MO=\xcc\xe5\xe3\xe0\xd4\xee\xed\r\n",
         {">MO=\xcc\xe5\xe3\xe0\xd4\xee\xed"},
         {1000},
         0},
    };
    for (const auto& c : cases) {
        std::string whyNot;
        const auto file = LogFile::Index(c.bytes, &whyNot);
        ASSERT_TRUE(file.has_value()) << c.what << ": " << whyNot;
        EXPECT_EQ(Texts(*file), c.texts) << c.what;
        std::vector<std::int32_t> times;
        for (std::size_t i = 0; i < file->Count(); ++i) times.push_back(file->TimeMs(i));
        EXPECT_EQ(times, c.times) << c.what;
        EXPECT_EQ(file->SkippedLines(), c.skipped) << c.what;
    }
}

TEST(LogFile, WhatIsNoLogIsRefusedWithItsReason) {
    test::TempFolder dir;
    const auto write = [&](const char* name, const std::string& bytes) {
        std::ofstream(dir.path() / name, std::ios::binary) << bytes;
        return dir.path() / name;
    };
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>(i * 7 % 256);
    struct Case {
        std::filesystem::path path;
        const char* reason;
    } cases[] = {
        {dir.path(), "папка"},
        {write("empty.log", ""), "пуст"},
        {write("image.bin", binary), "не текстовый"},
        {write("notes.txt", "shopping list\r\nmilk\r\n"), "нет строк журнала"},
        {write("only-cut.log", "00:00:01.000  >DN="), "нет строк журнала"},
        {dir.path() / "missing.log", "не открывается"},
    };
    for (const auto& c : cases) {
        const auto result = ReadLogFile(c.path);
        ASSERT_TRUE(std::holds_alternative<std::string>(result)) << c.path;
        EXPECT_NE(std::get<std::string>(result).find(c.reason), std::string::npos)
            << c.path << ": " << std::get<std::string>(result);
    }
}

TEST(LogFile, TimeTextsRoundTrip) {
    for (const char* text : {"00:00:00.000", "09:05:07.004", "23:59:59.999"}) {
        const std::int32_t ms = LogFile::LeadingTime(std::string(text) + "  x");
        EXPECT_EQ(LogFile::TimeText(ms), text);
    }
    for (const char* line :
         {"9:05:07.004  x", "09:05:07.004 x", "09:60:07.004  x", "09:05:07,004  x"}) {
        EXPECT_EQ(LogFile::LeadingTime(line), LogFile::kNoTime) << line;
    }
}

}  // namespace
}  // namespace rv
