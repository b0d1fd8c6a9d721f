#include "trends/Decimation.h"

#include <gtest/gtest.h>

#include "HistoryRig.h"

namespace rv {
namespace {

using namespace trends_test;

std::vector<TimedValue> Samples(const Points& points) {
    std::vector<TimedValue> out;
    for (const auto& [ms, v] : points) out.push_back({ms, v ? *v : kGap});
    return out;
}

TEST(Decimation, KeepsWhatShapesEachPixelColumn) {
    struct Case {
        const char* name;
        Points samples;
        std::int64_t from, to;
        int columns;
        Points expected;
    };
    const Case cases[] = {
        {"fewer samples than columns pass",
         {{0, 1.0}, {10, 2.0}, {20, 3.0}},
         0,
         100,
         10,
         {{0, 1.0}, {10, 2.0}, {20, 3.0}}},
        {"maximum and minimum of a column, in time order",
         {{0, 5.0}, {1, 9.0}, {2, 1.0}, {3, 4.0}, {4, 6.0}},
         0,
         100,
         10,
         {{1, 9.0}, {2, 1.0}}},
        {"minimum before maximum",
         {{0, 5.0}, {1, 1.0}, {2, 9.0}, {3, 4.0}},
         0,
         100,
         10,
         {{1, 1.0}, {2, 9.0}}},
        {"a one-sample spike keeps its height",
         {{0, 2.0}, {1, 2.0}, {2, 50.0}, {3, 2.0}, {4, 2.0}, {10, 2.0}, {11, 3.0}},
         0,
         100,
         10,
         {{0, 2.0}, {2, 50.0}, {10, 2.0}, {11, 3.0}}},
        {"a steady column is one point", {{0, 4.0}, {3, 4.0}, {7, 4.0}}, 0, 100, 10, {{0, 4.0}}},
        {"each column on its own",
         {{0, 1.0}, {1, 3.0}, {2, 2.0}, {50, 7.0}, {51, 5.0}, {52, 6.0}, {53, 6.5}},
         0,
         100,
         2,
         {{0, 1.0}, {1, 3.0}, {50, 7.0}, {51, 5.0}}},
        {"a column ending in a gap ends the line",
         {{0, 1.0}, {1, 2.0}, {2, kNone}, {3, kNone}, {10, 4.0}},
         0,
         100,
         10,
         {{0, 1.0}, {1, 2.0}, {2, kNone}, {10, 4.0}}},
        {"a gap narrower than a pixel is not drawn",
         {{0, 1.0}, {1, kNone}, {2, 3.0}},
         0,
         100,
         10,
         {{0, 1.0}, {2, 3.0}}},
        {"a column of gaps only",
         {{0, 1.0}, {10, kNone}, {15, kNone}, {20, 2.0}},
         0,
         100,
         10,
         {{0, 1.0}, {10, kNone}, {20, 2.0}}},
        {"neighbours outside the range pass as they are",
         {{-50, 8.0}, {-40, kNone}, {0, 1.0}, {1, 2.0}, {2, 3.0}, {150, 9.0}},
         0,
         100,
         1,
         {{-50, 8.0}, {-40, kNone}, {0, 1.0}, {2, 3.0}, {150, 9.0}}},
        {"the last instant belongs to the last column",
         {{80, 1.0}, {99, 1.0}, {100, 2.0}, {100, 0.0}},
         0,
         100,
         10,
         {{80, 1.0}, {100, 2.0}, {100, 0.0}}},
        {"nothing gives nothing", {}, 0, 100, 10, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AsPoints(DecimateToColumns(Samples(c.samples), c.from, c.to, c.columns)),
                  c.expected)
            << c.name;
    }
}

TEST(Decimation, ADayAtOneSampleASecondBecomesAFewPointsPerColumn) {
    std::vector<TimedValue> day;
    for (std::int64_t s = 0; s < 86400; ++s) day.push_back({s * 1000, double(s % 100)});
    const auto drawn = DecimateToColumns(day, 0, 86400000, 800);
    EXPECT_EQ(drawn.size(), 2u * 800);
}

}  // namespace
}  // namespace rv
