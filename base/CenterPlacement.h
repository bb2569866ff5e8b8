#pragma once
// Where a window of a given size goes when centred on the screen or over a
// reference rectangle, kept on the screen. Free of windows.h for tests.

struct PlacementRect {
    int left, top, right, bottom;
};

struct PlacementPoint {
    int x, y;
};

// reference may be null (centre on the screen). Clamps y first, then x, so a
// window larger than the screen ends with its right or bottom edge on the
// screen's edge.
PlacementPoint CenteredPosition(int width, int height, const PlacementRect* reference, int screenWidth,
                                int screenHeight);
