// StaticText as a real window: text truncation, painting, bitmap ownership.
#include <gtest/gtest.h>

#include <string>

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
    HBITMAP bitmap = logo->bitmap;
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
    EXPECT_EQ(nullptr, label.bitmap);
    EXPECT_TRUE(IsWindow(hwnd));
    DestroyWindow(hwnd);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(StaticTextTest, ASecondBitmapFreesTheFirst) {
    label.SetBitmap(352);
    HBITMAP first = label.bitmap;
    label.SetBitmap(353);
    EXPECT_EQ(0u, static_cast<unsigned>(GetObjectType(first)));
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(label.bitmap));
}

TEST_F(StaticTextTest, MouseMessagesDoNothing) {
    PostMouse(label.Window(), WM_MOUSEMOVE, 5, 5);
    PostMouse(label.Window(), WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    PostMouse(label.Window(), WM_LBUTTONUP, 5, 5);
    EXPECT_TRUE(parent.Notes().empty());
    EXPECT_EQ(nullptr, GetCapture());
}
