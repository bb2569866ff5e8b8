// Runs in its own process: window classes stay registered for its lifetime.
#include "Application.h"

#include <gtest/gtest.h>

Application* gApp = nullptr;

namespace {

// In registration order.
const wchar_t* const kClassNames[] = {
    L"VexaPanelMainWnd_Cls", L"NonFrameRadioBtn_cls", L"VexaPanelCheck", L"DMSliderHandle",
    L"CDunmoreBtn",          L"DMBmpBtnCls",          L"DMStc_Cls",      L"DMGrpBtn_Cls",
    L"WebInfBrower_Cls",     L"CDunmoreProgress_cls", L"WaitWndCls___",
};
const int kClassCount = sizeof(kClassNames) / sizeof(kClassNames[0]);

bool IsRegistered(HINSTANCE instance, const wchar_t* name) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    return GetClassInfoExW(instance, name, &wc) != 0;
}

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

TEST(RegisterClassesAndFonts, StopsAtTheFirstClassThatFailsThenSucceedsWhenFree) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    Application app;
    gApp = &app;

    // Taking the bitmap button's name makes its registration fail.
    WNDCLASSEXW squatter = {};
    squatter.cbSize = sizeof(squatter);
    squatter.lpfnWndProc = PlainProc;
    squatter.hInstance = instance;
    squatter.lpszClassName = L"DMBmpBtnCls";
    ASSERT_NE(0, RegisterClassExW(&squatter));

    EXPECT_FALSE(app.RegisterClassesAndFonts(instance));
    for (int i = 0; i < kClassCount; i++) {
        bool before = i < 5;  // the classes ahead of the bitmap button
        if (i == 5) continue;
        EXPECT_EQ(before, IsRegistered(instance, kClassNames[i])) << i;
    }
    // Nothing after the failure ran: no fonts were made either.
    EXPECT_EQ(nullptr, app.Font(1));

    for (int i = 0; i < kClassCount; i++)
        UnregisterClassW(kClassNames[i], instance);
    ASSERT_TRUE(app.RegisterClassesAndFonts(instance));
    for (int i = 0; i < kClassCount; i++)
        EXPECT_TRUE(IsRegistered(instance, kClassNames[i])) << i;
    for (int n = 1; n <= kPanelFontCount; n++)
        EXPECT_NE(nullptr, app.Font(n)) << n;
    EXPECT_EQ(nullptr, app.Font(kPanelFontCount + 1));

    // The skin's digital face was missing and has been added for this run.
    EXPECT_TRUE(FontTable::IsFaceInstalled(L"DigifaceWide"));
    app.fontTable.RemoveAddedFonts();
    EXPECT_FALSE(FontTable::IsFaceInstalled(L"DigifaceWide"));
    gApp = nullptr;
}
