#include "trends/TrendFields.h"

#include <gtest/gtest.h>

#include "protocol/DisplayModel.h"
#include "text/Cp1251.h"

namespace rv {
namespace {

TEST(TrendFields, TextsAreReadAsNumbersOrGaps) {
    using R = NumberReading;
    struct Case {
        const char* text;  // UTF-8
        R reading;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"12,60 В", R::Leading, 12.6},
        {" 4.20 В", R::Leading, 4.2},
        {"[17]", R::Leading, 17},
        {"+23", R::Leading, 23},
        {"-6", R::Leading, -6},
        {"3[512] B", R::Leading, 3},
        {"340/5", R::Leading, 340},
        {"1500 rpm", R::Leading, 1500},
        {"55.751234", R::Leading, 55.751234},
        {"12 %", R::Leading, 12},
        {"7.", R::Leading, 7},
        {"12345678901234567890123", R::Leading, 12345678901234567890123.0},
        {"0.0000000000000000001", R::Leading, 1e-19},
        {"-", R::Leading, std::nullopt},
        {"", R::Leading, std::nullopt},
        {"---", R::Leading, std::nullopt},
        {"Err", R::Leading, std::nullopt},
        {"замкнут", R::Leading, std::nullopt},
        {"NAN", R::Leading, std::nullopt},
        {"0", R::ByteSize, 0},
        {"812 B", R::ByteSize, 812},
        {"10,5 KB", R::ByteSize, 10.5 * 1024},
        {"1.2 MB", R::ByteSize, 1.2 * 1048576},
        {"-", R::ByteSize, std::nullopt},
        {"25:01:01", R::Duration, 25 + 1 / 60.0 + 1 / 3600.0},
        {"0:00:59", R::Duration, 59 / 3600.0},
        {"0:60:00", R::Duration, std::nullopt},
        {"12", R::Duration, std::nullopt},
        {"-", R::Duration, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto n = ReadFieldNumber(W(c.text), c.reading, ',');
        ASSERT_EQ(n.has_value(), c.expected.has_value()) << c.text;
        if (n) {
            EXPECT_NEAR(*n, *c.expected, 1e-9) << c.text;
        }
    }
}

TEST(TrendFields, EveryFieldIsADisplayFieldOnce) {
    DisplayModel display;
    std::vector<int> seen;
    for (const TrendField& f : TrendFields()) {
        const int field = display.Find(f.name);
        ASSERT_GE(field, 0) << f.name;
        EXPECT_EQ(std::count(seen.begin(), seen.end(), field), 0) << f.name;
        seen.push_back(field);
    }
}

TEST(TrendFields, FieldsAreNamedAsTheWindowShowsThem) {
    DisplayModel display;
    display.ClearDisplay();
    display.SetCaption(display.Field("LL2"), W("Частотный 2:"));
    display.SetCaption(display.Field("LLS1"), "85:");
    display.SetCaption(display.Field("LLOWT0"), "28FF4A1B:");
    struct Case {
        const char* field;
        const char* group;
        const char* caption;
    };
    const Case cases[] = {
        {"LL_PB0", "Дискретные входы / выходы", "Внешнее питание"},
        {"LL_ML", "GSM", "Уровень сигнала"},
        {"LL_GS3", "Навигация", "HDOP"},
        {"LL_I2", "Дискретные входы / выходы", "Частотный 2"},
        {"LL_I3", "Дискретные входы / выходы", "Вход/выход 3"},
        {"LL_CJ", "датчик CAN-LOG", "Скорость ТС (км/ч)"},
        {"LL_LS1Z", "датчик LLS", "LLS 85: частота"},
        {"LL_LS2T", "датчик LLS", "LLS строка 3: температура"},
        {"LL_OW0", "датчик 1-wire температура", "Датчик 28FF4A1B"},
        {"LL_OW1", "датчик 1-wire температура", "Датчик строка 2"},
    };
    for (const Case& c : cases) {
        const TrendFieldLabel label = LabelOfTrendField(display, display.Field(c.field));
        EXPECT_EQ(label.group, c.group) << c.field;
        EXPECT_EQ(label.caption, c.caption) << c.field;
    }
}

}  // namespace
}  // namespace rv
