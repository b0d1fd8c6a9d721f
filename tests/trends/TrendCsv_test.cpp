#include "trends/TrendCsv.h"

#include <gtest/gtest.h>

#include "HistoryRig.h"

namespace rv {
namespace {

using namespace trends_test;

TEST(TrendCsv, ShownSeriesBecomeRowsOfHeldValues) {
    SessionAxis axis;
    axis.Place(At(8 * kHour));
    const std::int64_t t0 = 8 * kHour + 5000;
    const std::vector<CsvSeries> series = {
        {"Внешнее питание", {{t0 - 3000, 12.5}, {t0, 12.5}, {t0 + 1042, 11.75}, {t0 + 3000, kGap}}},
        {"Скорость, км/ч", {{t0 + 1042, 45}, {t0 + 2000, -3}, {t0 + 9000, 50}}},
    };
    const std::string expected =
        "\xEF\xBB\xBF"
        "Время,Внешнее питание,\"Скорость, км/ч\"\r\n"
        "2025-03-14 08:00:05.000,12.5,\r\n"
        "2025-03-14 08:00:06.042,11.75,45\r\n"
        "2025-03-14 08:00:07.000,11.75,-3\r\n"
        "2025-03-14 08:00:08.000,,-3\r\n";
    EXPECT_EQ(TrendCsvText(axis, series, t0, t0 + 3000), expected);
}

TEST(TrendCsv, TimesPastMidnightCarryTheNextDate) {
    SessionAxis axis;
    axis.Place(At(23 * kHour));
    const std::int64_t t = 24 * kHour + 7;
    EXPECT_EQ(TrendCsvText(axis, {{"x", {{t, 0.1f}}}}, 0, t),
              "\xEF\xBB\xBF"
              "Время,x\r\n2025-03-15 00:00:00.007,0.1\r\n");
}

}  // namespace
}  // namespace rv
