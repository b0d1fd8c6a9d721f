#include "app/LogSave.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "text/Cp1251.h"

namespace rv {
namespace {

TEST(LogSave, ProposedNames) {
    RegionalFormats ru;  // dd.MM.yyyy and H:mm:ss
    RegionalFormats us;
    us.shortDateFormat = "M/d/yyyy";
    us.longTimeFormat = "h:mm:ss AP";
    const LocalDateTime t{2026, 12, 7, 9, 5, 7, 4};
    const LocalDateTime evening{2026, 12, 7, 21, 5, 7, 4};
    struct Case {
        std::string unitId, imei;
        const RegionalFormats* formats;
        LocalDateTime when;
        std::string name;
    } cases[] = {
        {"123456", "356938035643809", &ru, t, "123456-356938035643809-07-12-2026-9-05-07.log"},
        {"-", "-", &ru, t, "----07-12-2026-9-05-07.log"},              // no unit seen yet
        {"12/34", "a:b", &ru, t, "12-34-a-b-07-12-2026-9-05-07.log"},  // unsafe characters
        {"7", "8", &us, evening, "7-8-12-7-2026-9-05-07---.log"},      // PM marker
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProposedLogFileName(c.unitId, c.imei, c.when, *c.formats), c.name) << c.name;
    }
}

TEST(LogSave, WritesEveryLineWithCrLfAndReplacesTheFile) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("revodive-logsave-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto path = (dir / "log.log").string();
    LogStore log;
    log.WriteLog(W(">DI=200;1;5\r\n"), {2026, 12, 7, 9, 5, 7, 4});
    log.WriteLog("\r\n", {2026, 12, 7, 9, 5, 8, 0});
    { std::ofstream(path) << "old content that is longer than the log"; }
    ASSERT_FALSE(SaveLogFile(path, log).has_value());
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(bytes, "09:05:07.004  >DI=200;1;5\r\n09:05:08.000  \r\n\r\n");
    std::filesystem::remove_all(dir);
}

TEST(LogSave, AFileThatCannotBeCreatedIsReported) {
    LogStore log;
    const auto error = SaveLogFile("/nonexistent-folder-of-revodive/x.log", log);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->kind, FileErrorKind::NoFolder) << error->systemText;
}

}  // namespace
}  // namespace rv
