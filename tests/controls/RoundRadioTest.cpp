// RoundRadio and RadioGroup as real windows: the dot, presses and selection.
#include <gtest/gtest.h>

#include <memory>

#include "ControlMessages.h"
#include "ControlTestHarness.h"
#include "RoundRadio.h"

namespace {

class RoundRadioTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(1, twoD.Create(46, 294, 140, parent.Window()));
        ASSERT_EQ(1, threeD.Create(47, 315, 140, parent.Window()));
        twoD.JoinGroup(&group);
        threeD.JoinGroup(&group);
        Pump();
        parent.Clear();
    }
    void Press(RoundRadio& radio) {
        PostMouse(radio.Window(), WM_LBUTTONDOWN, 3, 3, MK_LBUTTON);
        PostMouse(radio.Window(), WM_LBUTTONUP, 3, 3);
    }

    RecordingParent parent;
    RoundRadio twoD, threeD;
    RadioGroup group;
};

}  // namespace

TEST_F(RoundRadioTest, DefaultRadiusMakesASevenPixelDot) {
    RECT rc;
    GetClientRect(twoD.Window(), &rc);
    EXPECT_EQ(7, rc.right);
    EXPECT_EQ(7, rc.bottom);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(twoD.Window(), region));
    EXPECT_TRUE(PtInRegion(region, 3, 3));
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    DeleteObject(region);
}

TEST_F(RoundRadioTest, PressFocusesSelectsAndReports) {
    Press(threeD);
    ASSERT_EQ((std::vector<UINT>{UM_RADIO_FOCUSED, UM_RADIO_CLICKED}), parent.Messages());
    EXPECT_EQ(reinterpret_cast<LPARAM>(threeD.Window()), parent.Notes()[0].lParam);
    EXPECT_EQ(reinterpret_cast<LPARAM>(&threeD), parent.Notes()[1].lParam);
    EXPECT_EQ(&threeD, group.Selected());
    EXPECT_EQ(1, threeD.IsSelected());
    EXPECT_EQ(nullptr, GetCapture()) << "released on button up";
}

TEST_F(RoundRadioTest, SelectingAnotherUnselectsThePrevious) {
    group.Select(&twoD);
    group.Select(&threeD);
    EXPECT_EQ(0, twoD.IsSelected());
    EXPECT_EQ(1, threeD.IsSelected());
    Pump();
    EXPECT_EQ(threeD.selectedColour, ClientPixel(threeD.Window(), 3, 3));
    EXPECT_EQ(twoD.unselectedColour, ClientPixel(twoD.Window(), 3, 3));
}

TEST_F(RoundRadioTest, PressingTheSelectedRadioStillReports) {
    group.Select(&twoD);
    Pump();
    Press(twoD);
    EXPECT_EQ(1, parent.Count(UM_RADIO_CLICKED));
    EXPECT_EQ(&twoD, group.Selected());
    EXPECT_EQ(1, twoD.IsSelected());
    EXPECT_EQ(0, threeD.IsSelected());
}

TEST_F(RoundRadioTest, SelectingNoneLeavesNoneSelected) {
    group.Select(&twoD);
    group.Select(nullptr);
    EXPECT_EQ(nullptr, group.Selected());
    EXPECT_EQ(0, twoD.IsSelected());
    EXPECT_EQ(0, threeD.IsSelected());
}

TEST_F(RoundRadioTest, EnableAllShowAllAndIsEnabled) {
    RadioGroup empty;
    EXPECT_EQ(0, empty.IsEnabled());
    EXPECT_EQ(1, group.IsEnabled());
    group.EnableAll(0);
    EXPECT_EQ(0, group.IsEnabled());
    EXPECT_TRUE(NeedsPaint(twoD.Window()));
    group.ShowAll(0);
    EXPECT_FALSE(IsWindowVisible(threeD.Window()));
    group.ShowAll(1);
    EXPECT_TRUE(IsWindowVisible(threeD.Window()));
}

TEST_F(RoundRadioTest, GroupIgnoresAnEleventhRadio) {
    RadioGroup full;
    RoundRadio radios[11];
    for (RoundRadio& radio : radios)
        full.Add(&radio);
    full.Add(nullptr);
    EXPECT_EQ(10, full.Count());
}
