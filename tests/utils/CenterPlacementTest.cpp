#include "CenterPlacement.h"

#include <gtest/gtest.h>

TEST(CenteredPosition, CentresAndClampsOntoTheScreen) {
    struct Case {
        const char* what;
        int w, h;
        bool withRef;
        PlacementRect ref;
        int x, y;
    };
    const int sw = 1024, sh = 738;
    const Case cases[] = {
        {"centred on screen", 552, 330, false, {}, 236, 204},
        {"odd remainder truncates", 101, 101, false, {}, 461, 318},
        {"wider than screen: right edge on the screen's", 1500, 100, false, {}, sw - 1500, 319},
        {"taller than screen: bottom edge on the screen's", 100, 900, false, {}, 462, sh - 900},
        {"over a reference", 200, 100, true, {100, 100, 500, 300}, 200, 150},
        {"reference near the right edge pulled back", 300, 200, true, {900, 100, 1100, 200}, sw - 300, 50},
        {"reference above the top pulled down", 300, 200, true, {10, -400, 310, -300}, 10, 0},
        {"reference left of the screen pulled right", 300, 200, true, {-500, 100, -300, 200}, 0, 50},
    };
    for (const Case& c : cases) {
        PlacementPoint p = CenteredPosition(c.w, c.h, c.withRef ? &c.ref : nullptr, sw, sh);
        EXPECT_EQ(c.x, p.x) << c.what;
        EXPECT_EQ(c.y, p.y) << c.what;
    }
}
