// The panel as a user meets it: the built program on the virtual card, its
// controls and displays looked at from outside, the card steered meanwhile.

#include "PanelExeFixture.h"

// Every control of the panel at its id, place and size, shown or hidden as
// a freshly started panel in automatic fan mode has it, on a pair of cards.
TEST_F(PanelExe, EveryControlInItsPlace) {
    HWND main = Start("sli");
    ASSERT_TRUE(main != NULL);
    struct Place {
        int id;
        size_t index;  // among controls sharing the id
        int x, y, width, height;
        bool visible;
    } places[] = {
        {21, 0, 80, 138, 8, 8, true},     {23, 0, 130, 138, 8, 8, true},    {100, 0, 235, 140, 8, 8, true},
        {48, 0, 408, 125, 35, 14, true},  {49, 0, 446, 125, 35, 14, true},  {230, 0, 457, 172, 17, 11, true},
        {230, 1, 233, 172, 17, 11, true}, {235, 0, 457, 152, 17, 11, true}, {235, 1, 233, 152, 17, 11, true},
        {239, 0, 457, 192, 17, 11, true}, {239, 1, 233, 192, 17, 11, true}, {50, 0, 192, 304, 43, 25, true},
        {51, 0, 235, 304, 45, 25, true},  {54, 0, 279, 303, 45, 25, true},  {220, 0, 324, 303, 47, 25, true},
        {55, 0, 371, 303, 62, 25, true},  {53, 0, 433, 303, 42, 25, true},  {63, 0, 270, 225, 68, 20, true},
        {95, 0, 270, 250, 68, 20, true},  {64, 0, 270, 275, 68, 20, true},  {67, 0, 439, 225, 68, 20, true},
        {65, 0, 439, 250, 68, 20, true},  {1, 0, 55, 230, 123, 44, true},   {68, 0, 435, 18, 30, 30, true},
        {69, 0, 450, 22, 30, 30, true},
    };
    for (const Place& p : places) {
        HWND control = Control(main, p.id, p.index);
        ASSERT_TRUE(control != NULL) << "id " << p.id << " #" << p.index;
        RECT r = PlaceInClient(main, control);
        EXPECT_EQ(p.x, r.left) << "id " << p.id << " #" << p.index;
        EXPECT_EQ(p.y, r.top) << "id " << p.id << " #" << p.index;
        EXPECT_EQ(p.width, r.right - r.left) << "id " << p.id << " #" << p.index;
        EXPECT_EQ(p.height, r.bottom - r.top) << "id " << p.id << " #" << p.index;
        EXPECT_EQ(p.visible, IsWindowVisible(control) != 0) << "id " << p.id << " #" << p.index;
    }
    // Sliders (tracks and handles; the popups are windows of their own):
    // the clock sliders show; the fan slider shows only its popup in
    // automatic mode; the two auxiliary sliders never show.
    struct Shown {
        int id;
        bool visible;
    } sliders[] = {{31, true},  {40, true},  {90, true},  {92, true},  {33, true},  {41, true},
                   {35, false}, {42, false}, {37, false}, {43, false}, {38, false}, {44, false}};
    for (const Shown& s : sliders) {
        HWND control = Control(main, s.id);
        ASSERT_TRUE(control != NULL) << "slider part " << s.id;
        EXPECT_EQ(s.visible, IsWindowVisible(control) != 0) << "slider part " << s.id;
    }
    RECT track = PlaceInClient(main, Control(main, 31));
    EXPECT_EQ(261, track.left);
    EXPECT_EQ(185, track.right - track.left);
    EXPECT_FALSE(IsWindowEnabled(Control(main, 49)));  // Apply waits for a test
}

// What can be used follows the card: a single card has no card buttons, a
// card without a shader clock no link, a one-level card no level switch,
// a card without fan control no fan mode. Each monitor chip's full-speed
// temperature is 90 after the start.
TEST_F(PanelExe, EnableStatesFollowTheCard) {
    struct Case {
        const char* scenario;
        bool cardButtons, link, shaderHandle, levels, fanModes;
    } cases[] = {
        {"monitorchip", false, true, true, true, true},
        {"no-shader", false, false, false, true, true},
        {"3d-only", false, true, true, false, true},
        {"no-fan", false, true, true, true, false},
    };
    for (const Case& c : cases) {
        HWND main = Start(c.scenario);
        ASSERT_TRUE(main != NULL) << c.scenario;
        EXPECT_EQ(c.cardButtons, IsWindowVisible(Control(main, 50)) != 0) << c.scenario;
        EXPECT_EQ(c.cardButtons, IsWindowVisible(Control(main, 51)) != 0) << c.scenario;
        EXPECT_EQ(c.link, IsWindowEnabled(Control(main, 100)) != 0) << c.scenario;
        EXPECT_EQ(c.shaderHandle, IsWindowEnabled(Control(main, 92)) != 0) << c.scenario;
        EXPECT_EQ(c.levels, IsWindowEnabled(Control(main, 46)) != 0) << c.scenario;
        EXPECT_EQ(c.levels, IsWindowEnabled(Control(main, 47)) != 0) << c.scenario;
        EXPECT_EQ(c.fanModes, IsWindowEnabled(Control(main, 21)) != 0) << c.scenario;
        EXPECT_EQ(c.fanModes, IsWindowEnabled(Control(main, 23)) != 0) << c.scenario;
        EXPECT_TRUE(IsWindowEnabled(Control(main, 40))) << c.scenario;
        VcardCardInfo info;
        ASSERT_TRUE(VcardGetCardInfo(0, &info));
        if (info.monitorChipAddress) {
            uint8_t limit = 0;
            ASSERT_TRUE(VcardReadRegister(0, info.monitorChipAddress, 0x28, &limit));
            EXPECT_EQ(90, limit) << c.scenario;
        }
        panel_.Kill();
    }
}

// The displays show the current card's readings and follow the card.
TEST_F(PanelExe, DisplaysFollowTheCard) {
    HWND main = Start("monitorchip");
    ASSERT_TRUE(main != NULL);
    HWND temperature = Control(main, kTemperatureDisplay);
    ASSERT_TRUE(VcardSetDieTemperature(0, 90, true));
    EXPECT_TRUE(WaitForText(temperature, L"90", kFollowTimeoutMs)) << "shows " << DisplayText(temperature).c_str();
    RECT area = PlaceInClient(main, temperature);
    EXPECT_EQ(0, ScreenPicture(main).Count(area, RGB(255, 0, 0), 40));
    ASSERT_TRUE(VcardSetDieTemperature(0, 91, true));
    EXPECT_TRUE(WaitForText(temperature, L"91", kFollowTimeoutMs));
    Sleep(100);  // the repaint follows the text
    EXPECT_GT(ScreenPicture(main).Count(area, RGB(255, 0, 0), 40), 10) << "91 is red";

    HWND clock = Control(main, kGpuClockDisplay);
    VcardCardInfo info;
    ASSERT_TRUE(VcardGetCardInfo(0, &info));
    EXPECT_TRUE(WaitForText(clock, std::to_wstring(info.coreKHz / 1000), kFollowTimeoutMs));
    ASSERT_TRUE(VcardSetBusy(0, true));
    ASSERT_TRUE(VcardGetCardInfo(0, &info));
    EXPECT_TRUE(WaitForText(clock, std::to_wstring(info.coreKHz / 1000), kFollowTimeoutMs))
        << "shows " << DisplayText(clock).c_str();

    HWND fan = Control(main, kFanDisplay);
    std::wstring rpm = DisplayText(fan);
    EXPECT_FALSE(rpm.empty());
    EXPECT_EQ(std::wstring::npos, rpm.find(L'%')) << "a monitor chip's fan reads in RPM";
    RECT fanArea = PlaceInClient(main, fan);
    EXPECT_EQ(0, ScreenPicture(main).Count(fanArea, RGB(255, 0, 0), 40)) << "a fan in its range is white";
    // Another program slows the fan to 600 RPM, far below 95 % of the
    // card's silent speed (1500 RPM): the reading turns red.
    ASSERT_TRUE(VcardWriteRegister(0, 0x5C, 0x74, 0x09));  // 1,500,000 / 2500 counts
    ASSERT_TRUE(VcardWriteRegister(0, 0x5C, 0x75, 0xC4));
    uint8_t mode = 0;
    ASSERT_TRUE(VcardReadRegister(0, 0x5C, 0x60, &mode));
    ASSERT_TRUE(VcardWriteRegister(0, 0x5C, 0x60, mode | 0x01));
    bool red = false;
    for (DWORD start = GetTickCount(); !red && GetTickCount() - start < 15000; Sleep(200)) {
        red = ScreenPicture(main).Count(fanArea, RGB(255, 0, 0), 40) > 10;
    }
    EXPECT_TRUE(red) << "shows " << DisplayText(fan).c_str();
}

TEST_F(PanelExe, FanDisplayInPercentOrFullSpeed) {
    HWND main = Start("driver-fan");
    ASSERT_TRUE(main != NULL);
    std::wstring percent = WaitForDisplayText(Control(main, kFanDisplay), kFollowTimeoutMs);
    EXPECT_EQ(L'%', percent.empty() ? 0 : percent.back()) << percent.c_str();
    panel_.Kill();

    main = Start("no-fan");
    ASSERT_TRUE(main != NULL);
    EXPECT_EQ(std::wstring(L"100%"), WaitForDisplayText(Control(main, kFanDisplay), kFollowTimeoutMs));
}

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kGrey = RGB(0x77, 0x8B, 0x8B);

RECT Area(int left, int top, int right, int bottom) {
    RECT r = {left, top, right, bottom};
    return r;
}

// Where the fan mode texts are painted.
const RECT kAutoCaption = Area(90, 136, 118, 150);
const RECT kAutoHints = Area(85, 157, 230, 170);
const RECT kMinMax = Area(92, 181, 112, 195);
const RECT kLevelFrameTop = Area(292, 137, 337, 138);

}  // namespace

// What the window paints on its skin: white texts for what can be used,
// grey for what cannot; the hint lines in Auto mode and Min/Max in Manual
// mode; the 2D/3D frame only for a card with both levels.
TEST_F(PanelExe, PaintedTextsFollowModeAndPrivilege) {
    HWND main = Start("monitorchip");
    ASSERT_TRUE(main != NULL);
    ShownAndPainted(main);
    ScreenPicture automatic(main);
    EXPECT_GT(automatic.Count(kAutoCaption, kWhite, 40), 8);
    EXPECT_GT(automatic.Count(kAutoHints, kWhite, 40), 40) << "the hint lines in Auto mode";
    EXPECT_EQ(0, automatic.Count(kMinMax, kWhite, 40)) << "no Min/Max in Auto mode";
    EXPECT_GT(automatic.Count(kLevelFrameTop, kWhite, 40), 30) << "the 2D/3D frame";

    ClickAt(main, 133, 141);  // the Manual box
    Sleep(300);
    ScreenPicture manual(main);
    EXPECT_GT(manual.Count(kMinMax, kWhite, 40), 8) << "Min/Max in Manual mode";
    EXPECT_EQ(0, manual.Count(kAutoHints, kWhite, 40)) << "no hint lines in Manual mode";
    panel_.Kill();

    // A guest sees the fan mode texts grey, and on a one-level card no frame.
    SetEnvironmentVariableW(L"VEXA_TEST_PRIVILEGE", L"0");
    ASSERT_TRUE(VcardReset("3d-only"));
    ASSERT_TRUE(panel_.Start(L"", L"3d-only", L"VexaPanelForTests.exe"));
    main = panel_.WaitForWindow(kMainClass, kStartTimeoutMs);
    ASSERT_TRUE(main != NULL);
    ASSERT_FALSE(WaitForDisplayText(Control(main, kTemperatureDisplay), 10000).empty());
    ShownAndPainted(main);
    ScreenPicture guest(main);
    EXPECT_EQ(0, guest.Count(kAutoCaption, kWhite, 40));
    EXPECT_GT(guest.Count(kAutoCaption, kGrey, 40), 8);
    EXPECT_EQ(0, guest.Count(kLevelFrameTop, kWhite, 40) + guest.Count(kLevelFrameTop, kGrey, 40));
    EXPECT_FALSE(IsWindowEnabled(Control(main, 48))) << "Test is the administrator's";
}

namespace {

// The rightmost (or lowest) point of the window's own background: inside
// its shape, not on a control, in client coordinates.
POINT OutermostBackground(HWND main, bool rightmost) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(main, region);
    RECT client;
    GetClientRect(main, &client);
    POINT found = {-1, -1};
    for (int y = 0; y < client.bottom; y++) {
        for (int x = 0; x < client.right; x++) {
            POINT p = {x, y};
            if ((rightmost ? x <= found.x : y <= found.y) || !PtInRegion(region, x, y)) continue;
            // A pixel with its neighbours inside too, not on the very edge.
            if (!PtInRegion(region, x - 2, y) || !PtInRegion(region, x, y - 2)) continue;
            if (ChildWindowFromPointEx(main, p, CWP_SKIPINVISIBLE) == main) found = p;
        }
    }
    DeleteObject(region);
    if (rightmost)
        found.x -= 2;
    else
        found.y -= 2;
    return found;
}

// Drags the window by that point as far as the pointer goes, stroke after
// stroke (the pointer cannot leave the screen), until it stops moving.
RECT DragTowardsEdge(HWND main, bool left) {
    RECT r = {};
    GetWindowRect(main, &r);
    for (int stroke = 0; stroke < 6; stroke++) {
        POINT screen = OutermostBackground(main, left);
        ClientToScreen(main, &screen);
        PointerToScreen(screen.x, screen.y);
        LeftButton(true);
        PointerToScreen(left ? screen.x - 5 : screen.x, left ? screen.y : screen.y - 5);
        PointerToScreen(left ? 0 : screen.x, left ? screen.y : 0);
        LeftButton(false);
        RECT now;
        GetWindowRect(main, &now);
        if (EqualRect(&now, &r)) break;
        r = now;
    }
    return r;
}

}  // namespace

// The window is dragged by its background with the mouse; at least 10
// pixels of it stay on the screen's work area on every side.
TEST_F(PanelExe, DragKeepsTenPixelsOnTheScreen) {
    HWND main = Start("monitorchip");
    ASSERT_TRUE(main != NULL);
    SetForegroundWindow(main);
    RECT before;
    GetWindowRect(main, &before);
    int width = before.right - before.left;
    int height = before.bottom - before.top;

    POINT press = {300, 100};  // skin background between the gauges
    ClientToScreen(main, &press);
    PointerToScreen(press.x, press.y);
    LeftButton(true);
    PointerToScreen(press.x - 10, press.y);
    PointerToScreen(press.x - 40, press.y - 20);
    LeftButton(false);
    RECT moved;
    GetWindowRect(main, &moved);
    EXPECT_EQ(before.left - 40, moved.left) << "the window follows the pointer";
    EXPECT_EQ(before.top - 20, moved.top);

    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT farLeft = DragTowardsEdge(main, true);
    EXPECT_EQ(work.left + 10 - width, farLeft.left) << "its right 10 pixels stay";
    panel_.Kill();
    main = Start("monitorchip");
    ASSERT_TRUE(main != NULL);
    SetForegroundWindow(main);
    RECT farUp = DragTowardsEdge(main, false);
    EXPECT_EQ(work.top + 10 - height, farUp.top) << "its bottom 10 pixels stay";
}

// The control the user last worked with gets the focus back when the
// window is activated again.
TEST_F(PanelExe, FocusReturnsToTheLastControl) {
    HWND main = Start("monitorchip");
    ASSERT_TRUE(main != NULL);
    HWND link = Control(main, 100);
    RECT r = PlaceInClient(main, link);
    ClickAt(main, r.left + 4, r.top + 4);
    Sleep(200);
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, NULL, NULL, NULL, NULL);
    SetForegroundWindow(other);
    Sleep(200);
    SetForegroundWindow(main);
    Sleep(300);
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(main, NULL), &info));
    EXPECT_EQ(link, info.hwndFocus);
    DestroyWindow(other);
}
