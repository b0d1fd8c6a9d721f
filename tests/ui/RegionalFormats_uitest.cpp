// The user's regional formats as the desktop's locale gives them, in the core's pattern language.
#include "ui/RegionalFormatsQt.h"

#include <gtest/gtest.h>

#include "text/Formats.h"

namespace rv {
namespace {

TEST(RegionalFormatsQt, LocalesGiveNumericDatesAndTimesWithoutZone) {
    const LocalDateTime t{2026, 12, 7, 21, 5, 7, 4};
    struct Case {
        QLocale locale;
        char decimal;
        const char* date;
        const char* time;
    } cases[] = {
        {QLocale(QLocale::Russian, QLocale::Russia), ',', "07.12.2026", "21:05:07"},
        {QLocale(QLocale::English, QLocale::UnitedStates), '.', "12/7/26", "9:05:07 PM"},
        {QLocale(QLocale::German, QLocale::Germany), ',', "07.12.26", "21:05:07"},
        {QLocale::c(), '.', "07.12.2026", "21:05:07"},  // month name replaced by its number
    };
    for (const auto& c : cases) {
        const RegionalFormats f = RegionalFormatsOf(c.locale);
        EXPECT_EQ(f.decimalSeparator, c.decimal) << c.locale.name().toStdString();
        EXPECT_EQ(ShortDateText(t, f), c.date) << c.locale.name().toStdString();
        EXPECT_EQ(LongTimeText(t, f), c.time) << c.locale.name().toStdString();
        EXPECT_EQ(f.timeSeparator, ':');
    }
}

}  // namespace
}  // namespace rv
