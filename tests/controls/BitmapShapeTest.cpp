// BitmapShape and ShapedPopup as real windows: the region the window gets,
// its size, bitmap ownership, and the popup's message handling.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BitmapShape.h"
#include "ControlTestHarness.h"
#include "OutlineScan.h"
#include "ShapedPopup.h"

namespace {

std::vector<unsigned char> Bgr(const std::vector<std::string>& art) {
    std::vector<unsigned char> bits;
    for (const std::string& row : art)
        for (char c : row) {
            const unsigned char v = c == '#' ? 0x20 : 0xFF;
            bits.insert(bits.end(), {v, v, v});
        }
    return bits;
}

HBITMAP BitmapFromArt(const std::vector<std::string>& art, int bits = 24) {
    std::vector<unsigned char> rows = Bgr(art);
    return MakeBitmapFromRows(static_cast<int>(art[0].size()), static_cast<int>(art.size()), rows.data(), bits);
}

HRGN ExpectedRegion(int w, int h, const std::vector<POINT>& points) {
    HRGN rect = CreateRectRgn(0, 0, w, h);
    HRGN polygon = CreatePolygonRgn(points.data(), static_cast<int>(points.size()), ALTERNATE);
    CombineRgn(rect, rect, polygon, RGN_AND);
    DeleteObject(polygon);
    return rect;
}

class ShapedWindow : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureControlClasses();
        window = CreateWindowExW(WS_EX_TOPMOST, L"static", nullptr, WS_POPUP | WS_VISIBLE, 100, 100, 10, 10, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        shape.window = window;
        Pump();
    }
    void TearDown() override {
        DestroyWindow(window);
        Pump();
    }

    // True when the window's region equals the polygon cut to the bitmap.
    bool RegionIs(int w, int h, const std::vector<POINT>& points) {
        HRGN actual = CreateRectRgn(0, 0, 0, 0);
        const bool hasRegion = GetWindowRgn(window, actual) != ERROR;
        HRGN expected = ExpectedRegion(w, h, points);
        const bool equal = hasRegion && EqualRgn(actual, expected);
        DeleteObject(actual);
        DeleteObject(expected);
        return equal;
    }

    SIZE WindowSize() {
        RECT rc;
        GetWindowRect(window, &rc);
        return {rc.right - rc.left, rc.bottom - rc.top};
    }

    HWND window = nullptr;
    BitmapShape shape;
};

const std::vector<std::string> kEmptyTopRows = {
    "......",
    "......",
    ".####.",
    "..##..",
};
const std::vector<POINT> kEmptyTopRowsOutline = {
    {3, 3}, {3, 3}, {4, 2}, {5, 3}, {2, 3}, {3, 2}, {2, 1}, {2, 1},
};

// The stand-in skin's outline probe (make_test_skin.py).
const WORD kOutlineProbe = 600;

// The outline that the scan finds in top-down 24-bit rows.
std::vector<POINT> OutlineOfRows(const std::uint8_t* rows, int w, int h, int stride) {
    std::vector<OutlinePoint> outline(2 * h);
    if (!ScanOutline({rows, w, h, stride, 3}, 0xFFFFFF, outline.data())) return {};
    std::vector<POINT> points;
    for (const OutlinePoint& p : outline)
        points.push_back({p.x, p.y});
    return points;
}

// The outline of a 24-bit bitmap resource scanned from its own rows, as
// they are stored in the module: what a 24-bit screen shows of it.
std::vector<POINT> OutlineOfResource(WORD id, int* width, int* height) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_BITMAP);
    const auto* info = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, found)));
    if (!info || info->biBitCount != 24 || info->biHeight <= 0) return {};
    *width = info->biWidth;
    *height = info->biHeight;
    const int w = *width, h = *height;
    const int stride = (w * 3 + 3) & ~3;
    const auto* bottomUp = reinterpret_cast<const std::uint8_t*>(info) + info->biSize;
    std::vector<std::uint8_t> rows(static_cast<size_t>(stride) * h);
    for (int y = 0; y < h; y++)
        memcpy(&rows[static_cast<size_t>(y) * stride], bottomUp + (h - 1 - y) * stride, stride);
    return OutlineOfRows(rows.data(), w, h, stride);
}

}  // namespace

TEST_F(ShapedWindow, NullBitmapChangesNothing) {
    EXPECT_EQ(kShapeNoBitmap, shape.ApplyBitmapShape(static_cast<HBITMAP>(nullptr)));
    EXPECT_EQ(nullptr, shape.bitmap.Get());
    EXPECT_EQ(10, WindowSize().cx);
    EXPECT_EQ(kShapeNoBitmap, shape.ApplyBitmapShape(static_cast<WORD>(9999)));
}

TEST_F(ShapedWindow, RegionIsTheOutlinePolygonCutToTheBitmap) {
    for (int bits : {24, 32}) {
        SCOPED_TRACE(bits);
        ASSERT_EQ(kShapeDone, shape.ApplyBitmapShape(BitmapFromArt(kEmptyTopRows, bits)));
        EXPECT_TRUE(RegionIs(6, 4, kEmptyTopRowsOutline));
        EXPECT_EQ(6, shape.width);
        EXPECT_EQ(4, shape.height);
        EXPECT_EQ(6, WindowSize().cx);
        EXPECT_EQ(4, WindowSize().cy);
    }
}

TEST_F(ShapedWindow, BitmapsOfEveryPixelFormatGiveTheOutlineOfTheirPicture) {
    // A diamond: every row ends somewhere else.
    const int w = 20, h = 12;
    std::vector<std::string> art;
    for (int y = 0; y < h; y++) {
        const int half = y < h / 2 ? h / 2 - y : y - h / 2;
        std::string row(w, '.');
        for (int x = 2 + half; x < w - 2 - half; x++)
            row[x] = '#';
        art.push_back(row);
    }
    const std::vector<unsigned char> rows = Bgr(art);
    const std::vector<POINT> outline = OutlineOfRows(rows.data(), w, h, w * 3);
    ASSERT_FALSE(outline.empty());
    // LoadBitmap makes 16- and 8-bit bitmaps on 16- and 8-bit screens.
    for (int bits : {8, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        ASSERT_EQ(kShapeDone, shape.ApplyBitmapShape(BitmapFromArt(art, bits)));
        EXPECT_TRUE(RegionIs(w, h, outline));
    }
}

TEST_F(ShapedWindow, SkinResourceOutlineIsTheSameOnEveryScreenDepth) {
    HDC screen = GetDC(nullptr);
    SCOPED_TRACE(testing::Message() << GetDeviceCaps(screen, BITSPIXEL) << "-bit screen");
    ReleaseDC(nullptr, screen);
    int w = 0, h = 0;
    const std::vector<POINT> outline = OutlineOfResource(kOutlineProbe, &w, &h);
    ASSERT_FALSE(outline.empty());
    ASSERT_EQ(kShapeDone, shape.ApplyBitmapShape(kOutlineProbe));
    EXPECT_TRUE(RegionIs(w, h, outline));
}

TEST_F(ShapedWindow, DibSectionRowsAreReadWithTheirRealPadding) {
    // 7 pixels of 24 bits: GetBitmapBits pads rows to 22 bytes, while a DIB
    // section reports 24 in bmWidthBytes.
    const std::vector<std::string> art = {".......", ".#####.", "..###.."};
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = 7;
    bi.bmiHeader.biHeight = -3;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(nullptr, dib);
    std::vector<unsigned char> rows = Bgr(art);
    for (int y = 0; y < 3; y++)
        memcpy(static_cast<unsigned char*>(bits) + y * 24, &rows[y * 21], 21);
    ASSERT_EQ(kShapeDone, shape.ApplyBitmapShape(dib));
    EXPECT_TRUE(RegionIs(7, 3, {{3, 2}, {4, 1}, {5, 2}, {3, 2}, {3, 0}, {3, 0}}));
}

TEST_F(ShapedWindow, KeyColouredPixelsInsideTheOutlineStayInTheWindow) {
    // A dark ring around a white centre, on a white background.
    std::vector<std::string> art;
    for (int y = 0; y < 40; y++) {
        std::string row;
        for (int x = 0; x < 40; x++) {
            const int dx = x - 20, dy = y - 20;
            const int d2 = dx * dx + dy * dy;
            row += (d2 <= 18 * 18 && d2 >= 10 * 10) ? '#' : '.';
        }
        art.push_back(row);
    }
    ASSERT_EQ(kShapeDone, shape.ApplyBitmapShape(BitmapFromArt(art)));
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(window, region));
    EXPECT_TRUE(PtInRegion(region, 20, 20));  // white centre
    EXPECT_TRUE(PtInRegion(region, 20, 6));   // on the ring
    EXPECT_FALSE(PtInRegion(region, 1, 1));   // corners are cut away
    EXPECT_FALSE(PtInRegion(region, 38, 38));
    EXPECT_FALSE(PtInRegion(region, 38, 1));
    DeleteObject(region);
}

TEST_F(ShapedWindow, SecondBitmapReplacesTheFirstAndResizes) {
    HBITMAP first = BitmapFromArt(kEmptyTopRows);
    ASSERT_EQ(kShapeDone, shape.ApplyBitmapShape(first));
    HBITMAP second = BitmapFromArt({"..........", ".########.", ".########."});
    ASSERT_EQ(kShapeDone, shape.ApplyBitmapShape(second));
    EXPECT_EQ(0u, static_cast<unsigned>(GetObjectType(first)));
    EXPECT_EQ(second, shape.bitmap.Get());
    EXPECT_EQ(10, WindowSize().cx);
    EXPECT_EQ(3, WindowSize().cy);
}

TEST_F(ShapedWindow, ApplyingTheHeldBitmapAgainKeepsIt) {
    HBITMAP bitmap = BitmapFromArt(kEmptyTopRows);
    ASSERT_EQ(kShapeDone, shape.ApplyBitmapShape(bitmap));
    ASSERT_EQ(kShapeDone, shape.ApplyBitmapShape(bitmap));
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(bitmap));
    EXPECT_TRUE(RegionIs(6, 4, kEmptyTopRowsOutline));
}

TEST_F(ShapedWindow, ChangeBitmapKeepsRegionAndSize) {
    ASSERT_EQ(kShapeDone, shape.ApplyBitmapShape(BitmapFromArt(kEmptyTopRows)));
    HBITMAP first = shape.bitmap.Get();
    EXPECT_TRUE(shape.ChangeBitmap(308));  // 139 x 71
    EXPECT_EQ(0u, static_cast<unsigned>(GetObjectType(first)));
    EXPECT_NE(nullptr, shape.bitmap.Get());
    EXPECT_EQ(6, shape.width);
    EXPECT_EQ(4, shape.height);
    EXPECT_EQ(6, WindowSize().cx);
    EXPECT_TRUE(RegionIs(6, 4, kEmptyTopRowsOutline));
}

TEST_F(ShapedWindow, ChangeBitmapWithoutWindowFails) {
    BitmapShape orphan;
    EXPECT_FALSE(orphan.ChangeBitmap(308));
    EXPECT_EQ(nullptr, orphan.bitmap.Get());
}

TEST_F(ShapedWindow, BitmapWithoutPictureKeepsTheWholeRectangle) {
    ASSERT_EQ(kShapeDone, shape.ApplyBitmapShape(BitmapFromArt({"....", "....", "...."})));
    EXPECT_TRUE(RegionIs(4, 3, {{0, 0}, {4, 0}, {4, 3}, {0, 3}}));
}

TEST_F(ShapedWindow, SkinSizedRegionBenchmark) {
    // A 552 x 330 picture with rounded corners on the white key, like the
    // main window's skin.
    const int w = 552, h = 330, r = 40;
    std::vector<unsigned char> rows(static_cast<size_t>(w) * h * 3, 0xFF);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const int cx = x < r ? r : (x >= w - r ? w - 1 - r : x);
            const int cy = y < r ? r : (y >= h - r ? h - 1 - r : y);
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r && (x + y) % 7)
                rows[(static_cast<size_t>(y) * w + x) * 3] = 0x40,
                                                        rows[(static_cast<size_t>(y) * w + x) * 3 + 1] = 0x50,
                                                        rows[(static_cast<size_t>(y) * w + x) * 3 + 2] = 0x60;
        }
    const int runs = 5;
    double total = 0;
    for (int i = 0; i < runs; i++) {
        HBITMAP skin = MakeBitmapFromRows(w, h, rows.data());
        auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(kShapeDone, shape.ApplyBitmapShape(skin));
        total += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    std::printf("[ benchmark ] region for a 552 x 330 skin: %.2f ms on average over %d runs\n", total / runs, runs);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(window, region));
    EXPECT_TRUE(PtInRegion(region, w / 2, h / 2));
    EXPECT_FALSE(PtInRegion(region, 2, 2));
    DeleteObject(region);
}

// ---- ShapedPopup ----

TEST(ShapedPopupTest, TakesItsBitmapsSizeAndIgnoresKeysAndSystemCommands) {
    RecordingParent parent;
    ShapedPopup popup;
    ASSERT_EQ(1, popup.Create(32, 20, 30, parent.Window(), 308));
    HWND hwnd = popup.Window();
    RECT rc;
    GetWindowRect(hwnd, &rc);
    EXPECT_EQ(139, rc.right - rc.left);
    EXPECT_EQ(71, rc.bottom - rc.top);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(0, GetDlgCtrlID(hwnd));

    SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostKey(hwnd, WM_KEYDOWN, VK_ESCAPE);
    EXPECT_TRUE(IsWindow(hwnd));
}

TEST(ShapedPopupTest, CaptionIsDrawnOnlyWhenSet) {
    RecordingParent parent;
    ShapedPopup popup;
    ASSERT_EQ(1, popup.Create(32, 20, 30, parent.Window(), 308));
    const COLORREF green = RGB(0, 255, 0);
    popup.SetCaptionColour(green);
    popup.SetCaptionPosition(10, 20);
    RedrawWindow(popup.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    EXPECT_EQ(0, CountClientPixels(popup.Window(), green));

    popup.SetCaptionText(L"GPU Clock");
    RedrawWindow(popup.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    EXPECT_GT(CountClientPixels(popup.Window(), green), 10);
}

TEST(ShapedPopupTest, FailsWhenTheBitmapIsMissing) {
    RecordingParent parent;
    ShapedPopup popup;
    EXPECT_EQ(0, popup.Create(32, 20, 30, parent.Window(), 9999));
}
