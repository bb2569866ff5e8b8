// CheckBox as a real window: clicks, toggle mode, focus and the tick.
#include <gtest/gtest.h>

#include "CheckBox.h"
#include "ControlMessages.h"
#include "ControlTestHarness.h"

namespace {

class CheckBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(1, box.Create(21, 80, 138, 8, 8, parent.Window(), 259, 272, 359));
        hwnd = box.Window();
        Pump();
        parent.Clear();
    }
    void Click() {
        PostMouse(hwnd, WM_MOUSEMOVE, 4, 4);
        PostMouse(hwnd, WM_LBUTTONDOWN, 4, 4, MK_LBUTTON);
        PostMouse(hwnd, WM_LBUTTONUP, 4, 4);
    }

    RecordingParent parent;
    CheckBox box;
    HWND hwnd = nullptr;
};

}  // namespace

TEST_F(CheckBoxTest, ClickChecksOnceAndAClickOnACheckedBoxDoesNothing) {
    Click();
    EXPECT_EQ((std::vector<UINT>{UM_CHECK_FOCUSED, UM_CHECK_CLICKED}), parent.Messages());
    EXPECT_EQ(reinterpret_cast<LPARAM>(hwnd), parent.Notes()[0].lParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(&box), parent.Notes()[1].lParam);
    EXPECT_EQ(1, box.GetCheck());

    parent.Clear();
    Click();
    EXPECT_TRUE(parent.Notes().empty());
    EXPECT_EQ(1, box.GetCheck());
}

TEST_F(CheckBoxTest, ToggleModeUnchecksOnTheSecondClick) {
    box.SetToggleMode(1);
    Click();
    Click();
    EXPECT_EQ(2, parent.Count(UM_CHECK_CLICKED));
    EXPECT_EQ(0, box.GetCheck());
}

TEST_F(CheckBoxTest, SetCheckRepaintsButSendsNothing) {
    box.SetCheck(1);
    EXPECT_TRUE(NeedsPaint(hwnd));
    Pump();
    EXPECT_EQ(1, box.GetCheck());
    box.SetCheck(0);
    Pump();
    EXPECT_TRUE(parent.Notes().empty());
}

TEST_F(CheckBoxTest, TickIsDrawnInTheTickColourOnlyWhenChecked) {
    const COLORREF red = 0x0000FF;
    Pump();
    EXPECT_EQ(0, CountClientPixels(hwnd, red));
    box.SetCheck(1);
    Pump();
    // From (1, 3) down to (3, 7) and up to (7, 1) on an 8 x 8 box.
    EXPECT_EQ(red, ClientPixel(hwnd, 1, 3));
    EXPECT_EQ(red, ClientPixel(hwnd, 3, 7));
    EXPECT_GE(CountClientPixels(hwnd, red), 7);
}

TEST_F(CheckBoxTest, HoverCapturesOnlyWhileOverTheBox) {
    PostMouse(hwnd, WM_MOUSEMOVE, 4, 4);
    EXPECT_EQ(1, box.hover);
    EXPECT_EQ(hwnd, GetCapture());
    PostMouse(hwnd, WM_MOUSEMOVE, 40, 40, MK_LBUTTON);
    EXPECT_EQ(0, box.hover);
    EXPECT_EQ(hwnd, GetCapture()) << "kept while the button is held";
    PostMouse(hwnd, WM_MOUSEMOVE, 40, 40);
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(CheckBoxTest, LosingFocusClearsHoverAndEnableRepaints) {
    PostMouse(hwnd, WM_MOUSEMOVE, 4, 4);
    SetFocus(hwnd);
    SetFocus(parent.Window());
    Pump();
    EXPECT_EQ(0, box.hover);
    box.Enable(0);
    EXPECT_TRUE(NeedsPaint(hwnd));
    EXPECT_EQ(0, box.IsEnabled());
}
