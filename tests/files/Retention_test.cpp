#include "files/Retention.h"

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace rv {
namespace {

namespace fs = std::filesystem;
constexpr std::int64_t kDay = 86400;

TEST(Retention, OldestFilesGoFirstUntilTheFolderIsWithinItsLimits) {
    const std::int64_t now = 1000 * kDay;
    const RetentionLimits limits{100, 90 * kDay};
    struct Case {
        const char* what;
        std::vector<KeptFile> files;
        std::string spare;
        std::vector<std::string> removed;
    } cases[] = {
        {"within both limits", {{"a", 50, now - kDay}, {"b", 50, now}}, "", {}},
        {"exactly 90 days is kept, a second more is not",
         {{"a", 1, now - 90 * kDay}, {"b", 1, now - 90 * kDay - 1}},
         "",
         {"b"}},
        {"over the size: the oldest go until the rest fits",
         {{"new", 40, now}, {"old", 40, now - 3 * kDay}, {"mid", 40, now - 2 * kDay}},
         "",
         {"old"}},
        {"listing order does not matter; equal times go by name",
         {{"c", 60, now}, {"b", 60, now - kDay}, {"a", 60, now - kDay}},
         "",
         {"a", "b"}},
        {"the open file is counted but spared",
         {{"open", 90, now - 200 * kDay}, {"x", 20, now}, {"y", 20, now - kDay}},
         "open",
         {"y", "x"}},
        {"old files go even when the size is fine",
         {{"a", 1, now - 100 * kDay}, {"b", 1, now - 95 * kDay}, {"c", 1, now}},
         "",
         {"a", "b"}},
        {"one file larger than the limit goes", {{"huge", 500, now}}, "", {"huge"}},
        {"nothing to check", {}, "", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FilesToRemove(c.files, now, limits, c.spare), c.removed) << c.what;
}

TEST(Retention, RemovesOnlyTheKeptKindFromTheFolder) {
    test::TempFolder dir;
    const auto now = fs::file_time_type::clock::now();
    const auto age = [&](const char* name, int days) {
        test::WriteAll(dir.path() / name, "12345");
        fs::last_write_time(dir.path() / name, now - std::chrono::hours(24 * days));
    };
    age("ancient.log", 120);
    age("ancient.txt", 120);  // not a journal: the technician's own file
    age("recent.log", 1);
    age("open.log", 120);
    fs::create_directory(dir.path() / "folder.log");
    const std::int64_t nowSeconds = FileClockSeconds();
    EXPECT_EQ(ApplyRetention(dir.path(), ".log", nowSeconds, RetentionLimits{}, "open.log"), 1u);
    EXPECT_EQ(test::NamesIn(dir.path()),
              (std::vector<std::string>{"ancient.txt", "folder.log", "open.log", "recent.log"}));
    // The size limit over a real listing: 5 bytes each, room for one.
    EXPECT_EQ(ApplyRetention(dir.path(), ".log", nowSeconds, RetentionLimits{5, 365 * kDay}), 1u);
    EXPECT_EQ(test::NamesIn(dir.path()),
              (std::vector<std::string>{"ancient.txt", "folder.log", "recent.log"}));
}

}  // namespace
}  // namespace rv
