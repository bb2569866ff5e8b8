// Slider arithmetic: scale, value and position mapping, picture index,
// dragging and snapping. Expected values worked out by hand.
#include <gtest/gtest.h>

#include <cstdint>

#include "SliderGeometry.h"

namespace {

// Clocks are unsigned 32-bit kHz values: a slider must reach the top of
// that range, and a 1.5 GHz range in 1 kHz steps is an ordinary one.
const std::int64_t kTopKhz = 4294967295;
const std::int64_t kGigahertzAndAHalf = 1500000;

SliderScale Scale(std::int64_t minimum, std::int64_t maximum, std::int64_t step, int trackWidth) {
    SliderScale scale;
    scale.minimum = minimum;
    scale.maximum = maximum;
    scale.step = step;
    RecomputeScale(&scale, trackWidth);
    return scale;
}

}  // namespace

TEST(SliderGeometry, ScaleForTracksWiderAndNarrowerThanTheStepCount) {
    struct Case {
        std::int64_t minimum, maximum, step;
        int trackWidth;
        std::int64_t stepCount;
        int positions;
        float pixelsPerPosition;
    };
    const Case cases[] = {
        {0, 100, 1, 185, 100, 100, 1.85f},
        {0, 10, 1, 185, 10, 10, 18.5f},
        {0, 1000, 1, 185, 1000, 185, 1.0f},
        {0, 100, 30, 185, 4, 4, 46.25f},  // a remainder adds a step
        {400000, 700000, 1000, 185, 300, 185, 1.0f},
        {90, 110, 1, 100, 20, 20, 5.0f},
        {0, kTopKhz, 1, 185, kTopKhz, 185, 1.0f},
        {3000000000, kTopKhz, 1000, 185, 1294968, 185, 1.0f},  // 1294967.295 steps
        {kTopKhz - 100, kTopKhz, 1, 185, 100, 100, 1.85f},
    };
    for (const Case& c : cases) {
        SliderScale s = Scale(c.minimum, c.maximum, c.step, c.trackWidth);
        EXPECT_EQ(c.stepCount, s.stepCount) << c.maximum << "/" << c.step;
        EXPECT_EQ(c.positions, s.positions) << c.maximum << "/" << c.step;
        EXPECT_FLOAT_EQ(c.pixelsPerPosition, s.pixelsPerPosition) << c.maximum;
    }
}

TEST(SliderGeometry, BothEndsZeroLeaveTheScaleAlone) {
    SliderScale s;
    s.minimum = 0;
    s.maximum = 0;
    s.positions = 7;
    RecomputeScale(&s, 185);
    EXPECT_EQ(7, s.positions);
}

TEST(SliderGeometry, EmptyOrReversedRangeHasNoPositions) {
    SliderScale s = Scale(50, 50, 1, 185);
    EXPECT_EQ(0, s.positions);
    EXPECT_EQ(50, PositionToValue(s, 0));
    EXPECT_EQ(0, ValueToPosition(s, 50));
    EXPECT_EQ(0, PictureIndex(s, 3, 42));
}

TEST(SliderGeometry, PositionToValue) {
    const SliderScale wide = Scale(0, 100, 1, 185);
    const SliderScale narrow = Scale(0, 1000, 1, 185);
    const SliderScale stepped = Scale(0, 100, 30, 185);
    const SliderScale gigahertz = Scale(0, kGigahertzAndAHalf, 1, 185);
    const SliderScale full = Scale(0, kTopKhz, 1, 185);
    const SliderScale upperClocks = Scale(3000000000, kTopKhz, 1000, 185);
    const SliderScale top = Scale(kTopKhz - 100, kTopKhz, 1, 185);
    struct Case {
        const SliderScale* scale;
        int position;
        std::int64_t value;
    } cases[] = {
        {&wide, 0, 0},
        {&wide, 37, 37},
        {&wide, 99, 99},
        {&wide, 100, 100},
        {&wide, 140, 100},
        {&narrow, 0, 0},
        {&narrow, 92, 497},
        {&narrow, 184, 994},
        {&narrow, 185, 1000},
        {&stepped, 3, 90},
        {&stepped, 4, 100},
        // 92 * 1500000 / 185 = 745945.9; 184 * 1500000 / 185 = 1491891.9
        {&gigahertz, 92, 745945},
        {&gigahertz, 184, 1491891},
        {&gigahertz, 185, 1500000},
        // 4294967295 / 185 = 23216039.4; * 184 = 4271751255.9
        {&full, 1, 23216039},
        {&full, 184, 4271751255},
        {&full, 185, kTopKhz},
        // 100 * 1294968 / 185 = 699982.7 steps of 1000 above 3000000000
        {&upperClocks, 100, 3699982000},
        {&upperClocks, 185, kTopKhz},
        {&top, 50, kTopKhz - 50},
        {&top, 99, kTopKhz - 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.value, PositionToValue(*c.scale, c.position)) << "position " << c.position;
}

TEST(SliderGeometry, ValueToPositionAndHandleLeft) {
    const SliderScale wide = Scale(0, 100, 1, 185);
    EXPECT_EQ(50, ValueToPosition(wide, 50));
    // 261 + 50 * 1.85 - 21 / 2 = 343.5
    EXPECT_EQ(343, HandleLeftForPosition(wide, 261, 50, 21));
    EXPECT_EQ(251, HandleLeftForPosition(wide, 261, 0, 21));
    EXPECT_EQ(436, HandleLeftForPosition(wide, 261, 100, 21));

    const SliderScale narrow = Scale(0, 1000, 1, 185);
    EXPECT_EQ(92, ValueToPosition(narrow, 500));
    EXPECT_EQ(185, ValueToPosition(narrow, 1000));

    const SliderScale full = Scale(0, kTopKhz, 1, 185);
    const SliderScale twentyGigahertz = Scale(0, 20000000, 1, 185);
    const SliderScale top = Scale(kTopKhz - 100, kTopKhz, 1, 185);
    struct Case {
        const SliderScale* scale;
        std::int64_t value;
        int position;
    } cases[] = {
        // 2^31 * 185 / 4294967295 = 92.5; 3000000000 * 185 / 4294967295 = 129.2
        {&full, 2147483648, 92},
        {&full, 3000000000, 129},
        {&full, kTopKhz, 185},
        // 15000000 * 185 / 20000000 = 138.75
        {&twentyGigahertz, 15000000, 138},
        {&top, kTopKhz - 50, 50},
        {&top, kTopKhz, 100},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.position, ValueToPosition(*c.scale, c.value)) << "value " << c.value;
}

// The handle stands on whole pixels of the exact track width over the
// positions, in either build: a float product of the pixels per position
// lands a pixel short in the i686 build (13 pixels over 10 positions).
TEST(SliderGeometry, HandlePixelsAreExactForEveryTrackAndPosition) {
    for (int width : {13, 100, 185, 242}) {
        for (int steps = 1; steps <= width; steps++) {
            const SliderScale s = Scale(0, steps, 1, width);
            ASSERT_EQ(steps, s.positions);
            for (int p = 0; p <= steps; p++) {
                ASSERT_EQ(261 - 10 + p * width / steps, HandleLeftForPosition(s, 261, p, 21))
                    << p << " of " << steps << " on " << width;
            }
        }
    }
}

TEST(SliderGeometry, PictureIndexReachesTheLastPictureOfEachTable) {
    const SliderScale wide = Scale(0, 100, 1, 185);
    EXPECT_EQ(0, PictureIndex(wide, 0, 42));
    EXPECT_EQ(21, PictureIndex(wide, 50, 42));
    EXPECT_EQ(41, PictureIndex(wide, 99, 42));
    EXPECT_EQ(41, PictureIndex(wide, 100, 42));
    EXPECT_EQ(30, PictureIndex(wide, 100, 31));
    EXPECT_EQ(15, PictureIndex(wide, 50, 31));
    EXPECT_EQ(0, PictureIndex(wide, -5, 31));
}

TEST(SliderGeometry, DragKeepsTheHandleCentreOnTheTrack) {
    const SliderScale wide = Scale(0, 100, 1, 185);
    DragResult right = DragHandle(wide, 300, 21, 500, 261, 446);
    EXPECT_EQ(436, right.handleLeft);
    EXPECT_EQ(100, PositionToValue(wide, right.position));
    DragResult left = DragHandle(wide, 300, 21, -500, 261, 446);
    EXPECT_EQ(251, left.handleLeft);
    EXPECT_EQ(0, left.position);
    // Centre at 310: offset 49, 490 tenths / 18 per position = 27.
    DragResult middle = DragHandle(wide, 251, 21, 59, 261, 446);
    EXPECT_EQ(300, middle.handleLeft);
    EXPECT_EQ(27, middle.position);
}

TEST(SliderGeometry, ReleaseSnapsUpAfterMovingRightAndDownAfterMovingLeft) {
    const SliderScale wide = Scale(0, 100, 1, 185);
    struct Case {
        int handleLeft, pressLeft;
        int snappedLeft, position;
    } cases[] = {
        {300, 290, 302, 28},   // right: 27.2 positions round up
        {300, 310, 300, 27},   // left: round down
        {300, 300, 302, 28},   // not moved counts as right
        {260, 200, 260, 5},    // exactly on a position
        {436, 400, 436, 102},  // past the right end: held at the end
        {251, 260, 251, 0},    // at the left end
        {240, 260, 251, 0},    // past the left end
    };
    for (const Case& c : cases) {
        DragResult r = SnapHandle(wide, c.handleLeft, c.pressLeft, 21, 261, 446);
        EXPECT_EQ(c.snappedLeft, r.handleLeft) << c.handleLeft << " from " << c.pressLeft;
        EXPECT_EQ(c.position, r.position) << c.handleLeft << " from " << c.pressLeft;
    }
    EXPECT_EQ(100, PositionToValue(wide, 102));
}
