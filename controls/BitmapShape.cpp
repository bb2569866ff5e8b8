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

// The rows of a 24- or 32-bit bitmap resource, read where the module holds
// them: a copy of a 552 x 330 skin costs more than the whole outline, most
// of it in fresh pages. False for any other format or a resource too short
// for its header's rows.
bool ResourceRows(WORD resourceId, int width, int height, PixelRows* rows) {
    HMODULE module = ProgramModule();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resourceId), RT_BITMAP);
    if (!found) return false;
    HGLOBAL loaded = LoadResource(module, found);
    const auto* header = loaded ? static_cast<const BITMAPINFOHEADER*>(LockResource(loaded)) : nullptr;
    const DWORD size = SizeofResource(module, found);
    if (!header || size < sizeof(BITMAPINFOHEADER) || header->biSize < sizeof(BITMAPINFOHEADER) ||
        header->biSize > size || header->biPlanes != 1 || header->biCompression != BI_RGB ||
        (header->biBitCount != 24 && header->biBitCount != 32) || header->biWidth != width ||
        (header->biHeight != height && header->biHeight != -height) || header->biClrUsed > 256) {
        return false;
    }
    const int bytesPerPixel = header->biBitCount / 8;
    const int stride = (width * bytesPerPixel + 3) & ~3;
    const size_t offset = header->biSize + header->biClrUsed * sizeof(RGBQUAD);
    if (offset > size || (size - offset) / stride < static_cast<size_t>(height)) return false;
    const auto* bits = reinterpret_cast<const std::uint8_t*>(header) + offset;
    // A positive height stores the rows bottom-up: walk them backwards.
    const bool bottomUp = header->biHeight > 0;
    *rows = {bottomUp ? bits + static_cast<size_t>(height - 1) * stride : bits, width, height,
             bottomUp ? -stride : stride, bytesPerPixel};
    return true;
}

}  // namespace

BitmapShapeResult BitmapShape::ApplyBitmapShape(HBITMAP newBitmap) {
    return Apply(newBitmap, 0);
}

BitmapShapeResult BitmapShape::Apply(HBITMAP newBitmap, WORD resourceId) {
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
    buffers.points = static_cast<OutlinePoint*>(std::malloc(sizeof(OutlinePoint) * 2 * h));
    if (!buffers.points) return kShapeOutOfMemory;
    PixelRows rows = {};
    bool read = resourceId != 0 && ResourceRows(resourceId, w, h, &rows);
    if (!read) {
        buffers.pixels = static_cast<std::uint8_t*>(std::malloc(static_cast<size_t>(w) * 4 * h));
        if (!buffers.pixels) return kShapeOutOfMemory;
        // Any other bitmap's format follows the screen's (LoadBitmap makes
        // 16- or 8-bit bitmaps on such screens), so its pixels are read as
        // 32-bit top-down rows, blue, green, red, unused.
        BITMAPINFO format = {};
        format.bmiHeader.biSize = sizeof(format.bmiHeader);
        format.bmiHeader.biWidth = w;
        format.bmiHeader.biHeight = -h;
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        format.bmiHeader.biCompression = BI_RGB;
        MemoryDC dc;
        read = GetDIBits(dc.Get(), bitmap.Get(), 0, h, buffers.pixels, &format, DIB_RGB_COLORS) == h;
        rows = {buffers.pixels, w, h, w * 4, 4};
    }

    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    GetWindowPlacement(window, &wp);
    SetWindowPos(window, nullptr, wp.rcNormalPosition.left, wp.rcNormalPosition.top, w, h, SWP_NOZORDER);

    RegionHolder region(CreateRectRgn(0, 0, w, h));
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
    return Apply(loaded, resourceId);
}

bool BitmapShape::ChangeBitmap(WORD resourceId) {
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    if (!GetWindowPlacement(window, &wp)) return false;
    bitmap.Reset(LoadProgramBitmap(resourceId));
    RepaintClient(window);
    return true;
}
