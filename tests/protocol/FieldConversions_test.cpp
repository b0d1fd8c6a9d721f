#include "protocol/FieldConversions.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <string>

#include "text/Cp1251.h"
#include "text/Formats.h"

namespace rv {
namespace {

using namespace std::string_literals;

TEST(FieldConversions, IntegerFields) {
    struct Case {
        std::string field;
        bool valid;
        std::int32_t value;
    } cases[] = {
        {"0", true, 0},
        {"42", true, 42},
        {"-17", true, -17},
        {"+5", true, 5},
        {"  12", true, 12},
        {" -3", true, -3},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, std::numeric_limits<std::int32_t>::min()},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999", false, 0},
        {"", false, 0},
        {" ", false, 0},
        {"-", false, 0},
        {"+-1", false, 0},
        {"12\r", false, 0},  // a CR left in the field
        {"12 ", false, 0},   // trailing space
        {"1.5", false, 0},
        {"0x10", false, 0},
        {"$10", false, 0},
        {"- 1", false, 0},
        {"00012", true, 12},
    };
    for (const auto& c : cases) {
        std::int32_t v = 99;
        EXPECT_EQ(ParseInt32(c.field, v), c.valid) << c.field;
        if (c.valid) {
            EXPECT_EQ(v, c.value) << c.field;
        }
        EXPECT_EQ(IntField(c.field), c.valid ? c.value : 0) << c.field;
        EXPECT_EQ(IntField(c.field, -7), c.valid ? c.value : -7) << c.field;
        if (c.valid) {
            EXPECT_EQ(StrictIntField(c.field), c.value);
        } else {
            EXPECT_THROW(StrictIntField(c.field), ConversionError) << c.field;
        }
    }
    std::int64_t big = 0;
    EXPECT_TRUE(ParseInt64("-9223372036854775808", big));
    EXPECT_EQ(big, std::numeric_limits<std::int64_t>::min());
    EXPECT_TRUE(ParseInt64("9223372036854775807", big));
    EXPECT_FALSE(ParseInt64("9223372036854775808", big));
}

TEST(FieldConversions, ConversionErrorNamesTheFieldInItsMessage) {
    const std::string field = W("12ы\r");
    try {
        StrictIntField(field);
        FAIL() << "no conversion error";
    } catch (const ConversionError& e) {
        EXPECT_EQ(std::string(e.what()), "'" + field + "' is not a valid integer value");
        EXPECT_EQ(e.Field(), field);
    }
}

std::int64_t Bits(float f) {
    return std::bit_cast<std::uint32_t>(f);
}

TEST(FieldConversions, FloatBitsTexts) {
    RegionalFormats dot;
    RegionalFormats comma;
    comma.decimalSeparator = ',';
    struct Case {
        std::int64_t bits;
        int decimals;
        const char* dotText;
        const char* commaText;
    } cases[] = {
        {1065353216, 4, "1.0000", "1,0000"},  // 1.0
        {0, 4, "0.0000", "0,0000"},
        {1103364096, 2, "24.50", "24,50"},  // 24.5
        {Bits(-3.25f), 2, "-3.25", "-3,25"},
        {Bits(-0.0f), 4, "0.0000", "0,0000"},       // negative zero has no sign
        {Bits(-0.00004f), 4, "0.0000", "0,0000"},   // rounds to zero: no sign
        {Bits(0.00006f), 4, "0.0001", "0,0001"},    // rounds up to the last decimal
        {Bits(9.99996f), 4, "10.0000", "10,0000"},  // carry into a new digit
        {Bits(0.125f), 2, "0.13", "0,13"},          // exact half: away from zero
        {Bits(-0.125f), 2, "-0.13", "-0,13"},
        {Bits(1234567.875f), 4, "1234567.8750", "1234567,8750"},   // 10 digits exactly
        {Bits(1048575.9375f), 4, "1048575.9380", "1048575,9380"},  // 11th digit rounded away
        {Bits(100000.03125f), 4, "100000.0313", "100000,0313"},    // a tie at the 10th: away
        {0x3DCD844D, 4, "0.1003", "0,1003"},  // 0.100349999964...: rounded once, not twice
        {0x3E64816F, 4, "0.2231", "0,2231"},  // 0.223149999976...
        {0xBDCD844D, 4, "-0.1003", "-0,1003"},
        {Bits(123456792.0f), 4, "123456792.0000", "123456792,0000"},
        {Bits(1e10f), 2, "1E+10", "1E+10"},  // exponent form
        {Bits(3.4028234663852886e38f), 2, "3.402823466E+38", "3,402823466E+38"},
        {Bits(-1.5e12f), 4, "-1.500000027E+12", "-1,500000027E+12"},  // nearest single
        {0x7FC00000, 4, "NAN", "NAN"},
        {0x7F800000, 4, "INF", "INF"},
        {0xFF800000, 4, "-INF", "-INF"},
        {Bits(1.0f) + (std::int64_t{7} << 32), 4, "1.0000", "1,0000"},  // only the low 32 bits
        {-1082130432, 2, "-1.00", "-1,00"},     // negative integer: its low 32 bits 0xBF800000
        {Bits(1e-45f), 4, "0.0000", "0,0000"},  // the smallest subnormal
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FloatBitsText(c.bits, c.decimals, dot), c.dotText) << c.bits;
        EXPECT_EQ(FloatBitsText(c.bits, c.decimals, comma), c.commaText) << c.bits;
    }
}

TEST(FieldConversions, FloatBitsFieldsOrConversionError) {
    RegionalFormats f;
    struct Case {
        std::string field;
        bool ok;
        std::string text;
    } cases[] = {
        {"1065353216", true, "1.0000"},
        {" -0", true, "0.0000"},
        {"9223372036854775807", true, "NAN"},  // low 32 bits all ones
        {"", false, ""},
        {"1.0", false, "1.0"},
        {"9223372036854775808", false, "9223372036854775808"},
        {"12;", false, "12;"},
        {"1065353216\r", false, "1065353216\r"},
    };
    for (const auto& c : cases) {
        if (c.ok) {
            EXPECT_EQ(FloatBitsField(c.field, 4, f), c.text) << c.field;
        } else {
            try {
                FloatBitsField(c.field, 4, f);
                ADD_FAILURE() << "no failure for " << c.field;
            } catch (const ConversionError& e) {
                EXPECT_EQ(e.Field(), c.text);
            }
        }
    }
}

TEST(FieldConversions, ScaledIntegerTexts) {
    RegionalFormats comma;
    comma.decimalSeparator = ',';
    struct Case {
        std::int64_t value;
        int scale;
        int decimals;
        const char* text;
    } cases[] = {
        {123456, 2, 2, "1234,56"},
        {15, 1, 1, "1,5"},
        {0, 1, 1, "0,0"},
        {5, 2, 2, "0,05"},
        {-5, 2, 2, "-0,05"},
        {11999, 3, 2, "12,00"},
        {4205, 3, 2, "4,21"},
        {4204, 3, 2, "4,20"},
        {-4205, 3, 2, "-4,21"},
        {-4, 3, 2, "0,00"},
        {3, 0, 2, "3,00"},
        {7, 0, 0, "7"},
        {std::numeric_limits<std::int64_t>::min(), 2, 2, "-92233720368547758,08"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScaledIntText(c.value, c.scale, c.decimals, comma), c.text) << c.value;
    }
}

TEST(FieldConversions, SignedByteTexts) {
    struct Case {
        const char* field;
        const char* text;
    } cases[] = {
        {"127", "+127"},  {"128", "-128"}, {"0", "+0"},    {"250", "-6"},
        {"25", "+25"},    {"-5", "-5"},    {"255", "-1"},  {"256", "+0"},
        {"-129", "+127"}, {"", "Err"},     {"abc", "Err"}, {"12\r", "Err"},
    };
    for (const auto& c : cases) EXPECT_EQ(SignedByteText(c.field), c.text) << c.field;
}

TEST(FieldConversions, PackedCharsTexts) {
    struct Case {
        const char* field;
        std::string text;
    } cases[] = {
        {"1094861636", "ABCD"},
        {"16706", "AB"},
        {"65", "A"},
        {"", ""},
        {"0", "\0"s},                // the lowest byte is always there
        {"1090519105", "AA"},        // bytes A,0,0,A: zero bytes above the lowest are skipped
        {"-1", "\xFF\xFF\xFF\xFF"},  // shifted as unsigned
        {"16640", "A\0"s},           // bytes 0,0,A,0
    };
    for (const auto& c : cases) EXPECT_EQ(PackedCharsText(c.field), c.text) << c.field;
    EXPECT_THROW(PackedCharsText("AB"), ConversionError);
    EXPECT_THROW(PackedCharsText("4294967295"), ConversionError);
}

TEST(FieldConversions, UnixSecondsAsDayCount) {
    struct Case {
        std::uint32_t seconds;
        int minutes;
        LocalDateTime t;
    } cases[] = {
        {0, 0, {1970, 1, 1, 0, 0, 0, 0}},
        {86399, 0, {1970, 1, 1, 23, 59, 59, 0}},
        {951782400, 0, {2000, 2, 29, 0, 0, 0, 0}},
        {1700000000, 0, {2023, 11, 14, 22, 13, 20, 0}},
        {2147483648u, 0, {2038, 1, 19, 3, 14, 8, 0}},  // past the signed range
        {4294967295u, 0, {2106, 2, 7, 6, 28, 15, 0}},  // the largest count
        {3600, 90, {1969, 12, 31, 23, 30, 0, 0}},      // shifted back by minutes
    };
    for (const auto& c : cases) {
        const LocalDateTime t = FromDayCount(UnixToDateTime(c.seconds, c.minutes));
        EXPECT_EQ(t.year, c.t.year) << c.seconds;
        EXPECT_EQ(t.month, c.t.month) << c.seconds;
        EXPECT_EQ(t.day, c.t.day) << c.seconds;
        EXPECT_EQ(t.hour, c.t.hour) << c.seconds;
        EXPECT_EQ(t.minute, c.t.minute) << c.seconds;
        EXPECT_EQ(t.second, c.t.second) << c.seconds;
    }
    EXPECT_DOUBLE_EQ(UnixToDateTime(0, 0), 25569.0);
    EXPECT_DOUBLE_EQ(UnixToDateTime(43200, 0), 25569.5);
}

}  // namespace
}  // namespace rv
