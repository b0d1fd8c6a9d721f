#include "text/Formats.h"

#include <gtest/gtest.h>

namespace rv {
namespace {

TEST(Formats, FixedPointUsesTheRegionalDecimalSeparator) {
    RegionalFormats comma;
    comma.decimalSeparator = ',';
    RegionalFormats dot;
    struct Case {
        double v;
        int decimals;
        const char* withComma;
        const char* withDot;
    } cases[] = {
        {10.0, 1, "10,0", "10.0"}, {1234.56, 2, "1234,56", "1234.56"}, {0.05, 1, "0,1", "0.1"},
        {-0.5, 0, "-0", "-0"},     {11.999, 2, "12,00", "12.00"},      {2.5, 0, "2", "2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatFixed(c.v, c.decimals, comma), c.withComma) << c.v;
        EXPECT_EQ(FormatFixed(c.v, c.decimals, dot), c.withDot) << c.v;
    }
}

TEST(Formats, DatePatterns) {
    LocalDateTime t{2026, 12, 7, 9, 5, 7, 4};
    EXPECT_EQ(FormatDateTime(t, "dd.MM.yyyy"), "07.12.2026");
    EXPECT_EQ(FormatDateTime(t, "M/d/yy"), "12/7/26");
    EXPECT_EQ(FormatDateTime(t, "H:mm:ss"), "9:05:07");
    EXPECT_EQ(FormatDateTime(t, "HH:mm:ss"), "09:05:07");
    EXPECT_EQ(FormatDateTime({2026, 1, 1, 13, 0, 0, 0}, "h:mm:ss AP"), "1:00:00 PM");
    EXPECT_EQ(FormatDateTime({2026, 1, 1, 0, 0, 0, 0}, "h:mm ap"), "12:00 am");
    EXPECT_EQ(FormatDateTime(t, "yyyy'г.'"), "2026г.");
}

TEST(Formats, StandardDateTimeLeavesOutMidnight) {
    RegionalFormats f;
    EXPECT_EQ(DateTimeText({2026, 12, 7, 0, 0, 0, 0}, f), "07.12.2026");
    EXPECT_EQ(DateTimeText({2026, 12, 7, 0, 0, 1, 0}, f), "07.12.2026 0:00:01");
    f.timeSeparator = '.';
    EXPECT_EQ(HhNnSsText({2026, 12, 7, 9, 5, 7, 0}, f), "09.05.07");
}

TEST(Formats, DayCountToCalendar) {
    struct Case {
        double days;
        LocalDateTime expected;
    } cases[] = {
        {25569.0, {1970, 1, 1, 0, 0, 0, 0}},
        {25569.5, {1970, 1, 1, 12, 0, 0, 0}},
        {0.0, {1899, 12, 30, 0, 0, 0, 0}},
        {25569.0 + 4294967295.0 / 86400.0, {2106, 2, 7, 6, 28, 15, 0}},
        {25569.0 + 951782400.0 / 86400.0, {2000, 2, 29, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        LocalDateTime t = FromDayCount(c.days);
        EXPECT_EQ(t.year, c.expected.year) << c.days;
        EXPECT_EQ(t.month, c.expected.month) << c.days;
        EXPECT_EQ(t.day, c.expected.day) << c.days;
        EXPECT_EQ(t.hour, c.expected.hour) << c.days;
        EXPECT_EQ(t.minute, c.expected.minute) << c.days;
        EXPECT_EQ(t.second, c.expected.second) << c.days;
    }
}

}  // namespace
}  // namespace rv
