// Living in the tray, through the built program: closing hides the window,
// the tray icon's clicks bring it back or open the menu, Quit ends the
// program after stopping its threads and calibrating the chip.

#include "FileBytes.h"
#include "LanguageState.h"
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

// A BIOS file chosen in another folder: while the tool writes, the session
// may not end; the open dialog's folder never becomes the settings' home;
// and a session ended with the window open saves what the panel shows.
TEST_F(TrayExe, BiosUpdateHoldsTheSessionAndItsEndSavesAtHome) {
    SavingOn saving;
    DeleteFileW(L"DM_CurrSettings.txt");
    wchar_t home[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, home);
    const std::wstring elsewhere = std::wstring(home) + L"\\browsed";
    CreateDirectoryW(elsewhere.c_str(), NULL);
    FILE* rom = _wfopen((elsewhere + L"\\other.rom").c_str(), L"wb");
    ASSERT_TRUE(rom != NULL);
    const std::string image(65536, '\xFF');
    fwrite(image.data(), 1, image.size(), rom);
    fclose(rom);
    HWND main = Start("monitorchip");
    ASSERT_TRUE(main != NULL);
    ASSERT_TRUE(VcardSetFlashDurations(300, 1500));
    ASSERT_TRUE(VcardSetFlashFault(kVcardFlashFail, 1, 0));

    ClickAt(main, 301, 315);  // the BIOS button
    HWND open = NULL;
    for (DWORD start = GetTickCount(); !open && GetTickCount() - start < 10000; Sleep(50)) {
        open = panel_.FindWindowOfClass(L"#32770");
        if (open && !IsWindowVisible(open)) open = NULL;
    }
    ASSERT_TRUE(open != NULL) << "the open dialog";
    // The file name box: an edit of its own in the old style, inside a
    // combo box in the Explorer style.
    HWND name = GetDlgItem(open, 0x480);
    if (!name)
        name = FindWindowExW(FindWindowExW(GetDlgItem(open, 0x47C), NULL, L"ComboBox", NULL), NULL, L"Edit", NULL);
    ASSERT_TRUE(name != NULL);
    // Into the other folder first, as a user browsing there would.
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(elsewhere.c_str()));
    PostMessageW(open, WM_COMMAND, IDOK, 0);
    Sleep(800);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"other.rom"));
    PostMessageW(open, WM_COMMAND, IDOK, 0);

    HWND flashing = NULL;
    for (DWORD start = GetTickCount(); !flashing && GetTickCount() - start < 10000; Sleep(50)) {
        flashing = panel_.FindWindowOfClass(L"#32770");
        wchar_t title[64] = L"";
        if (flashing) GetWindowTextW(flashing, title, 64);
        if (LangText(100) != std::wstring(title)) flashing = NULL;
    }
    ASSERT_TRUE(flashing != NULL) << "the update runs";
    DWORD_PTR mayEnd = 99;
    ASSERT_TRUE(SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 3000, &mayEnd));
    EXPECT_EQ(FALSE, (BOOL)mayEnd) << "no session end while the tool writes";
    ASSERT_TRUE(Answer(75, IDOK));
    ASSERT_TRUE(SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 3000, &mayEnd));
    EXPECT_EQ(TRUE, (BOOL)mayEnd);

    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil(Hidden, main, 2000));
    EXPECT_TRUE(SettingsFileThere()) << "saved in the program's folder";
    for (const wchar_t* stray : {L"\\DM_CurrSettings.txt", L"\\DM_CurrSettings.txt.new"})
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((elsewhere + stray).c_str())) << "nothing elsewhere";
    const std::string atClose = ReadFileBytes(L"DM_CurrSettings.txt");

    PostMessageW(main, kTrayNotify, 0, WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitUntil(Shown, main, 2000));
    DeleteFileW(L"DM_CurrSettings.txt");
    Click(main, kManualBox);
    const DWORD ended = GetTickCount();
    ASSERT_TRUE(SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 3000, &mayEnd));
    EXPECT_EQ(TRUE, (BOOL)mayEnd);
    SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 5000, &mayEnd);
    DWORD code = 99;
    EXPECT_TRUE(panel_.WaitForExit(3000, &code));
    EXPECT_LT(GetTickCount() - ended, 3000u);
    EXPECT_TRUE(SettingsFileThere()) << "saved at the session's end";
    EXPECT_NE(atClose, ReadFileBytes(L"DM_CurrSettings.txt")) << "with the change made since";
    DeleteFileW((elsewhere + L"\\other.rom").c_str());
    RemoveDirectoryW(elsewhere.c_str());
}

// A GPU held at 101 °C is told about once and its fixed fan speed handed to
// the card; only after it has cooled below 90 °C may it alarm again. A fan
// standing still is warned about while the GPU is hot, never when cool.
TEST_F(TrayExe, OverheatAndAStoppedFanAreToldOnce) {
    VcardCardInfo info;
    ASSERT_TRUE(StartManual("monitorchip", &info) != NULL);
    ASSERT_TRUE(VcardSetDieTemperature(0, 101, true));
    EXPECT_TRUE(Answer(3, IDOK)) << "the overheat alarm";
    ASSERT_TRUE(VcardGetCardInfo(0, &info));
    EXPECT_FALSE(info.fanManual) << "the fan back under the card's control";
    EXPECT_TRUE(WaitForBox(3, 2500) == NULL) << "once while it stays hot";
    ASSERT_TRUE(VcardSetDieTemperature(0, 85, true));
    EXPECT_TRUE(WaitForBox(3, 2500) == NULL);
    ASSERT_TRUE(VcardSetDieTemperature(0, 101, true));
    EXPECT_TRUE(Answer(3, IDOK)) << "again after it had cooled";

    ASSERT_TRUE(VcardSetDieTemperature(0, 30, true));
    ASSERT_TRUE(VcardStallFan(0, true));
    EXPECT_TRUE(WaitForBox(103, 5000) == NULL) << "a still fan on a cool GPU";
    ASSERT_TRUE(VcardSetDieTemperature(0, 70, true));
    EXPECT_TRUE(Answer(103, IDOK)) << "the stopped-fan warning";
}

// A program that dies of a fault leaves no fan at a fixed speed behind.
TEST_F(TrayExe, ACrashHandsTheFanBackToTheCard) {
    VcardCardInfo info;
    SetEnvironmentVariableW(L"VEXA_TEST_CRASH_ON_DEMAND", L"1");
    const bool started = StartManual("monitorchip", &info) != NULL;
    SetEnvironmentVariableW(L"VEXA_TEST_CRASH_ON_DEMAND", nullptr);
    ASSERT_TRUE(started);
    const std::wstring name = L"VexaPanelCrashForTests-" + std::to_wstring(panel_.Id());
    HANDLE crash = OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str());
    ASSERT_TRUE(crash != NULL);
    SetEvent(crash);
    CloseHandle(crash);
    DWORD code = 0;
    const bool ended = panel_.WaitForExit(20000, &code);
    if (!ended) panel_.Kill();
    EXPECT_TRUE(ended) << "the system ends the process";
    ASSERT_TRUE(VcardGetCardInfo(0, &info));
    EXPECT_FALSE(info.fanManual) << "the fan back under the card's control";
}
