#include "OutlineScan.h"

namespace {

bool DiffersByMoreThan3(int a, int b) {
    int d = a - b;
    return d > 3 || d < -3;
}

const std::uint8_t* PixelAt(const PixelRows& image, int x, int y) {
    return image.bits + y * image.stride + x * image.bytesPerPixel;
}

}  // namespace

bool IsPicturePixel(const std::uint8_t* pixel, std::uint32_t keyColour) {
    return DiffersByMoreThan3(pixel[0], keyColour & 0xFF) && DiffersByMoreThan3(pixel[1], (keyColour >> 8) & 0xFF) &&
           DiffersByMoreThan3(pixel[2], (keyColour >> 16) & 0xFF);
}

bool ScanOutline(const PixelRows& image, std::uint32_t keyColour, OutlinePoint* points) {
    const int w = image.width;
    const int h = image.height;
    int firstRow = -1;
    for (int y = 0; y < h; y++) {
        OutlinePoint& left = points[y];
        OutlinePoint& right = points[2 * h - 1 - y];
        left = {0, y};
        right = {w - 1, y};
        bool found = false;
        for (int x = 0; x < w; x++) {
            if (IsPicturePixel(PixelAt(image, x, y), keyColour)) {
                left = {x + 1, y};
                found = true;
                break;
            }
        }
        for (int x = w - 1; x >= 0; x--) {
            if (IsPicturePixel(PixelAt(image, x, y), keyColour)) {
                right = {x - 1, y};
                break;
            }
        }
        if (found && firstRow < 0) firstRow = y;
    }
    if (firstRow < 0) return false;

    // The outline starts at the first row holding the picture: the rows above
    // repeat its two vertices instead of running the full width.
    for (int y = 0; y < firstRow; y++) {
        points[y] = points[firstRow];
        points[2 * h - 1 - y] = points[2 * h - 1 - firstRow];
    }

    // Pull the outline in by a pixel so the key-coloured fringe that
    // anti-aliasing leaves around the picture is cut off.
    const int half = h / 2;
    const int threeHalves = 3 * h / 2;
    for (int i = 0; i < half; i++) {
        points[i].x += 1;
        points[i].y += 1;
    }
    for (int i = half; i < h; i++)
        points[i].x += 2;
    for (int i = threeHalves; i < 2 * h; i++) {
        points[i].x -= 1;
        points[i].y -= 1;
    }
    return true;
}
