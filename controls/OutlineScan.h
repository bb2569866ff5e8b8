// The outline of a picture drawn on a key-coloured background, as one
// polygon with a left and a right vertex per row. Pure logic: the caller
// copies the bitmap's bits and turns the points into a window region.
#pragma once

#include <cstdint>

struct OutlinePoint {
    int x;
    int y;
};

// Pixel rows top to bottom; pixel (x, y) starts at y * stride + x * bytesPerPixel.
// A negative stride walks rows stored bottom-up, bits pointing at the top row.
struct PixelRows {
    const std::uint8_t* bits;
    int width;
    int height;
    int stride;
    int bytesPerPixel;
};

// A pixel belongs to the picture only when all three of its first bytes are
// more than 3 away from the key colour's bytes (lowest byte first).
bool IsPicturePixel(const std::uint8_t* pixel, std::uint32_t keyColour);

// Fills points[0 .. 2 * height - 1]: left vertices down the rows, then right
// vertices up the rows. Returns false when no pixel belongs to the picture;
// the points are then the full-width rows.
bool ScanOutline(const PixelRows& image, std::uint32_t keyColour, OutlinePoint* points);
