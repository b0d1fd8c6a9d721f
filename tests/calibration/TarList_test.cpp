#include "calibration/TarList.h"

#include <gtest/gtest.h>

#include <vector>

#include "text/Cp1251.h"

namespace rv {
namespace {

std::vector<std::string> Names(const TarList& list) {
    return {list.begin(), list.end()};
}

TEST(TarList, KeepsSourcesInCaseInsensitiveOrderWithoutDuplicates) {
    TarList list;
    const std::vector<std::string> added = {
        W("LLS1 (уровень)"),   W("IN1 (частотный)"), W("IN1 (аналоговый)"), W("LLS0 (частота)"),
        W("IN0 (аналоговый)"), W("LLS0 (уровень)"),  W("in1 (АНАЛОГОВЫЙ)"), W("IN1 (частотный)"),
    };
    for (const auto& name : added) list.Add(name);
    const std::vector<std::string> expected = {
        W("IN0 (аналоговый)"), W("IN1 (аналоговый)"), W("IN1 (частотный)"),
        W("LLS0 (уровень)"),   W("LLS0 (частота)"),   W("LLS1 (уровень)"),
    };
    EXPECT_EQ(Names(list), expected);
    EXPECT_EQ(list.IndexOf(W("lls0 (ЧАСТОТА)")), 4);
    EXPECT_EQ(list.IndexOf(W("LLS2 (уровень)")), -1);
}

TEST(TarList, CompareTextFoldsCaseAndPutsYoAfterYe) {
    struct Case {
        const char* a;
        const char* b;
        int sign;
    };
    const Case cases[] = {
        {"ABC", "abc", 0}, {"Ёж", "ёж", 0},     {"еж", "ёж", -1},   {"ёж", "жук", -1},
        {"IN", "IN0", -1}, {"IN 0", "IN0", -1}, {"IN9", "INA", -1}, {"Z", "а", -1},
        {"Я", "а", 1},     {"(", "0", -1},
    };
    for (const Case& c : cases) {
        const int r = CompareTextCp1251(W(c.a), W(c.b));
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
    }
}

}  // namespace
}  // namespace rv
