#include "WindowDrag.h"

#include <gtest/gtest.h>

// A 552 x 330 window on a 1280 x 1024 screen. The work area starts below a
// 30-pixel taskbar at the top, or right of a 60-pixel one at the left; the
// full-screen client size is what the system reports for that work area.
TEST(WindowDrag, KeepsTenPixelsInsideTheWorkAreaInScreenCoordinates) {
    struct Case {
        const char* name;
        DragPoint origin;
        int fullWidth, fullHeight;
        DragRect window;
        int moveX, moveY;
        DragPoint expected;
    } cases[] = {
        {"no move, taskbar at the top", {0, 30}, 1280, 975, {100, 130, 652, 460}, 0, 0, {100, 130}},
        {"no move, taskbar at the left", {60, 0}, 1220, 1005, {300, 200, 852, 530}, 0, 0, {300, 200}},
        {"a plain move", {0, 0}, 1280, 1005, {100, 100, 652, 430}, 25, -40, {125, 60}},
        {"far left keeps the right edge in", {60, 0}, 1220, 1005, {300, 200, 852, 530}, -2000, 0, {60 + 10 - 552, 200}},
        {"far right keeps the left edge in", {60, 0}, 1220, 1005, {300, 200, 852, 530}, 5000, 0, {60 + 1220 - 10, 200}},
        {"far up under a top taskbar", {0, 30}, 1280, 975, {100, 130, 652, 460}, 0, -3000, {100, 30 + 10 - 330}},
        {"far down stays near the bottom", {0, 30}, 1280, 975, {100, 130, 652, 460}, 0, 3000, {100, 30 + 975 - 10}},
    };
    for (const Case& c : cases) {
        DragPoint to = DraggedWindowPosition(c.window, c.origin, c.fullWidth, c.fullHeight, c.moveX, c.moveY);
        EXPECT_EQ(c.expected.x, to.x) << c.name;
        EXPECT_EQ(c.expected.y, to.y) << c.name;
    }
}
