// Living in the tray, through the built program: closing hides the window,
// the tray icon's clicks bring it back or open the menu, Quit ends the
// program after stopping its threads and calibrating the chip.

#include "PanelExeFixture.h"

namespace {

bool WaitUntil(bool (*done)(HWND), HWND window, DWORD timeoutMs) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(25)) {
        if (done(window)) return true;
    }
    return done(window);
}

bool Hidden(HWND window) {
    return !IsWindowVisible(window);
}
bool Shown(HWND window) {
    return IsWindowVisible(window) != 0;
}

}  // namespace

class TrayExe : public PanelExe {};

bool SettingsFileThere() {
    return GetFileAttributesW(L"DM_CurrSettings.txt") != INVALID_FILE_ATTRIBUTES;
}

TEST_F(TrayExe, CloseHidesClickShowsMenuQuits) {
    SavingOn saving;
    DeleteFileW(L"DM_CurrSettings.txt");
    HWND main = Start("monitorchip");
    ASSERT_TRUE(main != NULL);
    // The close command and the close button both hide and save; the
    // program stays.
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil(Hidden, main, 2000));
    EXPECT_TRUE(SettingsFileThere()) << "saved on close";
    DeleteFileW(L"DM_CurrSettings.txt");
    PostMessageW(main, kTrayNotify, 0, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitUntil(Shown, main, 2000)) << "a left click on the icon shows the window";
    ClickAt(main, 462, 34);  // the close button
    EXPECT_TRUE(WaitUntil(Hidden, main, 2000));
    EXPECT_TRUE(SettingsFileThere()) << "saved again on the second close";
    EXPECT_TRUE(panel_.Running());

    // A right click opens the menu: "Main window", a 5-pixel separator, and
    // "Quit" 25 pixels below the top.
    PostMessageW(main, kTrayNotify, 0, WM_RBUTTONDOWN);
    HWND popup = NULL;
    for (DWORD start = GetTickCount(); !popup && GetTickCount() - start < 3000; Sleep(50)) {
        popup = panel_.FindWindowOfClass(L"#32768");
        if (popup && !IsWindowVisible(popup)) popup = NULL;
    }
    ASSERT_TRUE(popup != NULL) << "the tray menu";
    // Menus belong to their process; their window is what shows.
    RECT client;
    GetClientRect(popup, &client);
    // The items take 20 + 5 + 20 pixels; the system adds a thin frame.
    EXPECT_GE(client.right, 90);
    EXPECT_GE(client.bottom, 45);
    EXPECT_LE(client.bottom, 45 + 8);
    Sleep(300);
    ScreenPicture picture(popup);
    const RECT firstImage = {0, 0, 20, 20}, textArea = {23, 0, 90, 20};
    const COLORREF background = RGB(94, 105, 111);
    EXPECT_LT(picture.Count(firstImage, background, 4), 300) << "the item's picture";
    EXPECT_GT(picture.Count(textArea, background, 4), 600) << "the menu's grey";

    // Quit: calibration written, the program gone within 3 s.
    ASSERT_TRUE(VcardWriteRegister(0, 0x5C, 0x64, 0x30));
    POINT quitItem = {45, 35};  // within "Quit", 25 to 45 pixels down
    ClientToScreen(popup, &quitItem);
    DWORD quitAt = GetTickCount();
    PointerToScreen(quitItem.x, quitItem.y);
    LeftButton(true);
    LeftButton(false);
    DWORD code = 99;
    EXPECT_TRUE(panel_.WaitForExit(3000, &code));
    EXPECT_LT(GetTickCount() - quitAt, 3000u);
    EXPECT_EQ(0u, code);
    uint8_t offset = 0x30;
    ASSERT_TRUE(VcardReadRegister(0, 0x5C, 0x64, &offset));
    EXPECT_NE(0x30, offset) << "the chip's offset calibrated at quit";
}

// End task, taskkill and the Restart Manager send WM_CLOSE: the program
// saves, ends within 3 s, and the next start shows its window.
TEST_F(TrayExe, CloseMessageEndsTheProgramAndItStartsAgain) {
    SavingOn saving;
    DeleteFileW(L"DM_CurrSettings.txt");
    HWND main = Start("monitorchip");
    ASSERT_TRUE(main != NULL);
    DWORD closedAt = GetTickCount();
    PostMessageW(main, WM_CLOSE, 0, 0);
    DWORD code = 99;
    EXPECT_TRUE(panel_.WaitForExit(3000, &code));
    EXPECT_LT(GetTickCount() - closedAt, 3000u);
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(SettingsFileThere()) << "saved before it ended";
    WaitForNoOtherInstance();
    EXPECT_TRUE(Start("monitorchip") != NULL) << "a second start shows the window";
}

// Any process may post the controls' notifications to the findable main
// window; only the panel's own controls are acted on.
TEST_F(TrayExe, PostedNotificationsWithForeignObjectsChangeNothing) {
    HWND main = Start("monitorchip");
    ASSERT_TRUE(main != NULL);
    RECT gpu = PlaceInClient(main, Control(main, 40));
    VcardResetCounters();
    const UINT messages[] = {1026, 1032, 1037, 1039, 1040, 1041, 1042, 1043};
    const LPARAM objects[] = {0, 0x10, 0x12345678, reinterpret_cast<LPARAM>(main)};
    for (UINT message : messages) {
        for (LPARAM object : objects)
            PostMessageW(main, message, 0, object);
    }
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 3000, &answer));
    Sleep(1800);  // a fan sync too
    EXPECT_TRUE(panel_.Running());
    EXPECT_EQ(NULL, panel_.FindWindowOfClass(L"#32770")) << "no box, no dialog";
    ExpectOnlyReads();
    EXPECT_EQ(gpu.left, PlaceInClient(main, Control(main, 40)).left);
}
