// The monitor view's column arithmetic, the connection title rule and the section plan's header
// commands, without widgets.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "layout/ColumnRule.h"
#include "layout/SectionPlan.h"
#include "serial/ConnectionControl.h"

namespace rv {
namespace {

TEST(ColumnRule, CalibrationColumnWidthIsAQuarterOnlyAboveFourMinimumColumns) {
    const struct {
        int page, width;
    } cases[] = {{0, 336},    {1000, 336}, {1344, 336}, {1347, 336},
                 {1348, 337}, {2000, 500}, {2003, 500}};
    for (const auto& c : cases) EXPECT_EQ(CalibrationColumnWidth(c.page), c.width) << c.page;
}

TEST(ColumnRule, ColumnCountIsOnePer250PixelsFromTwoToFour) {
    const struct {
        int width, columns;
    } cases[] = {{0, 2},   {249, 2},  {500, 2},  {749, 2}, {750, 3},
                 {999, 3}, {1000, 4}, {1008, 4}, {5000, 4}};
    for (const auto& c : cases) EXPECT_EQ(ColumnCountFor(c.width), c.columns) << c.width;
}

TEST(ColumnRule, PlacesSectionsOnlyWhenTheCountChanges) {
    ColumnRule rule;
    EXPECT_EQ(rule.ColumnCount(), -1);

    const struct {
        int width;
        int columns, columnWidth;
        std::array<int, 4> widths;
        bool place;
    } runs[] = {
        {1008, 4, 252, {252, 252, 252, 252}, true},  // first run always places
        {1008, 4, 252, {252, 252, 252, 252}, false},
        {1203, 4, 300, {300, 300, 300, 300}, false},  // wider: same count, wider columns
        {900, 3, 300, {300, 300, 300, 0}, true},
        {760, 3, 253, {253, 253, 253, 0}, false},
        {600, 2, 300, {300, 300, 0, 0}, true},
        {100, 2, 50, {50, 50, 0, 0}, false},
        {1000, 4, 250, {250, 250, 250, 250}, true},
    };
    for (const auto& run : runs) {
        const ColumnRule::Result r = rule.Apply(run.width);
        EXPECT_EQ(r.columns, run.columns) << run.width;
        EXPECT_EQ(r.columnWidth, run.columnWidth) << run.width;
        EXPECT_EQ(r.widths, run.widths) << run.width;
        EXPECT_EQ(r.placeSections, run.place) << run.width;
        EXPECT_EQ(rule.ColumnCount(), run.columns);
    }
}

TEST(ColumnRule, EveryPlacementHoldsEachSectionOnceWithTheFixedHeadAndFillersLast) {
    std::set<std::string> all;
    for (const auto& s : MonitorSections()) all.insert(s.name);
    ASSERT_EQ(all.size(), 10u);

    for (int n = 2; n <= 4; ++n) {
        const ColumnPlacement& placement = PlacementFor(n);
        std::multiset<std::string> placed;
        for (int c = 0; c < kMaxColumns; ++c) {
            const auto& column = placement[c];
            EXPECT_EQ(column.empty(), c >= n) << n << " columns, column " << c + 1;
            for (std::size_t i = 0; i < column.size(); ++i) {
                placed.insert(std::string(column[i]));
                // A section that fills its column can only stand last in it.
                if (SectionFillsColumn(column[i])) {
                    EXPECT_EQ(i + 1, column.size()) << column[i];
                }
            }
        }
        EXPECT_EQ(std::set<std::string>(placed.begin(), placed.end()), all) << n;
        EXPECT_EQ(placed.size(), all.size()) << n;
        ASSERT_GE(placement[0].size(), 2u);
        EXPECT_EQ(placement[0][0], "PanelA1");
        EXPECT_EQ(placement[0][1], "PanelA2");
    }
}

TEST(ColumnRule, PlacementTables) {
    using Column = std::vector<std::string_view>;
    EXPECT_EQ(PlacementFor(4)[0], (Column{"PanelA1", "PanelA2", "PanelA3"}));
    EXPECT_EQ(PlacementFor(4)[1], (Column{"PanelB2"}));
    EXPECT_EQ(PlacementFor(4)[2], (Column{"PanelC1", "PanelC2", "PanelA4"}));
    EXPECT_EQ(PlacementFor(4)[3], (Column{"PanelB1", "PanelB3", "PanelC3"}));
    EXPECT_EQ(PlacementFor(3)[0], (Column{"PanelA1", "PanelA2", "PanelA3", "PanelA4"}));
    EXPECT_EQ(PlacementFor(3)[1], (Column{"PanelB1", "PanelB2", "PanelB3"}));
    EXPECT_EQ(PlacementFor(3)[2], (Column{"PanelC1", "PanelC2", "PanelC3"}));
    EXPECT_EQ(PlacementFor(2)[0], (Column{"PanelA1", "PanelA2", "PanelA3", "PanelC1", "PanelA4"}));
    EXPECT_EQ(PlacementFor(2)[1], (Column{"PanelB1", "PanelC2", "PanelB2", "PanelB3", "PanelC3"}));
    EXPECT_THROW(PlacementFor(1), std::logic_error);
    EXPECT_THROW(PlacementFor(5), std::logic_error);
}

TEST(ColumnRule, MovableSectionsAreAllButTheHeadOfColumnOne) {
    const auto& movable = MovableSections();
    EXPECT_EQ(movable.size(), 8u);
    for (const auto& s : MonitorSections()) {
        const bool moves = std::find(movable.begin(), movable.end(), s.name) != movable.end();
        EXPECT_EQ(moves,
                  std::string_view(s.name) != "PanelA1" && std::string_view(s.name) != "PanelA2")
            << s.name;
    }
}

TEST(ColumnRule, ComTitleShortensBelow126Pixels) {
    const struct {
        int width;
        std::string_view title;
    } cases[] = {{0, "COM"}, {125, "COM"}, {126, "Подключение COM"}, {400, "Подключение COM"}};
    for (const auto& c : cases) EXPECT_EQ(ComTitle(c.width), c.title) << c.width;
}

TEST(SectionPlanHeader, EachLinkFollowingHeaderButtonStandsInExactlyOneSection) {
    std::multiset<std::string> inPlan;
    for (const auto& s : MonitorSections()) {
        for (const auto& c : s.commands) inPlan.insert(c.button);
    }
    std::multiset<std::string> expected;
    for (const auto& b : HeaderCommandButtons()) expected.insert(b.name);
    EXPECT_EQ(inPlan, expected);
}

TEST(SectionPlanHeader, UnfoldedHeightsAddBordersHeaderAndRows) {
    const struct {
        const char* section;
        int height;
    } cases[] = {
        {"PanelA1", 4 + 28 + 20 + 22 + 4},
        {"PanelB3", 4 + 28 + 3 * 20 + 6 + 4},
        {"PanelA3", 4 + 28 + 10 * 20 + 6 + 4},
    };
    for (const auto& c : cases) EXPECT_EQ(UnfoldedHeight(MonitorSection(c.section)), c.height);
    EXPECT_THROW(MonitorSection("PanelZ9"), std::logic_error);
}

}  // namespace
}  // namespace rv
