#include "protocol/ReplyScanner.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "protocol/DisplayModel.h"
#include "text/Cp1251.h"
#include "text/Formats.h"

namespace rv {
namespace {

using namespace std::string_literals;

// Cuts the fields of `block` after `key` with the given delimiters.
std::vector<std::string> Cut(std::string_view block, std::string_view key, std::string_view delims,
                             bool* found = nullptr) {
    ReplyScanner s;
    s.Reset(block);
    const bool f = s.FindKey(key);
    if (found) *found = f;
    std::vector<std::string> out;
    if (!f) return out;
    for (char d : delims) out.emplace_back(s.NextField(d));
    return out;
}

TEST(ReplyScanner, FieldCutsFollowTheDelimiterRules) {
    struct Case {
        std::string block;
        std::string key;
        std::string delims;
        std::vector<std::string> fields;
    } cases[] = {
        {">GK=55.7512;37.6184\r\n", ">GK=", ";\r", {"55.7512", "37.6184"}},
        // key in the middle of other text
        {"noise >GK=1;2\r\n", ">GK=", ";\r", {"1", "2"}},
        {"xx>GP=5;6\r\n>GP=7;8\r\n", ">GP=", ";\r", {"5", "6"}},  // first occurrence only
        // no CR: the last field stops before the final LF
        {">DN=123\n", ">DN=", "\r", {"123"}},
        // no ";": the field runs to one before the end, its CR kept; further fields are empty
        {">MW=12\r\n", ">MW=", ";;\r", {"12\r", "", ""}},
        // missing fields are empty
        {">MO=Name\r\n", ">MO=", ";\r", {"Name\r", ""}},
        {">GS=\r\n", ">GS=", ";;;;\r", {"\r", "", "", "", ""}},
        // empty fields between delimiters
        {">SMS=;;\r\n", ">SMS=", ";;\r", {"", "", ""}},
        // key at the very end: nothing after it
        {">DN=", ">DN=", "\r;", {"", ""}},
        // one character after the key, no delimiter: that character is dropped
        {">DN=7", ">DN=", "\r", {""}},
        // bytes 0 are ordinary characters
        {">SA=a\0b\r\n"s, ">SA=", "\r", {"a\0b"s}},
    };
    for (const auto& c : cases) {
        bool found = false;
        EXPECT_EQ(Cut(c.block, c.key, c.delims, &found), c.fields) << c.block;
        EXPECT_TRUE(found) << c.block;
    }
}

TEST(ReplyScanner, FindKeyIsExactAndCaseSensitive) {
    struct Case {
        std::string block;
        std::string key;
        bool found;
        std::size_t position;  // 0-based index after the key
    } cases[] = {
        {">GK=1\r\n", ">GK=", true, 4},
        {">gk=1\r\n", ">GK=", false, 0},
        {">GK1\r\n", ">GK=", false, 0},
        {"GK=1\r\n", ">GK=", false, 0},
        {">>GK=1\r\n", ">GK=", true, 5},   // a '>' before the key's own
        {">G>GK=1\r\n", ">GK=", true, 6},  // a shorter partial match first
        {"abc>GK=", ">GK=", true, 7},      // the key ends the block
        {">GK", ">GK=", false, 0},         // the block is shorter than the key
        {"", ">GK=", false, 0},
        {">GAS=10;0\r\n", ">GAS=1480;", false, 0},
        {">GAS=1480;0\r\n", ">GAS=1480;", true, 10},
        {"x=1;>ICT=5\r\n", ">I", true, 6},
        {"plain text key=1", "key=", true, 15},  // keys without '>' are found too
    };
    for (const auto& c : cases) {
        ReplyScanner s;
        s.Reset(c.block);
        EXPECT_EQ(s.FindKey(c.key), c.found) << c.block << " " << c.key;
        if (c.found) {
            EXPECT_EQ(s.Position(), c.position) << c.block;
        }
    }
}

TEST(ReplyScanner, EachKeySearchSetsThePositionAfresh) {
    ReplyScanner s;
    s.Reset(">A=1;2\r\n>B=3\r\n");
    ASSERT_TRUE(s.FindKey(">B="));
    EXPECT_EQ(s.NextField('\r'), "3");
    ASSERT_TRUE(s.FindKey(">A="));
    EXPECT_EQ(s.NextField(';'), "1");
    EXPECT_FALSE(s.FindKey(">C="));
    // A new block forgets the previous one.
    s.Reset(">C=9\r\n");
    EXPECT_FALSE(s.FindKey(">A="));
    ASSERT_TRUE(s.FindKey(">C="));
    EXPECT_EQ(s.NextField('\r'), "9");
}

TEST(ReplyScanner, IntegerFields) {
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

TEST(ReplyScanner, ConversionErrorNamesTheFieldInItsMessage) {
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

TEST(ReplyScanner, FloatBitsTexts) {
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

TEST(ReplyScanner, FloatBitsFieldReadsUpToCrOrFails) {
    RegionalFormats f;
    struct Case {
        std::string block;
        bool ok;
        std::string text;
    } cases[] = {
        {">X=1065353216\r\n", true, "1.0000"},
        {">X=1065353216\n", true, "1.0000"},
        {">X= -0\r\n", true, "0.0000"},
        {">X=9223372036854775807\r\n", true, "NAN"},  // low 32 bits all ones
        {">X=\r\n", false, ""},
        {">X=1.0\r\n", false, "1.0"},
        {">X=9223372036854775808\r\n", false, "9223372036854775808"},
        {">X=12;\r\n", false, "12;"},
    };
    for (const auto& c : cases) {
        ReplyScanner s;
        s.Reset(c.block);
        ASSERT_TRUE(s.FindKey(">X="));
        if (c.ok) {
            EXPECT_EQ(s.FloatBitsField(4, f), c.text) << c.block;
        } else {
            try {
                s.FloatBitsField(4, f);
                ADD_FAILURE() << "no failure for " << c.block;
            } catch (const ConversionError& e) {
                EXPECT_EQ(e.Field(), c.text);
            }
        }
    }
}

TEST(ReplyScanner, ScaledIntegerTexts) {
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

TEST(ReplyScanner, SignedByteTexts) {
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

TEST(ReplyScanner, PackedCharsTexts) {
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

TEST(ReplyScanner, InputTypeWords) {
    EXPECT_EQ(InputTypeWord('A'), W("Аналоговый "));
    EXPECT_EQ(InputTypeWord('D'), W("Дискретный "));
    EXPECT_EQ(InputTypeWord('F'), W("Частотный "));
    EXPECT_EQ(InputTypeWord('I'), W("Импульсный "));
    for (char c : {'U', 'a', '1', 'X', '\0'}) EXPECT_EQ(InputTypeWord(c), "") << c;
}

TEST(ReplyScanner, SensorRowsTakeFreeCaptionsAndIgnoreASeventhAddress) {
    DisplayModel m;
    m.ClearDisplay();
    std::array<int, 6> captions{};
    for (int i = 0; i < 6; ++i) captions[i] = m.Field("LLS" + std::to_string(i));
    EXPECT_EQ(FindSensorRow("5", m, captions), 0);
    EXPECT_EQ(FindSensorRow("85", m, captions), 1);
    EXPECT_EQ(FindSensorRow("5", m, captions), 0);
    EXPECT_EQ(FindSensorRow("8", m, captions), 2);  // a prefix of "85" is another address
    EXPECT_EQ(m.Text(captions[0]), "5:");
    EXPECT_EQ(m.Text(captions[1]), "85:");
    EXPECT_EQ(m.Text(captions[2]), "8:");
    EXPECT_EQ(FindSensorRow("1", m, captions), 3);
    EXPECT_EQ(FindSensorRow("2", m, captions), 4);
    EXPECT_EQ(FindSensorRow("3", m, captions), 5);
    // All six taken: no row, and no caption changes.
    EXPECT_EQ(FindSensorRow("99", m, captions), -1);
    EXPECT_EQ(m.Text(captions[0]), "5:");
    EXPECT_EQ(FindSensorRow("3", m, captions), 5);
    // A freed row in the middle is taken first.
    m.SetCaption(captions[1], ":");
    EXPECT_EQ(FindSensorRow("99", m, captions), 1);
    // The clear action frees all rows.
    m.ClearDisplay();
    EXPECT_EQ(FindSensorRow("85", m, captions), 0);
}

TEST(ReplyScanner, UnixSecondsAsDayCount) {
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
