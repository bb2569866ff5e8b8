// How a slider maps its value range onto handle positions along the track.
// Pure arithmetic, kept apart from the windows so it can be checked alone.
#pragma once

#include <cstdint>

// Values, steps and the step count are 64-bit: clock sliders hold unsigned
// 32-bit kHz values, and a range of a few GHz in 1 kHz steps already
// overflows 32-bit products of a position and the step count. Positions are
// track pixels and stay int.
struct SliderScale {
    std::int64_t minimum = 0;
    std::int64_t maximum = 100;
    std::int64_t step = 1;
    std::int64_t stepCount = 0;
    int positions = 0;
    float pixelsPerPosition = 1.0f;
    // Pixel offsets are worked out from the whole track width, not from the
    // float above: a float product truncates differently in the i686 build
    // (x87 extended precision) than in the x86_64 one, a pixel apart.
    int trackWidth = 0;
};

// Recomputes step count, positions and pixels per position for a track of
// the given width. Nothing changes when minimum and maximum are both 0.
void RecomputeScale(SliderScale* scale, int trackWidth);

// The value a handle position stands for; positions at or past the last
// one give the maximum.
std::int64_t PositionToValue(const SliderScale& scale, int position);

// The handle position of a value inside the range.
int ValueToPosition(const SliderScale& scale, std::int64_t value);

// The handle's left edge when its centre stands on a position.
int HandleLeftForPosition(const SliderScale& scale, int trackLeft, int position, int handleWidth);

// Index into a picture table of n entries for a handle position.
int PictureIndex(const SliderScale& scale, int position, int pictureCount);

// Dragging: the handle's centre, limited to the track ends, and the
// position under it.
struct DragResult {
    int handleLeft;
    int position;
};
DragResult DragHandle(const SliderScale& scale, int handleLeft, int handleWidth, int pointerX, int trackLeft,
                      int trackRight);

// Releasing: snaps the handle to a whole position, rounding down after a
// move to the left of where it was pressed and up otherwise.
DragResult SnapHandle(const SliderScale& scale, int handleLeft, int pressLeft, int handleWidth, int trackLeft,
                      int trackRight);
