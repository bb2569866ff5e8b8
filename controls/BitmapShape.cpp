#include "BitmapShape.h"

#include <cstdlib>

#include "ControlCommon.h"
#include "GdiHolders.h"
#include "OutlineScan.h"

namespace {

// Frees the scan buffers on every path.
struct ScanBuffers {
    std::uint8_t* pixels = nullptr;
    OutlinePoint* points = nullptr;
    ~ScanBuffers() {
        std::free(pixels);
        std::free(points);
    }
};

static_assert(sizeof(OutlinePoint) == sizeof(POINT), "outline points are handed to CreatePolygonRgn");

}  // namespace

BitmapShape::~BitmapShape() {
    FreeBitmap(&bitmap);
}

int BitmapShape::ApplyBitmapShape(HBITMAP newBitmap) {
    if (!newBitmap)
        return kShapeNoBitmap;
    // Applying the bitmap already held must not delete it under our feet.
    if (bitmap != newBitmap)
        FreeBitmap(&bitmap);
    bitmap = newBitmap;

    BITMAP bm = {};
    if (GetObjectW(bitmap, sizeof(bm), &bm) != sizeof(bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return kShapeNoBitmap;
    const int w = bm.bmWidth;
    const int h = bm.bmHeight;
    // GetBitmapBits writes rows padded to a WORD. That is bmWidthBytes for
    // the device bitmaps LoadBitmap makes, but not for a DIB section, whose
    // bmWidthBytes is DWORD-padded.
    const int stride = (w * bm.bmBitsPixel + 15) / 16 * 2;
    width = w;
    height = h;

    ScanBuffers buffers;
    buffers.pixels = static_cast<std::uint8_t*>(std::malloc(static_cast<size_t>(stride) * h));
    buffers.points = static_cast<OutlinePoint*>(std::malloc(sizeof(OutlinePoint) * 2 * h));
    if (!buffers.pixels || !buffers.points)
        return kShapeOutOfMemory;
    GetBitmapBits(bitmap, stride * h, buffers.pixels);

    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    GetWindowPlacement(window, &wp);
    SetWindowPos(window, nullptr, wp.rcNormalPosition.left, wp.rcNormalPosition.top, w, h,
                 SWP_NOZORDER);

    RegionHolder region(CreateRectRgn(0, 0, w, h));
    PixelRows rows = {buffers.pixels, w, h, stride, stride / w};
    // A bitmap without any picture pixel keeps the full rectangle: a window
    // cut to nothing could not even be seen to be closed.
    if (ScanOutline(rows, keyColour, buffers.points)) {
        RegionHolder outline(CreatePolygonRgn(reinterpret_cast<const POINT*>(buffers.points),
                                              2 * h, ALTERNATE));
        CombineRgn(region.Get(), region.Get(), outline.Get(), RGN_AND);
    }
    if (SetWindowRgn(window, region.Get(), TRUE))
        region.Release();
    return kShapeDone;
}

int BitmapShape::ApplyBitmapShape(WORD resourceId) {
    HBITMAP loaded = LoadProgramBitmap(resourceId);
    if (!loaded)
        return kShapeNoBitmap;
    return ApplyBitmapShape(loaded);
}

int BitmapShape::ChangeBitmap(WORD resourceId) {
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    if (!GetWindowPlacement(window, &wp))
        return 0;
    FreeBitmap(&bitmap);
    bitmap = LoadProgramBitmap(resourceId);
    RepaintClient(window);
    return 1;
}
