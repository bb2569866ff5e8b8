// Start-up as a user meets it: the built program on the virtual card.
#include <string>

#include <gtest/gtest.h>

#include "LanguageState.h"
#include "PanelProcess.h"
#include "ProgramRegistry.h"

namespace {

const wchar_t kMainClass[] = L"VexaPanelMainWnd_Cls";
const wchar_t kWaitClass[] = L"WaitWndCls___";
const wchar_t kDialogClass[] = L"#32770";
const DWORD kStartTimeoutMs = 30000;

const wchar_t kOtherRunValue[] = L"VexaStartupTestOther";

void SetRunValue(const wchar_t* name, const std::wstring& data) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyW(HKEY_LOCAL_MACHINE, kRunKeyPath, &key));
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() * 2));
    RegCloseKey(key);
}

bool RunValueExists(const wchar_t* name) {
    HKEY key;
    if (RegOpenKeyW(HKEY_LOCAL_MACHINE, kRunKeyPath, &key) != ERROR_SUCCESS) return false;
    bool exists = RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return exists;
}

void DeleteRunValueNamed(const wchar_t* name) {
    HKEY key;
    if (RegOpenKeyW(HKEY_LOCAL_MACHINE, kRunKeyPath, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, name);
    RegCloseKey(key);
}

// Waits for the panel's next message box, checks its text and answers it.
void ExpectMessageBox(PanelProcess& panel, int textId, int answer) {
    HWND box = panel.WaitForWindow(kDialogClass, kStartTimeoutMs);
    ASSERT_NE(nullptr, box) << "no message box for text " << textId;
    // The box exists before its text and buttons do.
    DWORD start = GetTickCount();
    while (MessageBoxText(box).empty() && GetTickCount() - start < 5000)
        PumpFor(20);
    EXPECT_EQ(std::wstring(LangText(textId)), MessageBoxText(box)) << "text " << textId;
    wchar_t caption[64] = {};
    GetWindowTextW(box, caption, 64);
    EXPECT_STREQ(L"Vexa Panel", caption);
    AnswerMessageBox(box, answer);
    // The box must be gone before the next one is looked for.
    start = GetTickCount();
    while (IsWindow(box) && GetTickCount() - start < 5000)
        PumpFor(20);
}

void ExpectCleanExit(PanelProcess& panel) {
    DWORD code = 1234;
    ASSERT_TRUE(panel.WaitForExit(kStartTimeoutMs, &code));
    EXPECT_EQ(0u, code);
}

// The tray menu's Quit, the one way the interface ends the program.
void QuitFromTray(PanelProcess& panel, HWND main) {
    PostMessageW(main, WM_COMMAND, 202, 0);
    ExpectCleanExit(panel);
}

}  // namespace

TEST(Startup, MissingDriverShowsOneErrorAndExits) {
    const wchar_t* scenarios[] = {L"no-driver", L"no-gpu"};
    for (const wchar_t* scenario : scenarios) {
        PanelProcess panel;
        ASSERT_TRUE(panel.Start(L"", scenario));
        ExpectMessageBox(panel, 0, IDOK);
        ExpectCleanExit(panel);
    }
}

TEST(Startup, FailedStartFromRunValueAsksAndNoRemovesOnlyOurValue) {
    SetRunValue(kRunValueName, L"C:\\Program Files\\Vexa Panel\\VexaPanel.exe Normal");
    SetRunValue(kOtherRunValue, L"C:\\other.exe");
    PanelProcess panel;
    ASSERT_TRUE(panel.Start(L"Normal", L"no-driver"));
    ExpectMessageBox(panel, 0, IDOK);
    ExpectMessageBox(panel, 91, IDNO);
    ExpectCleanExit(panel);
    EXPECT_FALSE(RunValueExists(kRunValueName));
    EXPECT_TRUE(RunValueExists(kOtherRunValue));
    DeleteRunValueNamed(kOtherRunValue);
}

TEST(Startup, FailedStartAnsweredYesKeepsTheRunValue) {
    SetRunValue(kRunValueName, L"C:\\VexaPanel.exe SysTray");
    PanelProcess panel;
    ASSERT_TRUE(panel.Start(L"normal", L"no-driver"));
    ExpectMessageBox(panel, 0, IDOK);
    ExpectMessageBox(panel, 91, IDYES);
    ExpectCleanExit(panel);
    EXPECT_TRUE(RunValueExists(kRunValueName));
    DeleteRunValueNamed(kRunValueName);
}

TEST(Startup, VirtualCardReplacesWaitWindowWithSkinnedMainWindow) {
    PanelProcess panel;
    ASSERT_TRUE(panel.Start(L"", L"monitorchip"));
    HWND main = panel.WaitForWindow(kMainClass, kStartTimeoutMs);
    ASSERT_NE(nullptr, main);
    EXPECT_EQ(nullptr, panel.FindWindowOfClass(kDialogClass));
    // The panel build gives the window the skin's size.
    RECT r = {};
    DWORD start = GetTickCount();
    do {
        PumpFor(50);
        GetWindowRect(main, &r);
    } while (r.right - r.left != 552 && GetTickCount() - start < 10000);
    EXPECT_EQ(552, r.right - r.left);
    EXPECT_EQ(330, r.bottom - r.top);
    EXPECT_EQ(nullptr, panel.FindWindowOfClass(kWaitClass));
    QuitFromTray(panel, main);
}

TEST(Startup, SecondStartExitsSilentlyAndRestoresTheFirst) {
    PanelProcess first;
    ASSERT_TRUE(first.Start(L"", L"monitorchip"));
    HWND main = first.WaitForWindow(kMainClass, kStartTimeoutMs);
    ASSERT_NE(nullptr, main);
    ShowWindow(main, SW_MINIMIZE);
    PumpFor(200);
    ASSERT_TRUE(IsIconic(main));

    PanelProcess second;
    ASSERT_TRUE(second.Start(L"Minimize", L"monitorchip"));
    DWORD code = 1234;
    ASSERT_TRUE(second.WaitForExit(kStartTimeoutMs, &code));
    EXPECT_EQ(0u, code);
    EXPECT_EQ(nullptr, first.FindWindowOfClass(kDialogClass));
    PumpFor(200);
    EXPECT_FALSE(IsIconic(main));
    EXPECT_TRUE(IsWindowVisible(main));
    QuitFromTray(first, main);
}

TEST(Startup, OnlyApplySettingsMakesNoWindowAndEnds) {
    PanelProcess panel;
    ASSERT_TRUE(panel.Start(L"OnlyApplySettings", L"monitorchip"));
    int windowsSeen = 0;
    DWORD code = 1234;
    while (!panel.WaitForExit(50, &code)) {
        windowsSeen += panel.FindWindowOfClass(kWaitClass) != nullptr;
        windowsSeen += panel.FindWindowOfClass(kMainClass) != nullptr;
        windowsSeen += panel.FindWindowOfClass(kDialogClass) != nullptr;
        ASSERT_LT(windowsSeen + 0, 1);
        if (!panel.Running()) break;
    }
    ExpectCleanExit(panel);
    EXPECT_EQ(0, windowsSeen);
}

TEST(Startup, OverlongOrUnknownCommandLineStartsInteractively) {
    const std::wstring lines[] = {std::wstring(30000, L'x'), L"SysTray ", L"\"quoted words\" and more"};
    for (const std::wstring& line : lines) {
        PanelProcess panel;
        ASSERT_TRUE(panel.Start(line, L"monitorchip"));
        HWND main = panel.WaitForWindow(kMainClass, kStartTimeoutMs);
        ASSERT_NE(nullptr, main);
        PumpFor(300);
        EXPECT_FALSE(IsIconic(main));
        QuitFromTray(panel, main);
    }
}

TEST(Startup, MinimizeWordStartsMinimised) {
    PanelProcess panel;
    ASSERT_TRUE(panel.Start(L"MINIMIZE", L"monitorchip"));
    HWND main = panel.WaitForWindow(kMainClass, kStartTimeoutMs);
    ASSERT_NE(nullptr, main);
    DWORD start = GetTickCount();
    while (!IsIconic(main) && GetTickCount() - start < 10000)
        PumpFor(50);
    EXPECT_TRUE(IsIconic(main));
    QuitFromTray(panel, main);
}

TEST(Startup, OptionValuesOfTheWrongTypeOrSizeDoNotStopIt) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyW(HKEY_LOCAL_MACHINE, kProgramKeyPath, &key));
    std::wstring text(3000, L'7');
    RegSetValueExW(key, kRestoreUserSettingsName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() * 2));
    BYTE blob[600];
    memset(blob, 0xFF, sizeof(blob));
    RegSetValueExW(key, kDisplayAboutAtStartupName, 0, REG_BINARY, blob, sizeof(blob));
    SetRunValue(kRunValueName, std::wstring(40000, L'x'));

    PanelProcess panel;
    ASSERT_TRUE(panel.Start(L"", L"monitorchip"));
    HWND main = panel.WaitForWindow(kMainClass, kStartTimeoutMs);
    EXPECT_NE(nullptr, main);
    if (main) QuitFromTray(panel, main);

    RegDeleteValueW(key, kRestoreUserSettingsName);
    RegDeleteValueW(key, kDisplayAboutAtStartupName);
    RegCloseKey(key);
    DeleteRunValueNamed(kRunValueName);
}
