#include "SliderGeometry.h"

namespace {

// Track width over positions is the pixels per position exactly; without a
// computed scale it is 1.
bool HasTrackScale(const SliderScale& scale) {
    return scale.positions > 0 && scale.trackWidth > 0;
}

// Ten times the pixels per position, as a whole number: positions are
// worked out in tenths of a pixel.
int TenthsPerPosition(const SliderScale& scale) {
    const std::int64_t tenths =
        HasTrackScale(scale) ? static_cast<std::int64_t>(scale.trackWidth) * 10 / scale.positions : 10;
    return tenths > 0 ? static_cast<int>(tenths) : 1;
}

// Whole pixels from the track's left edge to a position.
std::int64_t PixelsToPosition(const SliderScale& scale, int position) {
    if (!HasTrackScale(scale)) return position;
    return static_cast<std::int64_t>(position) * scale.trackWidth / scale.positions;
}

}  // namespace

void RecomputeScale(SliderScale* scale, int trackWidth) {
    if (scale->minimum == 0 && scale->maximum == 0) return;
    const std::int64_t range = scale->maximum - scale->minimum;
    // An empty or reversed range has no positions; every later division by
    // the step count or positions is guarded by that.
    if (range <= 0 || scale->step <= 0) {
        scale->stepCount = 0;
        scale->positions = 0;
        scale->pixelsPerPosition = 1.0f;
        scale->trackWidth = 0;
        return;
    }
    scale->stepCount = range / scale->step + (range % scale->step ? 1 : 0);
    scale->trackWidth = trackWidth > 0 ? trackWidth : 0;
    if (trackWidth < scale->stepCount) {
        scale->positions = trackWidth > 0 ? trackWidth : 0;
        scale->pixelsPerPosition = 1.0f;
    } else {
        // No more steps than pixels here, so the count fits an int.
        scale->positions = static_cast<int>(scale->stepCount);
        scale->pixelsPerPosition = static_cast<float>(trackWidth) / static_cast<float>(scale->positions);
    }
}

std::int64_t PositionToValue(const SliderScale& scale, int position) {
    if (position < 0) position = 0;
    if (position >= scale.positions) return scale.maximum;
    if (scale.positions < scale.stepCount) {
        // Scaled in tenths, (p * count * 10) / (positions * 10) is the same
        // whole quotient as (p * count) / positions; the product stays below
        // 2^63 for any 32-bit range on any track narrower than 2^31 pixels.
        const std::int64_t steps = position * scale.stepCount / scale.positions;
        return scale.minimum + scale.step * steps;
    }
    return scale.minimum + position * scale.step;
}

int ValueToPosition(const SliderScale& scale, std::int64_t value) {
    if (scale.stepCount <= 0 || scale.step <= 0) return 0;
    const std::int64_t steps = (value - scale.minimum) / scale.step;
    return static_cast<int>(steps * scale.positions / scale.stepCount);
}

int HandleLeftForPosition(const SliderScale& scale, int trackLeft, int position, int handleWidth) {
    return static_cast<int>(trackLeft + PixelsToPosition(scale, position) - handleWidth / 2);
}

int PictureIndex(const SliderScale& scale, int position, int pictureCount) {
    if (scale.positions <= 0 || position <= 0) return 0;
    const std::int64_t index = static_cast<std::int64_t>(position) * pictureCount / scale.positions;
    if (index > pictureCount - 1) return pictureCount - 1;
    return static_cast<int>(index);
}

DragResult DragHandle(const SliderScale& scale, int handleLeft, int handleWidth, int pointerX, int trackLeft,
                      int trackRight) {
    int centre = handleLeft + pointerX;
    if (centre < trackLeft) centre = trackLeft;
    if (centre > trackRight) centre = trackRight;
    const int offset = centre - trackLeft;
    return {centre - handleWidth / 2, (offset * 10) / TenthsPerPosition(scale)};
}

DragResult SnapHandle(const SliderScale& scale, int handleLeft, int pressLeft, int handleWidth, int trackLeft,
                      int trackRight) {
    const int lowestLeft = trackLeft - handleWidth / 2;
    const int highestLeft = trackRight - handleWidth / 2;
    const int offset = handleWidth / 2 + handleLeft - trackLeft;
    const int tenths = TenthsPerPosition(scale);
    int position = (offset * 10) / tenths;
    if ((offset * 10) % tenths != 0 && handleLeft >= pressLeft) position += 1;
    int left = HandleLeftForPosition(scale, trackLeft, position, handleWidth);
    if (left < lowestLeft) {
        left = lowestLeft;
        position = 0;
    }
    if (left > highestLeft) {
        left = highestLeft;
        position -= 1;
    }
    return {left, position};
}
