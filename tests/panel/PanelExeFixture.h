#pragma once
// Runs the tests' build of the program on the virtual card and looks at its
// panel from outside, as the panel tests through the built program share.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PanelProcess.h"
#include "LanguageState.h"
#include "ProgramRegistry.h"
#include "PanelWindow.h"
#include "vcard/VirtualCardControl.h"

inline const wchar_t kMainClass[] = L"VexaPanelMainWnd_Cls";
const DWORD kStartTimeoutMs = 60000;
// A reading reaches its display within a monitor period and a cycle.
const DWORD kFollowTimeoutMs = 1500;

// Places the tests press, in the main window's client area.
inline const POINT kAutoBox = {83, 141};
inline const POINT kManualBox = {133, 141};
inline const POINT kTestButton = {425, 131};
inline const POINT kApplyButton = {463, 131};
inline const POINT kGpuUp = {465, 177};
inline const POINT kGpuDown = {241, 177};
inline const POINT kAboutButton = {454, 315};
inline const POINT kSettingsButton = {347, 315};
// The settings dialog's items.
const int kDontRun = 1028, kRun = 1021, kRunToTray = 1023, kSaveBox = 1012, kShowAboutBox = 1011;
// The tray icon's callback message.
const UINT kTrayNotify = WM_USER + 45;

const int kTemperatureDisplay = 65;
const int kFanDisplay = 67;
const int kGpuClockDisplay = 63;

inline std::wstring StateFile() {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + L"vexa-startup-tests.state";
}

inline std::wstring Wide(const char* text) {
    return std::wstring(text, text + strlen(text));
}

// Clicks the point with real input, times over, and gives the panel time.
inline void Click(HWND main, POINT p, int times = 1) {
    for (int i = 0; i < times; i++)
        ClickAt(main, p.x, p.y);
    Sleep(100);
}

// Brings the window to the front and has it paint everything now, so a
// picture of the screen shows what the window draws.
inline void ShownAndPainted(HWND main) {
    SetForegroundWindow(main);
    RedrawWindow(main, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(300);
}

inline bool WaitForText(HWND display, const std::wstring& expected, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (DisplayText(display) != expected) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(25);
    }
    return true;
}

// Sets RestoreUserSettings for one test and puts the old value back.
class SavingOn {
public:
    SavingOn() {
        had_ = ReadProgramValue(L"RestoreUserSettings", &old_, &size_, &type_);
        DWORD on = 1;
        WriteProgramValue(L"RestoreUserSettings", &on, sizeof(on), REG_DWORD);
    }
    ~SavingOn() {
        if (had_) {
            WriteProgramValue(L"RestoreUserSettings", &old_, size_, type_);
        } else {
            DWORD off = 0;
            WriteProgramValue(L"RestoreUserSettings", &off, sizeof(off), REG_DWORD);
        }
    }

private:
    DWORD old_ = 0, size_ = sizeof(DWORD), type_ = REG_DWORD;
    bool had_ = false;
};

class PanelExe : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(VcardUseState(StateFile().c_str())); }

    // Starts the panel on the scenario and waits for its first readings.
    // arm, when given, sets faults on the fresh card before the program
    // starts.
    HWND Start(const char* scenario, const wchar_t* privilege = L"2", void (*arm)() = nullptr) {
        EXPECT_TRUE(VcardReset(scenario)) << VcardLastError();
        VcardSetTimeMode(kVcardTimeRealtime);
        if (arm) arm();
        SetEnvironmentVariableW(L"VEXA_TEST_PRIVILEGE", privilege);
        EXPECT_TRUE(panel_.Start(L"", Wide(scenario).c_str(), program_.c_str()));
        HWND main = panel_.WaitForWindow(kMainClass, kStartTimeoutMs);
        if (!main) return NULL;
        std::vector<HWND> temperature;
        for (DWORD start = GetTickCount(); temperature.empty() && GetTickCount() - start < kStartTimeoutMs;) {
            temperature = ControlsWithId(main, kTemperatureDisplay);
            if (temperature.empty()) Sleep(50);
        }
        if (temperature.empty() || WaitForDisplayText(temperature[0], 10000).empty()) return NULL;
        return main;
    }

    // Starts the panel with the card's fan switched to its manual speed.
    HWND StartManual(const char* scenario, VcardCardInfo* info) {
        HWND main = Start(scenario);
        if (!main) return NULL;
        Click(main, kManualBox);
        Sleep(300);
        EXPECT_TRUE(VcardGetCardInfo(0, info));
        EXPECT_TRUE(info->fanManual);
        return main;
    }

    // Since the counters were last reset the card has only been read: no
    // clock, cooler or I2C write.
    static void ExpectOnlyReads() {
        VcardCounters c = {};
        ASSERT_TRUE(VcardGetCounters(&c));
        EXPECT_EQ(0u, c.calls[kVcardCallPerfSet]);
        EXPECT_EQ(0u, c.calls[kVcardCallCoolerSet]);
        EXPECT_EQ(0u, c.calls[kVcardCallI2cWrite]);
    }

    // The panel's message box with the text, once it shows.
    HWND WaitForBox(int textId, DWORD timeoutMs = 30000) {
        for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50)) {
            HWND box = panel_.FindWindowOfClass(L"#32770");
            if (box && MessageBoxText(box) == LangText(textId)) return box;
        }
        return NULL;
    }

    // Answers the panel's next message box with the text and waits for it
    // to go.
    bool Answer(int textId, int button) {
        HWND box = WaitForBox(textId);
        if (!box) return false;
        AnswerMessageBox(box, button);
        for (DWORD start = GetTickCount(); IsWindow(box) && GetTickCount() - start < 5000;)
            Sleep(20);
        return true;
    }

    static HWND Control(HWND main, int id, size_t index = 0) {
        std::vector<HWND> all = ControlsWithId(main, id);
        return index < all.size() ? all[index] : NULL;
    }

    void TearDown() override { panel_.Kill(); }

    PanelProcess panel_;
    // The program started: the tests' build, or an installed one.
    std::wstring program_ = L"VexaPanelForTests.exe";
};
