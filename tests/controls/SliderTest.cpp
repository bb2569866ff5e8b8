// Slider as real windows: handle placement, keys, dragging, release snapping,
// popup pictures and notifications.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "ControlCommon.h"
#include "ControlMessages.h"
#include "ControlTestHarness.h"
#include "Slider.h"
#include "SliderPictures.h"

namespace {

class SliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(1, slider.Create(31, 40, 32, 261, 175, 230, 53, 185, parent.Window(), 308, 250, 271, 358));
        handle = slider.Handle().Window();
        Pump();
        parent.Clear();
    }

    int HandleLeft() { return GetRectInParent(handle).left; }
    LPARAM HandleObject() { return reinterpret_cast<LPARAM>(&slider.Handle()); }

    // Presses the handle at its centre and moves the pointer by dx, held.
    void PressAndMove(int dx) {
        PostMouse(handle, WM_MOUSEMOVE, 10, 5);
        PostMouse(handle, WM_LBUTTONDOWN, 10, 5, MK_LBUTTON);
        PostMouse(handle, WM_MOUSEMOVE, 10 + dx, 5, MK_LBUTTON);
    }

    RecordingParent parent;
    Slider slider;
    HWND handle = nullptr;
};

}  // namespace

TEST_F(SliderTest, CreatesTrackHandleAndPopupInPlace) {
    RECT track = GetRectInParent(slider.TrackWindow());
    EXPECT_EQ(261, track.left);
    EXPECT_EQ(185, track.right - track.left);
    EXPECT_EQ(5, track.bottom - track.top);
    RECT knob = GetRectInParent(handle);
    EXPECT_EQ(261 - 10, knob.left);
    EXPECT_EQ(175 - 3, knob.top);
    EXPECT_EQ(21, knob.right - knob.left);
    EXPECT_EQ(11, knob.bottom - knob.top);
    EXPECT_EQ(100, slider.Scale().positions);
    EXPECT_NE(nullptr, slider.Popup().Window());
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(handle, region));
    EXPECT_FALSE(PtInRegion(region, 0, 0)) << "rounded corners";
    DeleteObject(region);
}

TEST_F(SliderTest, SetValuePlacesTheHandleAndIgnoresValuesOutsideTheRange) {
    slider.SetValue(50, 0);
    EXPECT_EQ(50, slider.GetValue());
    EXPECT_EQ(343, HandleLeft());  // trunc(261 + 92.5 - 10)
    EXPECT_EQ(21, slider.PictureIndexShown());

    slider.SetValue(101, 0);
    slider.SetValue(-1, 0);
    EXPECT_EQ(50, slider.GetValue());
    EXPECT_EQ(343, HandleLeft());

    // An unchanged value moves nothing unless forced.
    MoveWindow(handle, 300, 172, 21, 11, TRUE);
    slider.SetValue(50, 0);
    EXPECT_EQ(300, HandleLeft());
    slider.SetValue(50, 1);
    EXPECT_EQ(343, HandleLeft());
    EXPECT_TRUE(parent.Notes().empty()) << "SetValue reports nothing";
}

TEST_F(SliderTest, StepMustBePositiveAndSmallerThanTheRange) {
    EXPECT_EQ(0, slider.SetStep(100));
    EXPECT_EQ(0, slider.SetStep(0));
    EXPECT_EQ(0, slider.SetStep(-5));
    EXPECT_EQ(1, slider.GetStep());
    EXPECT_EQ(1, slider.SetStep(10));
    EXPECT_EQ(10, slider.Scale().stepCount);
    EXPECT_EQ(1, slider.SetRange(400000, 700000));
    EXPECT_EQ(1, slider.SetStep(1000));
    EXPECT_EQ(185, slider.Scale().positions);
}

TEST_F(SliderTest, ArrowKeysStepAndReport) {
    SetFocus(handle);
    Pump();
    parent.Clear();
    PostKey(handle, WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(1, slider.GetValue());
    PostKey(handle, WM_KEYUP, VK_RIGHT);
    ASSERT_EQ((std::vector<UINT>{UM_SLIDER_STEPPED, UM_SLIDER_KEY_UP}), parent.Messages());
    EXPECT_EQ(HandleObject(), parent.Notes()[0].lParam);
    EXPECT_EQ(HandleObject(), parent.Notes()[1].lParam);

    parent.Clear();
    PostKey(handle, WM_KEYDOWN, VK_LEFT);
    PostKey(handle, WM_KEYDOWN, VK_LEFT);  // at the minimum: nothing
    PostKey(handle, WM_KEYDOWN, VK_UP);    // not a step key
    PostKey(handle, WM_KEYUP, VK_UP);
    EXPECT_EQ(0, slider.GetValue());
    EXPECT_EQ((std::vector<UINT>{UM_SLIDER_STEPPED}), parent.Messages());
}

TEST_F(SliderTest, KeyStepsNearTheEnds) {
    ASSERT_EQ(1, slider.SetStep(10));
    slider.SetValue(95, 1);
    PostKey(handle, WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(95, slider.GetValue()) << "95 + 10 is past the maximum";
    EXPECT_EQ(1, parent.Count(UM_SLIDER_STEPPED));

    slider.SetValue(100, 1);
    parent.Clear();
    PostKey(handle, WM_KEYDOWN, VK_RIGHT);
    EXPECT_TRUE(parent.Notes().empty()) << "at the maximum nothing is sent";
    PostKey(handle, WM_KEYDOWN, VK_LEFT);
    EXPECT_EQ(90, slider.GetValue());
}

TEST_F(SliderTest, PressFocusesTheHandle) {
    PostMouse(handle, WM_LBUTTONDOWN, 10, 5, MK_LBUTTON);
    ASSERT_EQ((std::vector<UINT>{UM_SLIDER_FOCUSED}), parent.Messages());
    EXPECT_EQ(reinterpret_cast<LPARAM>(handle), parent.Notes()[0].lParam);
    EXPECT_EQ(1, slider.Handle().pressed);
    SetFocus(parent.Window());
    Pump();
    EXPECT_EQ(0, slider.Handle().pressed);
    EXPECT_EQ(0, slider.Handle().hover);
}

TEST_F(SliderTest, DraggingPastEitherEndKeepsTheCentreOnTheTrackEnd) {
    PressAndMove(400);
    EXPECT_EQ(446 - 10, HandleLeft());
    EXPECT_EQ(100, slider.GetValue());
    EXPECT_EQ(41, slider.PictureIndexShown());
    EXPECT_GE(parent.Count(UM_SLIDER_DRAGGED), 1);
    EXPECT_EQ(HandleObject(), parent.Notes().back().lParam);

    PostMouse(handle, WM_MOUSEMOVE, -400, 5, MK_LBUTTON);
    EXPECT_EQ(261 - 10, HandleLeft());
    EXPECT_EQ(0, slider.GetValue());
    EXPECT_EQ(0, slider.PictureIndexShown());
}

TEST_F(SliderTest, ReleaseAfterDraggingRightRoundsUp) {
    // From the left end, centre to 310: 27.2 positions.
    PressAndMove(49);
    EXPECT_EQ(300, HandleLeft());
    EXPECT_EQ(27, slider.GetValue());
    parent.Clear();
    PostMouse(handle, WM_LBUTTONUP, 10, 5);
    EXPECT_EQ(302, HandleLeft());
    EXPECT_EQ(28, slider.GetValue());
    ASSERT_EQ((std::vector<UINT>{UM_SLIDER_RELEASED}), parent.Messages());
    EXPECT_EQ(HandleObject(), parent.Notes()[0].lParam);
    EXPECT_EQ(0, slider.Handle().pressed);
}

TEST_F(SliderTest, ReleaseAfterDraggingLeftRoundsDown) {
    slider.SetValue(100, 1);
    ASSERT_EQ(436, HandleLeft());
    PressAndMove(310 - 436 - 10);
    EXPECT_EQ(300, HandleLeft());
    PostMouse(handle, WM_LBUTTONUP, 10, 5);
    EXPECT_EQ(300, HandleLeft());
    EXPECT_EQ(27, slider.GetValue());
}

TEST_F(SliderTest, NarrowTrackScalesValuesIntoItsPixels) {
    ASSERT_EQ(1, slider.SetRange(0, 1000));
    slider.SetValue(500, 0);
    // 500 * 185 / 1000 = position 92, one pixel each.
    EXPECT_EQ(261 + 92 - 10, HandleLeft());
    PressAndMove(1);
    // Centre on position 93 of 185: 93 * 1000 / 185 = 502.7.
    EXPECT_EQ(502, slider.GetValue());
}

TEST_F(SliderTest, KilohertzRangesKeepExactValuesUpToTheTopOfThirtyTwoBits) {
    // 0 to 1.5 GHz in kHz with the default step of 1: 1.5 million steps on
    // 185 pixels.
    ASSERT_EQ(1, slider.SetRange(0, 1500000));
    slider.SetValue(1500000, 0);
    EXPECT_EQ(436, HandleLeft());
    PressAndMove(-1);
    // Centre on position 184: 184 * 1500000 / 185 = 1491891.9.
    EXPECT_EQ(1491891, slider.GetValue());
    PostMouse(handle, WM_LBUTTONUP, 9, 5);
    EXPECT_EQ(435, HandleLeft());
    EXPECT_EQ(1491891, slider.GetValue());
    PostKey(handle, WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(1491892, slider.GetValue());

    // The whole unsigned 32-bit range, stepped at its top end.
    const std::int64_t top = std::numeric_limits<std::uint32_t>::max();
    ASSERT_EQ(1, slider.SetRange(0, top));
    slider.SetValue(3000000000u, 0);
    // 3000000000 * 185 / 4294967295 = position 129.2
    EXPECT_EQ(261 + 129 - 10, HandleLeft());
    slider.SetValue(top - 1, 0);
    PostKey(handle, WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(top, slider.GetValue());
    EXPECT_EQ(436, HandleLeft());
    parent.Clear();
    PostKey(handle, WM_KEYDOWN, VK_RIGHT);
    EXPECT_TRUE(parent.Notes().empty()) << "at the maximum nothing is sent";
    PostKey(handle, WM_KEYDOWN, VK_LEFT);
    EXPECT_EQ(top - 1, slider.GetValue());
}

TEST_F(SliderTest, PicturesFollowTheHandleToTheLastOfEachTable) {
    slider.SetValue(100, 0);
    EXPECT_EQ(kSliderPictureCount - 1, slider.PictureIndexShown());
    EXPECT_EQ(308, kSliderPictures[slider.PictureIndexShown()]);
    slider.SetAlternatePictures(1);
    slider.SetValue(99, 0);
    slider.SetValue(100, 0);
    EXPECT_EQ(kAlternateSliderPictureCount - 1, slider.PictureIndexShown());
    EXPECT_EQ(427, kAlternateSliderPictures[slider.PictureIndexShown()]);
}

TEST_F(SliderTest, PictureIsSwappedOnlyWhenTheIndexChanges) {
    slider.SetValue(50, 0);
    HBITMAP shown = slider.Popup().shape.bitmap.Get();
    slider.SetValue(51, 0);  // still index 21
    EXPECT_EQ(shown, slider.Popup().shape.bitmap.Get());
    slider.SetValue(51, 1);  // forced
    EXPECT_NE(shown, slider.Popup().shape.bitmap.Get());
}

TEST_F(SliderTest, SliderWithoutPopupNeverSwapsPictures) {
    Slider plain;
    ASSERT_EQ(1, plain.Create(37, 43, 0, 195, 200, 0, 0, 100, parent.Window(), 0, 250, 271, 358));
    EXPECT_EQ(0, plain.hasPopup);
    EXPECT_EQ(nullptr, plain.Popup().Window());
    plain.SetValue(100, 1);
    EXPECT_EQ(0, plain.PictureIndexShown());
}

TEST_F(SliderTest, ShowModesAndEnable) {
    slider.ShowMode(3);
    EXPECT_FALSE(IsWindowVisible(slider.TrackWindow()));
    EXPECT_FALSE(IsWindowVisible(handle));
    EXPECT_TRUE(IsWindowVisible(slider.Popup().Window()));
    slider.ShowMode(2);
    EXPECT_FALSE(IsWindowVisible(slider.Popup().Window()));
    slider.ShowMode(1);
    EXPECT_TRUE(IsWindowVisible(slider.TrackWindow()));
    EXPECT_TRUE(IsWindowVisible(handle));
    EXPECT_TRUE(IsWindowVisible(slider.Popup().Window()));

    slider.Enable(0);
    EXPECT_EQ(0, slider.IsEnabled());
    EXPECT_TRUE(NeedsPaint(handle));
}

TEST_F(SliderTest, PaintingTheTrackRepaintsTheHandle) {
    Pump();
    ASSERT_FALSE(NeedsPaint(handle));
    RedrawWindow(slider.TrackWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(NeedsPaint(handle));
}

TEST_F(SliderTest, CreateFailsWithoutTheHandleBitmap) {
    Slider broken;
    EXPECT_EQ(0, broken.Create(38, 44, 0, 355, 200, 0, 0, 100, parent.Window(), 0, 9999, 271, 358));
    EXPECT_NE(nullptr, broken.TrackWindow()) << "windows already made stay";
}

namespace {

INPUT AbsoluteMouse(int x, int y, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}

}  // namespace

TEST_F(SliderTest, RealDragThroughTheInputQueueSnapsOnRelease) {
    POINT centre = {10, 5};
    ClientToScreen(handle, &centre);
    INPUT press[] = {AbsoluteMouse(centre.x, centre.y, 0), AbsoluteMouse(centre.x, centre.y, MOUSEEVENTF_LEFTDOWN)};
    ASSERT_EQ(2u, SendInput(2, press, sizeof(INPUT)));
    PumpFor(100);
    INPUT drag = AbsoluteMouse(centre.x + 49, centre.y, 0);
    ASSERT_EQ(1u, SendInput(1, &drag, sizeof(INPUT)));
    PumpFor(100);
    EXPECT_EQ(300, HandleLeft());
    EXPECT_EQ(27, slider.GetValue());
    INPUT release = AbsoluteMouse(centre.x + 49, centre.y, MOUSEEVENTF_LEFTUP);
    ASSERT_EQ(1u, SendInput(1, &release, sizeof(INPUT)));
    PumpFor(100);
    EXPECT_EQ(302, HandleLeft());
    EXPECT_EQ(28, slider.GetValue());
    EXPECT_EQ(1, parent.Count(UM_SLIDER_RELEASED));
    EXPECT_GE(parent.Count(UM_SLIDER_DRAGGED), 1);
}

// What the panel relies on to keep a slider from holding another card's
// value or taking input it should not: a new range brings the value in, a
// disabled handle ignores keys (the step buttons send keys too), and a drag
// or a held key that loses the capture or the focus ends as a release.
TEST_F(SliderTest, RangeClampsDisabledIgnoresKeysAndLostInputEndsAsARelease) {
    slider.SetValue(80, 1);
    slider.SetRange(0, 50);
    EXPECT_EQ(50, slider.GetValue());
    EXPECT_EQ(HandleLeft(), 261 + 185 - 10) << "the handle follows the clamped value";
    slider.SetRange(0, 0);
    EXPECT_EQ(0, slider.GetValue()) << "a range of nothing holds 0";
    slider.SetRange(0, 100);

    SetFocus(handle);
    Pump();
    slider.Enable(0);
    parent.Clear();
    PostKey(handle, WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(0, slider.GetValue());
    EXPECT_EQ(0, parent.Count(UM_SLIDER_STEPPED));
    slider.Enable(1);

    // The capture is taken away in the middle of a drag (WM_CANCELMODE is
    // what a system modal loop sends).
    PressAndMove(40);
    ASSERT_EQ(GetCapture(), handle);
    parent.Clear();
    SendMessageW(handle, WM_CANCELMODE, 0, 0);
    Pump();
    EXPECT_EQ(1, parent.Count(UM_SLIDER_RELEASED));
    PostMouse(handle, WM_LBUTTONUP, 50, 5);
    SendMessageW(handle, WM_CANCELMODE, 0, 0);
    EXPECT_EQ(1, parent.Count(UM_SLIDER_RELEASED)) << "the drag ended once; the late button release ends nothing";

    // A held arrow key whose release goes to another window.
    SetFocus(handle);
    Pump();
    parent.Clear();
    PostKey(handle, WM_KEYDOWN, VK_LEFT);
    SetFocus(parent.Window());
    Pump();
    EXPECT_EQ((std::vector<UINT>{UM_SLIDER_STEPPED, UM_SLIDER_KEY_UP}), parent.Messages());
}
