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

BitmapShapeResult BitmapShape::ApplyBitmapShape(HBITMAP newBitmap) {
    if (!newBitmap) return kShapeNoBitmap;
    // The caller has handed it over, so it is ours even when unusable. Reset
    // keeps a bitmap applied a second time rather than deleting it.
    bitmap.Reset(newBitmap);

    BITMAP bm = {};
    if (GetObjectW(bitmap.Get(), sizeof(bm), &bm) != sizeof(bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return kShapeNoBitmap;
    const int w = bm.bmWidth;
    const int h = bm.bmHeight;
    width = w;
    height = h;

    ScanBuffers buffers;
    buffers.pixels = static_cast<std::uint8_t*>(std::malloc(static_cast<size_t>(w) * 4 * h));
    buffers.points = static_cast<OutlinePoint*>(std::malloc(sizeof(OutlinePoint) * 2 * h));
    if (!buffers.pixels || !buffers.points) return kShapeOutOfMemory;
    // The bitmap's own format follows the screen's (LoadBitmap makes 16- or
    // 8-bit bitmaps on such screens), so the pixels are always read as 32-bit
    // top-down rows, blue, green, red, unused: the layout the scan expects.
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = w;
    format.bmiHeader.biHeight = -h;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    MemoryDC dc;
    const bool read = GetDIBits(dc.Get(), bitmap.Get(), 0, h, buffers.pixels, &format, DIB_RGB_COLORS) == h;

    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    GetWindowPlacement(window, &wp);
    SetWindowPos(window, nullptr, wp.rcNormalPosition.left, wp.rcNormalPosition.top, w, h, SWP_NOZORDER);

    RegionHolder region(CreateRectRgn(0, 0, w, h));
    PixelRows rows = {buffers.pixels, w, h, w * 4, 4};
    // A bitmap without any picture pixel keeps the full rectangle: a window
    // cut to nothing could not even be seen to be closed. So does one whose
    // pixels could not be read.
    if (read && ScanOutline(rows, keyColour, buffers.points)) {
        RegionHolder outline(CreatePolygonRgn(reinterpret_cast<const POINT*>(buffers.points), 2 * h, ALTERNATE));
        CombineRgn(region.Get(), region.Get(), outline.Get(), RGN_AND);
    }
    if (SetWindowRgn(window, region.Get(), TRUE)) region.Release();
    return kShapeDone;
}

BitmapShapeResult BitmapShape::ApplyBitmapShape(WORD resourceId) {
    // Loaded as a DIB section of the resource's own format: a bitmap in the
    // format of a 16- or 8-bit screen has already rounded the colours, and
    // near the key colour that moves the outline.
    HBITMAP loaded = static_cast<HBITMAP>(
        LoadImageW(ProgramModule(), MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!loaded) return kShapeNoBitmap;
    return ApplyBitmapShape(loaded);
}

bool BitmapShape::ChangeBitmap(WORD resourceId) {
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    if (!GetWindowPlacement(window, &wp)) return false;
    bitmap.Reset(LoadProgramBitmap(resourceId));
    RepaintClient(window);
    return true;
}
