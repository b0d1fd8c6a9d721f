#include "protocol/ReplyScanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

}  // namespace
}  // namespace rv
