// Creating and destroying every control many times must give back every GDI
// and USER object it took.
#include <gtest/gtest.h>

#include <cstdio>

#include "BitmapButton.h"
#include "CheckBox.h"
#include "ControlTestHarness.h"
#include "GroupButton.h"
#include "LinkLabel.h"
#include "ProgressBar.h"
#include "RoundRadio.h"
#include "Slider.h"
#include "WineGdiCount.h"
#include "StaticText.h"
#include "TextButton.h"

namespace {

// One of everything, created, exercised through a paint and destroyed.
void CreateAndDestroyEveryControl(HWND parent) {
    TextButton button;
    button.Create(48, L"Test", 10, 10, 35, 14, parent, 258, 267, 330);
    BitmapButton close;
    close.Create(70, nullptr, 50, 10, 30, 30, parent, 265, 269);
    GroupButton group;
    ButtonGroup buttons;
    group.Create(50, L"Master\nCard", 90, 10, 43, 25, parent, 333, 335, 333);
    group.JoinGroup(&buttons);
    buttons.Select(&group);
    CheckBox box;
    box.Create(21, 10, 50, 8, 8, parent, 259, 272, 359);
    box.SetCheck(1);
    RoundRadio radio;
    RadioGroup radios;
    radio.Create(46, 30, 50, parent);
    radio.JoinGroup(&radios);
    radios.Select(&radio);
    Slider slider;
    slider.Create(31, 40, 32, 60, 100, 60, 120, 185, parent, 308, 250, 271, 358);
    slider.SetValue(100, 1);
    auto* bar = new ProgressBar;
    bar->Create(71, 10, 80, 80, 10, parent);
    bar->SetValue(50);
    StaticText label;
    label.Create(63, 10, 300, 68, 20, parent);
    label.SetBitmap(352);
    label.SetText(L"123 MHz");
    LinkLabel link;
    link.Create(0, 100, 300, 200, 16, parent);
    link.SetAddress("http://example.com/a.html");
    link.SetText(L"News");
    UpdateWindow(parent);
    Pump();
    delete bar;
}

struct GuiCounts {
    DWORD gdi;
    DWORD user;
};

GuiCounts CurrentCounts() {
    const GuiObjectCounts c = CountGuiObjects();
    return {c.gdi > 0 ? static_cast<DWORD>(c.gdi) : 0, static_cast<DWORD>(c.user)};
}

}  // namespace

TEST(LeakTest, CountsSeeObjectsComeAndGo) {
    RecordingParent parent(600, 400);
    const GuiCounts before = CurrentCounts();
    HBITMAP bitmaps[10];
    for (HBITMAP& bitmap : bitmaps)
        bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
    HWND child = CreateWindowExW(0, L"static", nullptr, WS_CHILD, 0, 0, 5, 5, parent.Window(), nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    const GuiCounts during = CurrentCounts();
    for (HBITMAP bitmap : bitmaps)
        DeleteObject(bitmap);
    DestroyWindow(child);
    const GuiCounts after = CurrentCounts();
    EXPECT_EQ(before.gdi + 10, during.gdi);
    EXPECT_EQ(before.user + 1, during.user);
    EXPECT_EQ(before.gdi, after.gdi);
    EXPECT_EQ(before.user, after.user);
}

TEST(LeakTest, EveryControlGivesBackItsGdiAndUserObjects) {
    RecordingParent parent(600, 400);
    // Warm up once: the first round loads classes, fonts and caches for good.
    CreateAndDestroyEveryControl(parent.Window());
    Pump();
    const GuiCounts before = CurrentCounts();
    const int rounds = 200;
    for (int i = 0; i < rounds; i++)
        CreateAndDestroyEveryControl(parent.Window());
    Pump();
    const GuiCounts after = CurrentCounts();
    std::printf("[ counts    ] GDI %lu -> %lu, USER %lu -> %lu after %d rounds\n",
                static_cast<unsigned long>(before.gdi), static_cast<unsigned long>(after.gdi),
                static_cast<unsigned long>(before.user), static_cast<unsigned long>(after.user), rounds);
    EXPECT_EQ(before.gdi, after.gdi);
    EXPECT_EQ(before.user, after.user);
    // Every child window is gone again.
    EXPECT_EQ(nullptr, GetWindow(parent.Window(), GW_CHILD));
}
