// Where the window opens on screens of common sizes: its design position where the whole window
// fits there, centred where it does not, maximised on a screen smaller than its minimum size.
#include "layout/WindowPlacement.h"

#include <gtest/gtest.h>

namespace rv {
namespace {

TEST(WindowPlacement, DesignPositionWhereItFitsElseCentredElseMaximised) {
    const struct {
        const char* screen;
        DesktopRect available;
        int outerWidth, outerHeight;
        bool maximised;
        int x, y;
    } cases[] = {
        // Full HD with a 32-pixel panel at the top: 620 + 1024 and 291 + 600 fit.
        {"1920x1080, top panel", {0, 32, 1920, 1048}, 1024, 600, false, 620, 291},
        {"2560x1440", {0, 0, 2560, 1440}, 1024, 600, false, 620, 291},
        // Exactly fitting at the right and bottom edges.
        {"1644x891", {0, 0, 1644, 891}, 1024, 600, false, 620, 291},
        {"1643x891", {0, 0, 1643, 891}, 1024, 600, false, 309, 145},
        {"1644x890", {0, 0, 1644, 890}, 1024, 600, false, 310, 145},
        // Laptops: centred in the area the panels leave.
        {"1366x768, bottom panel", {0, 0, 1366, 728}, 1024, 600, false, 171, 64},
        {"1280x800", {0, 0, 1280, 800}, 1024, 600, false, 128, 100},
        {"1600x900, a wider window", {0, 0, 1600, 900}, 1200, 700, false, 200, 100},
        // The design position is above a panel 300 pixels tall at the top.
        {"1920x1080, tall top panel", {0, 300, 1920, 780}, 1024, 600, false, 448, 390},
        // A second screen to the right of a first one.
        {"second screen 1366x768", {1920, 0, 1366, 768}, 1024, 600, false, 2091, 84},
        // The whole minimum size just fits: centred, not maximised.
        {"1024x600", {0, 0, 1024, 600}, 1024, 600, false, 0, 0},
        // Smaller than the minimum size in either direction: maximised.
        {"1024x768, bottom panel of 200", {0, 0, 1024, 568}, 1024, 600, true, 0, 0},
        {"800x600", {0, 0, 800, 600}, 1024, 600, true, 0, 0},
        {"second screen 800x600", {1920, 0, 800, 600}, 1024, 600, true, 1920, 0},
    };
    for (const auto& c : cases) {
        const WindowPlacement p = PlaceWindow(c.available, c.outerWidth, c.outerHeight);
        EXPECT_EQ(p.maximised, c.maximised) << c.screen;
        EXPECT_EQ(p.x, c.x) << c.screen;
        EXPECT_EQ(p.y, c.y) << c.screen;
    }
}

}  // namespace
}  // namespace rv
