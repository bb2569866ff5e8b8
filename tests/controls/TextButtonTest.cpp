// TextButton and BitmapButton as real child windows receiving real mouse,
// focus and timer messages.
#include <gtest/gtest.h>

#include <string>

#include "BitmapButton.h"
#include "ControlMessages.h"
#include "ControlTestHarness.h"
#include "TextButton.h"

namespace {

const COLORREF kLightEdge = 0xD1D1A5;
const COLORREF kBlack = 0x000000;
const COLORREF kWhite = 0xFFFFFF;

class TextButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(1, button.Create(48, L"Test", 20, 20, 100, 18, parent.Window(), 258, 267, 330));
        hwnd = button.Window();
        Pump();
        parent.Clear();
    }

    void MoveOver() { PostMouse(hwnd, WM_MOUSEMOVE, 50, 9); }
    void Press() { PostMouse(hwnd, WM_LBUTTONDOWN, 50, 9, MK_LBUTTON); }
    void Release(int x = 50, int y = 9) { PostMouse(hwnd, WM_LBUTTONUP, x, y); }

    RecordingParent parent;
    TextButton button;
    HWND hwnd = nullptr;
};

}  // namespace

TEST_F(TextButtonTest, FocusIsReportedBeforeTheClick) {
    MoveOver();
    Press();
    Release();
    ASSERT_EQ((std::vector<UINT>{UM_BUTTON_FOCUSED, UM_BUTTON_CLICKED}), parent.Messages());
    EXPECT_EQ(reinterpret_cast<LPARAM>(hwnd), parent.Notes()[0].lParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(&button), parent.Notes()[1].lParam);
    EXPECT_EQ(0u, parent.Notes()[1].wParam);

    parent.Clear();
    Press();
    Release();
    EXPECT_EQ((std::vector<UINT>{UM_BUTTON_CLICKED}), parent.Messages());
}

TEST_F(TextButtonTest, HoverTakesAndReleasesTheCapture) {
    MoveOver();
    EXPECT_EQ(1, button.hover);
    EXPECT_EQ(hwnd, GetCapture());
    PostMouse(hwnd, WM_MOUSEMOVE, 300, 200);
    EXPECT_EQ(0, button.hover);
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(TextButtonTest, ReleasingOutsideAfterDraggingOffStillClicks) {
    MoveOver();
    Press();
    PostMouse(hwnd, WM_MOUSEMOVE, 300, 200, MK_LBUTTON);
    EXPECT_EQ(0, button.hover);
    EXPECT_EQ(hwnd, GetCapture()) << "the held button keeps the capture";
    Release(300, 200);
    EXPECT_EQ(1, parent.Count(UM_BUTTON_CLICKED));
    EXPECT_EQ(0, button.pressed);
}

TEST_F(TextButtonTest, PlainButtonClicksOnceHoweverLongItIsHeld) {
    MoveOver();
    Press();
    PumpFor(1200);
    EXPECT_EQ(0, parent.Count(UM_BUTTON_CLICKED));
    Release();
    EXPECT_EQ(1, parent.Count(UM_BUTTON_CLICKED));
}

TEST_F(TextButtonTest, AutoRepeatClicksEvery50msAfter800ms) {
    button.SetAutoRepeat(1);
    MoveOver();
    Press();
    PumpFor(700);
    EXPECT_EQ(0, parent.Count(UM_BUTTON_CLICKED)) << "nothing before 800 ms";
    PumpFor(1300);
    Release();
    // 1.2 s of repeating at 50 ms gives 24 ticks, plus the release; Wine's
    // timers may run a little late.
    const int clicks = parent.Count(UM_BUTTON_CLICKED);
    EXPECT_GE(clicks, 15);
    EXPECT_LE(clicks, 26);

    parent.Clear();
    PumpFor(300);
    EXPECT_EQ(0, parent.Count(UM_BUTTON_CLICKED)) << "the release stops the timer";
}

TEST_F(TextButtonTest, AutoRepeatStopsWhenAnotherWindowTakesTheMouse) {
    button.SetAutoRepeat(1);
    MoveOver();
    Press();
    SetCapture(parent.Window());
    PumpFor(1200);
    EXPECT_EQ(0, parent.Count(UM_BUTTON_CLICKED));
    ReleaseCapture();
}

TEST_F(TextButtonTest, EnableRepaintsOnlyWhenTheStateChanges) {
    Pump();
    ASSERT_FALSE(NeedsPaint(hwnd));
    button.Enable(1);
    EXPECT_FALSE(NeedsPaint(hwnd));
    button.Enable(0);
    EXPECT_TRUE(NeedsPaint(hwnd));
    EXPECT_FALSE(IsWindowEnabled(hwnd));
    Pump();
    button.Enable(0);
    EXPECT_FALSE(NeedsPaint(hwnd));
}

TEST_F(TextButtonTest, FrameShowsRaisedSunkenAndDisabledLooks) {
    const int bottom = 17;
    Pump();
    EXPECT_EQ(kLightEdge, ClientPixel(hwnd, 0, 5));
    EXPECT_EQ(kLightEdge, ClientPixel(hwnd, 5, 0));
    EXPECT_EQ(kBlack, ClientPixel(hwnd, 5, bottom));
    EXPECT_EQ(kBlack, ClientPixel(hwnd, 99, 5));

    MoveOver();
    Press();
    EXPECT_EQ(kBlack, ClientPixel(hwnd, 0, 5));
    EXPECT_EQ(kWhite, ClientPixel(hwnd, 5, bottom));
    EXPECT_EQ(kWhite, ClientPixel(hwnd, 99, 5));
    Release();

    SetFocus(parent.Window());
    button.Enable(0);
    Pump();
    EXPECT_EQ(kBlack, ClientPixel(hwnd, 0, 5));
    EXPECT_EQ(kBlack, ClientPixel(hwnd, 5, 0));
}

TEST_F(TextButtonTest, LosingTheFocusClearsHoverAndPressed) {
    MoveOver();
    Press();
    SetFocus(parent.Window());
    Pump();
    EXPECT_EQ(0, button.hover);
    EXPECT_EQ(0, button.pressed);
}

TEST_F(TextButtonTest, CaptionIsCutToNineteenCharacters) {
    auto pixels = [](HWND window) {
        std::vector<COLORREF> all;
        HDC dc = GetDC(window);
        for (int y = 0; y < 18; y++)
            for (int x = 0; x < 100; x++)
                all.push_back(GetPixel(dc, x, y));
        ReleaseDC(window, dc);
        return all;
    };
    // Narrow letters keep the whole caption on the 100-pixel face.
    const std::wstring narrow(18, L'i');
    TextButton longCaption, nineteen, eighteen;
    ASSERT_EQ(1, longCaption.Create(1, (narrow + L"ABCDEFG").c_str(), 0, 100, 100, 18, parent.Window(), 258, 267, 330));
    ASSERT_EQ(1, nineteen.Create(2, (narrow + L"A").c_str(), 0, 130, 100, 18, parent.Window(), 258, 267, 330));
    ASSERT_EQ(1, eighteen.Create(3, narrow.c_str(), 0, 160, 100, 18, parent.Window(), 258, 267, 330));
    Pump();
    EXPECT_EQ(pixels(nineteen.Window()), pixels(longCaption.Window()));
    EXPECT_NE(pixels(eighteen.Window()), pixels(longCaption.Window()));
}

TEST_F(TextButtonTest, WindowWithoutObjectIgnoresMouseAndTimer) {
    HWND bare = CreateWindowExW(0, kTextButtonClass, L"x", WS_CHILD | WS_VISIBLE, 0, 200, 20, 20, parent.Window(),
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, bare);
    EXPECT_EQ(0, SendMessageW(bare, WM_LBUTTONDOWN, MK_LBUTTON, 0));
    EXPECT_EQ(0, SendMessageW(bare, WM_LBUTTONUP, 0, 0));
    EXPECT_EQ(0, SendMessageW(bare, WM_TIMER, 2, 0));
    Pump();
    EXPECT_TRUE(parent.Notes().empty());
    DestroyWindow(bare);
}

// ---- BitmapButton ----

class BitmapButtonTest : public ::testing::Test {
protected:
    // Presses and releases the button with the given id.
    void Click(int id) {
        ASSERT_EQ(1, button.Create(id, nullptr, 435, 18, 30, 30, parent.Window(), 264, 270));
        Pump();
        parent.Clear();
        HWND hwnd = button.Window();
        PostMouse(hwnd, WM_MOUSEMOVE, 8, 8);
        PostMouse(hwnd, WM_LBUTTONDOWN, 8, 8, MK_LBUTTON);
        PostMouse(hwnd, WM_LBUTTONUP, 8, 8);
    }

    RecordingParent parent;
    BitmapButton button;
};

TEST_F(BitmapButtonTest, IsCutToTheEllipseOfItsBitmap) {
    ASSERT_EQ(1, button.Create(70, nullptr, 10, 10, 30, 30, parent.Window(), 264, 270));
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(button.Window(), region));
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_LE(box.right, 16);  // the 16 x 17 face, not the 30 x 30 window
    EXPECT_LE(box.bottom, 17);
    EXPECT_TRUE(PtInRegion(region, 8, 8));
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    DeleteObject(region);
}

TEST_F(BitmapButtonTest, MissingNormalBitmapMakesNoWindow) {
    EXPECT_EQ(0, button.Create(70, nullptr, 10, 10, 30, 30, parent.Window(), 9999, 270));
    EXPECT_EQ(nullptr, FindWindowExW(parent.Window(), nullptr, kBitmapButtonClass, nullptr));
}

TEST_F(BitmapButtonTest, MinimiseButtonMinimisesTheParent) {
    Click(BitmapButton::kMinimiseId);
    EXPECT_TRUE(IsIconic(parent.Window()));
    EXPECT_EQ(0, parent.Count(WM_DESTROY));
    EXPECT_EQ(0, parent.Count(UM_BUTTON_CLICKED));
}

TEST_F(BitmapButtonTest, CloseButtonSendsDestroyToTheParent) {
    Click(BitmapButton::kCloseId);
    EXPECT_EQ(1, parent.Count(WM_DESTROY));
    EXPECT_FALSE(IsIconic(parent.Window()));
}

TEST_F(BitmapButtonTest, OtherIdsOnlyRepaint) {
    Click(70);
    EXPECT_FALSE(IsIconic(parent.Window()));
    EXPECT_EQ((std::vector<UINT>{UM_BUTTON_FOCUSED}), parent.Messages());
}

TEST_F(BitmapButtonTest, IgnoresTimers) {
    button.SetAutoRepeat(1);
    Click(70);
    parent.Clear();
    button.pressTime = GetTickCount() - 5000;
    SetCapture(button.Window());
    SendMessageW(button.Window(), WM_TIMER, TextButton::kRepeatTimerId, 0);
    Pump();
    EXPECT_EQ(0, parent.Count(UM_BUTTON_CLICKED));
}

TEST_F(TextButtonTest, RealMouseClickThroughTheInputQueue) {
    // The pointer moves and clicks as a user's would, through SendInput, so
    // the system routes the messages by position and capture.
    POINT centre = {50, 9};
    ClientToScreen(hwnd, &centre);
    SetCursorPos(centre.x, centre.y);
    Pump();
    INPUT inputs[3] = {};
    for (INPUT& input : inputs)
        input.type = INPUT_MOUSE;
    inputs[0].mi.dx = 1;
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(3u, SendInput(3, inputs, sizeof(INPUT)));
    PumpFor(200);
    EXPECT_EQ((std::vector<UINT>{UM_BUTTON_FOCUSED, UM_BUTTON_CLICKED}), parent.Messages());
    EXPECT_EQ(1, button.hover);
}

TEST_F(TextButtonTest, RealHeldAutoRepeatButtonRepeatsUntilReleased) {
    button.SetAutoRepeat(1);
    POINT centre = {50, 9};
    ClientToScreen(hwnd, &centre);
    SetCursorPos(centre.x - 1, centre.y);
    Pump();
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dx = 1;
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    ASSERT_EQ(2u, SendInput(2, inputs, sizeof(INPUT)));
    PumpFor(1500);
    INPUT up = {};
    up.type = INPUT_MOUSE;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(1u, SendInput(1, &up, sizeof(INPUT)));
    PumpFor(100);
    // About 700 ms of repeating at 50 ms, plus the release.
    EXPECT_GE(parent.Count(UM_BUTTON_CLICKED), 8);
    EXPECT_LE(parent.Count(UM_BUTTON_CLICKED), 16);
}
