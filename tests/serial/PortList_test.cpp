// The port list parser (NUL-separated names ended by an empty name) and the buffer-growing loop
// that reads the list from the platform.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "serial/DeviceNameQuery.h"
#include "serial/PortList.h"

namespace rv {
namespace {

std::string L(const char* s, std::size_t n) {
    return std::string(s, n);
}

TEST(PortList, NextNameWalksTheListAndStopsAtItsEnd) {
    const std::string list = L("COM1\0AUX\0\0", 10);
    int pos = 1;
    EXPECT_EQ(NextName(list, pos), "COM1");
    EXPECT_EQ(pos, 6);
    EXPECT_EQ(NextName(list, pos), "AUX");
    EXPECT_EQ(NextName(list, pos), "");
    int beyond = 50;
    EXPECT_EQ(NextName(list, beyond), "");
    int noNul = 1;
    EXPECT_EQ(NextName("COM3", noNul), "");
    EXPECT_EQ(noNul, 1);
}

TEST(PortList, PortNumberOfName) {
    struct Case {
        const char* name;
        int number;
    };
    for (const Case& c :
         {Case{"COM3", 3}, Case{"COM12", 12}, Case{"COM099", 99}, Case{"COM", 0}, Case{"COMX", 0},
          Case{"COM3a", 0}, Case{"COM-2", -2}, Case{"COM99999999999", 0}, Case{"COM256", 256}}) {
        EXPECT_EQ(PortNumberOfName(c.name), c.number) << c.name;
    }
}

TEST(PortList, OnlyComNamesNumberedOneToNinetyNineAreOffered) {
    struct Case {
        const char* what;
        std::string list;
        std::vector<PortListEntry> ports;
    };
    const std::vector<Case> cases = {
        {"platform order kept", L("COM3\0LPT1\0COM1\0\0", 16), {{"COM3", 3}, {"COM1", 1}}},
        {"numbers outside 1..99 and non-numbers dropped",
         L("COM0\0COM100\0COM256\0COMX\0com5\0COM99\0\0", 37),
         {{"COM99", 99}}},
        {"stops at the first empty name", L("COM1\0\0COM2\0\0", 12), {{"COM1", 1}}},
        {"empty list", L("\0", 1), {}},
        {"no final NUL: the unterminated name is not a name", L("COM1\0COM2", 9), {{"COM1", 1}}},
        {"nothing at all", "", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(ComPortsOfList(c.list), c.ports) << c.what;
}

// A scripted query: each call answers from the table and records the buffer size it was given.
struct ScriptedQuery {
    struct Answer {
        std::string list;  // written into the buffer (as much as fits)
        std::uint32_t count;
        std::uint32_t error;
    };
    std::vector<Answer> answers;
    std::vector<std::uint32_t> sizes;

    DeviceNameQueryFn Fn() {
        return [this](char* buffer, std::uint32_t size) {
            sizes.push_back(size);
            const Answer a = answers.at(sizes.size() - 1);
            a.list.copy(buffer, std::min<std::size_t>(a.list.size(), size));
            return DeviceNameCall{a.count, a.error};
        };
    }
};

std::string ErrorText(std::uint32_t code) {
    return "error " + std::to_string(code);
}

TEST(DeviceNameQuery, GrowsTheBufferUntilTheListFits) {
    const std::string list = L("COM1\0COM2\0\0", 11);
    ScriptedQuery q;
    q.answers = {{"", 0, kErrorInsufficientBuffer},
                 {"COM1", 5120, kErrorInsufficientBuffer},  // truncated, count of no use
                 {list, 11, 0}};
    EXPECT_EQ(ReadGrowingDeviceList(q.Fn(), ErrorText), list);
    EXPECT_EQ(q.sizes, (std::vector<std::uint32_t>{5120, 6144, 7168}));
}

TEST(DeviceNameQuery, TakesAReportedLargerCountAsTheNewSize) {
    // A query may report the size it needs with the too-small error; counts beyond the buffer
    // are never trusted as list length.
    ScriptedQuery q;
    q.answers = {{"", 5000, kErrorInsufficientBuffer}, {L("COM7\0\0", 6), 6, 0}};
    EXPECT_EQ(ReadGrowingDeviceList(q.Fn(), ErrorText), L("COM7\0\0", 6));
    EXPECT_EQ(q.sizes, (std::vector<std::uint32_t>{5120, 6144}));
}

TEST(DeviceNameQuery, OtherErrorsAreReportedWithTheirText) {
    ScriptedQuery q;
    q.answers = {{"", 0, 5}};
    try {
        ReadGrowingDeviceList(q.Fn(), ErrorText);
        FAIL() << "no error raised";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "error 5");
    }
    ScriptedQuery withCount;
    withCount.answers = {{"COM1", 5, 87}};
    EXPECT_THROW(ReadGrowingDeviceList(withCount.Fn(), ErrorText), std::runtime_error);
}

TEST(DeviceNameQuery, FailureWithoutAnErrorIsAnEmptyList) {
    ScriptedQuery q;
    q.answers = {{"", 0, 0}};
    EXPECT_EQ(ReadGrowingDeviceList(q.Fn(), ErrorText), std::string(1, '\0'));
}

TEST(DeviceNameQuery, GivesUpInsteadOfGrowingForever) {
    int calls = 0;
    const auto alwaysSmall = [&](char*, std::uint32_t) {
        ++calls;
        return DeviceNameCall{0, kErrorInsufficientBuffer};
    };
    EXPECT_THROW(ReadGrowingDeviceList(alwaysSmall, ErrorText), std::runtime_error);
    EXPECT_GT(calls, 1);
}

}  // namespace
}  // namespace rv
