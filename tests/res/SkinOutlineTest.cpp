// The windows shaped from the skin (the main window from 243, the slider
// popups from their pictures) get the outline the control library traces.
// That outline must match the picture: no key-coloured pixel of the
// surroundings inside the window (white specks along the edge) and nothing
// lost inside the picture (holes).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "BitmapShape.h"
#include "resource.h"

namespace {

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<DWORD> bgr;  // 0x00RRGGBB, top row first
};

Pixels ReadPixels(HBITMAP bitmap) {
    Pixels p;
    BITMAP bm = {};
    GetObjectW(bitmap, sizeof(bm), &bm);
    p.width = bm.bmWidth;
    p.height = bm.bmHeight;
    p.bgr.resize(static_cast<size_t>(p.width) * p.height);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = p.width;
    info.bmiHeader.biHeight = -p.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, p.height, p.bgr.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return p;
}

// A pixel is part of the picture when each byte is more than 3 away from
// the white key; everything else could be taken for the background.
bool IsPicture(DWORD c) {
    for (int shift = 0; shift < 24; shift += 8)
        if (255 - static_cast<int>((c >> shift) & 0xFF) <= 3) return false;
    return true;
}

// Background pixels reachable from the border: what the design leaves
// outside the window.
std::vector<char> Outside(const Pixels& p) {
    std::vector<char> out(p.bgr.size(), 0);
    std::vector<int> stack;
    auto push = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= p.width || y >= p.height) return;
        size_t i = static_cast<size_t>(y) * p.width + x;
        if (out[i] || IsPicture(p.bgr[i])) return;
        out[i] = 1;
        stack.push_back(static_cast<int>(i));
    };
    for (int x = 0; x < p.width; ++x) {
        push(x, 0);
        push(x, p.height - 1);
    }
    for (int y = 0; y < p.height; ++y) {
        push(0, y);
        push(p.width - 1, y);
    }
    while (!stack.empty()) {
        int i = stack.back();
        stack.pop_back();
        int x = i % p.width, y = i / p.width;
        push(x + 1, y);
        push(x - 1, y);
        push(x, y + 1);
        push(x, y - 1);
    }
    return out;
}

// The region as a pixel mask.
std::vector<char> RegionMask(HRGN region, int width, int height) {
    std::vector<char> mask(static_cast<size_t>(width) * height, 0);
    DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<BYTE> buffer(size);
    RGNDATA* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (!size || !GetRegionData(region, size, data)) return mask;
    const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
    for (DWORD r = 0; r < data->rdh.nCount; ++r)
        for (int y = std::max(0L, rects[r].top); y < std::min<long>(height, rects[r].bottom); ++y)
            for (int x = std::max(0L, rects[r].left); x < std::min<long>(width, rects[r].right); ++x)
                mask[static_cast<size_t>(y) * width + x] = 1;
    return mask;
}

struct OutlineReport {
    int stray = 0;  // background pixels inside the window
    int holes = 0;  // picture pixels well inside the outline but cut away
    int width = 0;
    int height = 0;
};

// How far inside the picture's own edge the traced outline may start: the
// trace deliberately trims two to three pixels on each side.
const int kEdgeTrim = 4;

OutlineReport ShapeAndCompare(WORD id) {
    OutlineReport report;
    HMODULE self = GetModuleHandleW(nullptr);
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, self, nullptr);
    if (!window) return report;
    HBITMAP forReading = LoadBitmapW(self, MAKEINTRESOURCEW(id));
    Pixels pixels = ReadPixels(forReading);
    DeleteObject(forReading);

    {
        BitmapShape shape;
        shape.window = window;
        if (shape.ApplyBitmapShape(LoadBitmapW(self, MAKEINTRESOURCEW(id))) != kShapeDone) {
            DestroyWindow(window);
            return report;
        }
        report.width = shape.width;
        report.height = shape.height;
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        GetWindowRgn(window, region);
        std::vector<char> inRegion = RegionMask(region, pixels.width, pixels.height);
        DeleteObject(region);

        std::vector<char> outside = Outside(pixels);
        for (int y = 0; y < pixels.height; ++y) {
            for (int x = 0; x < pixels.width; ++x) {
                size_t i = static_cast<size_t>(y) * pixels.width + x;
                if (outside[i] && inRegion[i]) ++report.stray;
                bool deepInside = true;
                for (int dy = -kEdgeTrim; dy <= kEdgeTrim && deepInside; ++dy)
                    for (int dx = -kEdgeTrim; dx <= kEdgeTrim && deepInside; ++dx) {
                        int xx = x + dx, yy = y + dy;
                        deepInside = xx >= 0 && yy >= 0 && xx < pixels.width && yy < pixels.height &&
                                     !outside[static_cast<size_t>(yy) * pixels.width + xx];
                    }
                if (deepInside && !inRegion[i]) ++report.holes;
            }
        }
        DestroyWindow(window);
    }
    return report;
}

TEST(SkinOutline, MainSkinIsCutCleanly) {
    OutlineReport r = ShapeAndCompare(IDB_SKIN);
    EXPECT_EQ(r.width, 552);
    EXPECT_EQ(r.height, 330);
    EXPECT_EQ(r.stray, 0);
    EXPECT_EQ(r.holes, 0);
}

TEST(SkinOutline, EveryPopupPictureIsCutCleanly) {
    std::vector<WORD> ids;
    for (WORD id : {240, 242, 282, 328, 374, 418})
        ids.push_back(id);
    for (WORD id = 284; id <= 308; ++id)
        ids.push_back(id);
    for (WORD id = 311; id <= 323; ++id)
        ids.push_back(id);
    for (WORD id = 407; id <= 415; ++id)
        ids.push_back(id);
    for (WORD id = 427; id <= 446; ++id)
        ids.push_back(id);
    ASSERT_EQ(ids.size(), 73u);
    for (WORD id : ids) {
        OutlineReport r = ShapeAndCompare(id);
        EXPECT_GT(r.width, 0) << id;
        EXPECT_EQ(r.stray, 0) << id;
        EXPECT_EQ(r.holes, 0) << id;
    }
}

// The popups keep the first picture's region while their pictures change,
// so every picture of a table must share one outline.
TEST(SkinOutline, PopupPicturesOfATableShareTheirOutline) {
    HMODULE self = GetModuleHandleW(nullptr);
    auto outsideOf = [&](WORD id) {
        HBITMAP b = LoadBitmapW(self, MAKEINTRESOURCEW(id));
        std::vector<char> out = Outside(ReadPixels(b));
        DeleteObject(b);
        return out;
    };
    std::vector<char> big = outsideOf(308);
    for (WORD id : {242, 240, 300, 323})
        EXPECT_TRUE(outsideOf(id) == big) << id;
    std::vector<char> small = outsideOf(427);
    for (WORD id : {407, 438, 446, 428})
        EXPECT_TRUE(outsideOf(id) == small) << id;
}

}  // namespace
