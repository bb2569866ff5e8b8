// StaticText as a real window: text truncation, painting, bitmap ownership,
// and readings handed over from another thread.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "ControlTestHarness.h"
#include "StaticText.h"

namespace {

class StaticTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(1, label.Create(63, 270, 225, 68, 20, parent.Window()));
        Pump();
    }
    RecordingParent parent;
    StaticText label;
};

}  // namespace

TEST_F(StaticTextTest, TextOf44StaysWholeAndLongerIsCutTo43) {
    const std::wstring text44(44, L'x');
    label.SetText(text44.c_str());
    EXPECT_EQ(text44, label.GetText());
    label.SetText(std::wstring(45, L'y').c_str());
    EXPECT_EQ(std::wstring(43, L'y'), label.GetText());
    label.SetText(std::wstring(200, L'z').c_str());
    EXPECT_EQ(std::wstring(43, L'z'), label.GetText());
    label.SetText(nullptr);
    EXPECT_EQ(std::wstring(), label.GetText());
}

TEST_F(StaticTextTest, SetTextRepaintsWithTheTextOverTheBackground) {
    label.SetText(L"1234 MHz");
    EXPECT_TRUE(NeedsPaint(label.Window()));
    Pump();
    EXPECT_EQ(label.backgroundColour, ClientPixel(label.Window(), 1, 1));
    EXPECT_GT(CountClientPixels(label.Window(), 0xFFFFFF), 5);

    label.SetTextColour(0x0000FF);
    Pump();
    EXPECT_EQ(0, CountClientPixels(label.Window(), 0xFFFFFF));
    EXPECT_GT(CountClientPixels(label.Window(), 0x0000FF), 5);
}

TEST_F(StaticTextTest, TextIsCentredOverTheBitmap) {
    StaticText logo;
    ASSERT_EQ(1, logo.Create(1, 55, 230, 100, 36, parent.Window()));
    logo.SetBitmap(353);
    logo.SetTextColour(0x00FFFF);
    logo.SetText(L"Vexa");
    Pump();
    EXPECT_EQ(RGB(40, 160, 80), ClientPixel(logo.Window(), 1, 0));
    int left = 100, right = -1;
    HDC dc = GetDC(logo.Window());
    for (int y = 0; y < 36; y++)
        for (int x = 0; x < 100; x++)
            if (GetPixel(dc, x, y) == RGB(255, 255, 0)) {
                left = x < left ? x : left;
                right = x > right ? x : right;
            }
    ReleaseDC(logo.Window(), dc);
    ASSERT_GE(right, left);
    EXPECT_NEAR(50, (left + right) / 2, 3);
}

TEST_F(StaticTextTest, DestroyingTheWindowFreesTheBitmapOnce) {
    auto* logo = new StaticText;
    ASSERT_EQ(1, logo->Create(1, 55, 230, 100, 36, parent.Window()));
    logo->SetBitmap(353);
    HBITMAP bitmap = logo->bitmap.Get();
    ASSERT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(bitmap));
    DestroyWindow(logo->Window());
    EXPECT_EQ(0u, static_cast<unsigned>(GetObjectType(bitmap)));
    // A new object may take the freed handle's place; deleting the label
    // must not free it again.
    HBITMAP other = CreateBitmap(4, 4, 1, 32, nullptr);
    delete logo;
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(other));
    DeleteObject(other);
}

TEST_F(StaticTextTest, DestroyMessageBeforeTheRealDestructionIsHarmless) {
    // The news window sends WM_DESTROY to its rows before it is destroyed.
    label.SetBitmap(352);
    HWND hwnd = label.Window();
    SendMessageW(hwnd, WM_DESTROY, 0, 0);
    EXPECT_EQ(nullptr, label.bitmap.Get());
    EXPECT_TRUE(IsWindow(hwnd));
    DestroyWindow(hwnd);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(StaticTextTest, ASecondBitmapFreesTheFirst) {
    label.SetBitmap(352);
    HBITMAP first = label.bitmap.Get();
    label.SetBitmap(353);
    EXPECT_EQ(0u, static_cast<unsigned>(GetObjectType(first)));
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(label.bitmap.Get()));
}

TEST_F(StaticTextTest, MouseMessagesDoNothing) {
    PostMouse(label.Window(), WM_MOUSEMOVE, 5, 5);
    PostMouse(label.Window(), WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    PostMouse(label.Window(), WM_LBUTTONUP, 5, 5);
    EXPECT_TRUE(parent.Notes().empty());
    EXPECT_EQ(nullptr, GetCapture());
}

// ---- readings written by another thread ----

namespace {

// A long and a short reading in colours of their own: a paint that mixed
// them, or drew one with the other's tail, looks like neither.
struct Reading {
    const wchar_t* text;
    COLORREF colour;
};
const Reading kReadings[] = {
    {L"888888888888888888888888888888888888888888", RGB(255, 0, 0)},
    {L"1", RGB(255, 255, 255)},
};

bool IsAReading(const StaticText::Shown& shown) {
    for (const Reading& r : kReadings)
        if (shown.colour == r.colour && shown.length == static_cast<int>(wcslen(r.text)) &&
            wcscmp(shown.text, r.text) == 0)
            return true;
    return false;
}

// Stands in for the monitor thread: writes the readings in turn until told
// to stop.
struct MonitorStandIn {
    StaticText* display;
    volatile LONG stop;
    volatile LONG rounds;
};

DWORD WINAPI WriteReadings(void* argument) {
    auto* monitor = static_cast<MonitorStandIn*>(argument);
    while (!InterlockedCompareExchange(&monitor->stop, 0, 0)) {
        for (const Reading& r : kReadings)
            monitor->display->SetTextAndColour(r.text, r.colour);
        InterlockedIncrement(&monitor->rounds);
    }
    return 0;
}

// Paints the window now and reads its client pixels back.
std::vector<DWORD> PaintedPixels(HWND window, int w, int h) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(window);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP copy = CreateCompatibleBitmap(dc, w, h);
    HGDIOBJ previous = SelectObject(memory, copy);
    BitBlt(memory, 0, 0, w, h, dc, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(bi.bmiHeader), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> pixels(static_cast<size_t>(w) * h);
    GetDIBits(memory, copy, 0, h, pixels.data(), &bi, DIB_RGB_COLORS);
    DeleteObject(copy);
    DeleteDC(memory);
    ReleaseDC(window, dc);
    return pixels;
}

}  // namespace

TEST_F(StaticTextTest, ReadingsFromAnotherThreadAreShownAndPaintedWhole) {
    const int w = 400, h = 20;
    StaticText display;
    ASSERT_EQ(1, display.Create(64, 10, 40, w, h, parent.Window()));
    std::vector<DWORD> alone[2];
    for (int i = 0; i < 2; i++) {
        display.SetTextAndColour(kReadings[i].text, kReadings[i].colour);
        ASSERT_TRUE(IsAReading(display.Snapshot()));
        alone[i] = PaintedPixels(display.Window(), w, h);
    }
    ASSERT_NE(alone[0], alone[1]);

    MonitorStandIn monitor = {&display, 0, 0};
    HANDLE thread = CreateThread(nullptr, 0, &WriteReadings, &monitor, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    while (monitor.rounds == 0)
        Sleep(0);
    int mixedSnapshots = 0, mixedPaints = 0;
    const int kPaints = 1500, kSnapshotsPerPaint = 200;
    for (int i = 0; i < kPaints; i++) {
        for (int j = 0; j < kSnapshotsPerPaint; j++)
            mixedSnapshots += !IsAReading(display.Snapshot());
        const std::vector<DWORD> pixels = PaintedPixels(display.Window(), w, h);
        mixedPaints += pixels != alone[0] && pixels != alone[1];
    }
    InterlockedExchange(&monitor.stop, 1);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    Pump();
    EXPECT_GT(monitor.rounds, 100) << "the writer ran alongside the painting";
    EXPECT_EQ(0, mixedSnapshots) << "of " << kPaints * kSnapshotsPerPaint << " snapshots";
    EXPECT_EQ(0, mixedPaints) << "of " << kPaints << " paints";
}
