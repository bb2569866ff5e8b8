// GroupButton and ButtonGroup as real windows: selection, clicks and looks.
#include <gtest/gtest.h>

#include "ControlMessages.h"
#include "ControlTestHarness.h"
#include "GroupButton.h"

namespace {

const COLORREF kLightEdge = 0xD1D1A5;
const COLORREF kBlack = 0x000000;

class GroupButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(1, master.Create(50, L"Master", 192, 304, 43, 25, parent.Window(), 333, 335, 333));
        ASSERT_EQ(1, slave.Create(51, L"Slave", 235, 304, 45, 25, parent.Window(), 333, 335, 333));
        master.JoinGroup(&cards);
        slave.JoinGroup(&cards);
        Pump();
        parent.Clear();
    }
    void Click(GroupButton& button) {
        PostMouse(button.Window(), WM_MOUSEMOVE, 10, 10);
        PostMouse(button.Window(), WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
        PostMouse(button.Window(), WM_LBUTTONUP, 10, 10);
    }

    RecordingParent parent;
    GroupButton master, slave;
    ButtonGroup cards;
};

}  // namespace

TEST_F(GroupButtonTest, ClickSelectsAndReportsWithoutTakingTheFocus) {
    Click(slave);
    EXPECT_EQ((std::vector<UINT>{UM_GROUP_CLICKED}), parent.Messages());
    EXPECT_EQ(reinterpret_cast<LPARAM>(&slave), parent.Notes()[0].lParam);
    EXPECT_EQ(&slave, cards.Selected());
    EXPECT_NE(slave.Window(), GetFocus());
}

TEST_F(GroupButtonTest, ClickingTheSelectedButtonStillReports) {
    cards.Select(&master);
    Click(master);
    EXPECT_EQ(1, parent.Count(UM_GROUP_CLICKED));
    EXPECT_EQ(&master, cards.Selected());
    EXPECT_EQ(1, master.IsSelected());
    EXPECT_EQ(0, slave.IsSelected());
}

TEST_F(GroupButtonTest, SelectedLooksPressedAndDeselectingRaisesItAtOnce) {
    cards.Select(&master);
    Pump();
    EXPECT_EQ(kBlack, ClientPixel(master.Window(), 0, 5));
    EXPECT_EQ(kLightEdge, ClientPixel(slave.Window(), 0, 5));

    PostMouse(master.Window(), WM_MOUSEMOVE, 10, 10);
    EXPECT_EQ(1, master.hover);
    cards.Select(nullptr);
    EXPECT_EQ(0, master.hover) << "deselecting clears the hover look";
    EXPECT_EQ(nullptr, cards.Selected());
    Pump();
    EXPECT_EQ(kLightEdge, ClientPixel(master.Window(), 0, 5));

    Click(slave);
    EXPECT_EQ(&slave, cards.Selected());
    EXPECT_EQ(1, parent.Count(UM_GROUP_CLICKED));
}

TEST_F(GroupButtonTest, JoiningTheSameGroupTwiceAddsOnce) {
    master.JoinGroup(&cards);
    master.JoinGroup(nullptr);
    EXPECT_EQ(2, cards.Count());
}

TEST_F(GroupButtonTest, GroupHoldsAtMostTwentyButtons) {
    ButtonGroup big;
    GroupButton buttons[21];
    for (GroupButton& button : buttons)
        button.JoinGroup(&big);
    EXPECT_EQ(20, big.Count());
    EXPECT_EQ(&buttons[19], big.members[19]);
}

TEST_F(GroupButtonTest, CaptionWithALineFeedIsDrawnFromTheTop) {
    // A white caption in the top rows appears only for the two-line form.
    GroupButton twoLines, oneLine;
    ASSERT_EQ(1, twoLines.Create(55, L"Restore Def.\nHw Settings", 10, 10, 120, 60, parent.Window(), 333, 335, 333));
    ASSERT_EQ(1, oneLine.Create(56, L"Restore Def.", 10, 80, 120, 60, parent.Window(), 333, 335, 333));
    Pump();
    auto whiteInRows = [](HWND window, int top, int bottom) {
        HDC dc = GetDC(window);
        int count = 0;
        for (int y = top; y < bottom; y++)
            for (int x = 1; x < 119; x++)
                count += GetPixel(dc, x, y) == 0xFFFFFF;
        ReleaseDC(window, dc);
        return count;
    };
    EXPECT_GT(whiteInRows(twoLines.Window(), 0, 14), 0);
    EXPECT_EQ(0, whiteInRows(oneLine.Window(), 1, 14));
    EXPECT_GT(whiteInRows(oneLine.Window(), 20, 40), 0);
}
