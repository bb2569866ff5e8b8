// The saved hardware settings through the built program: applied while the
// panel is built, and by the apply-only start, which makes no window and
// ends. The program runs from a copy of its folder, so that its settings
// file is the test's own.

#include "VcardFixture.h"

#include <stdio.h>

#include <string>
#include <vector>

#include "HandleHolders.h"
#include "LanguageState.h"
#include "ProgramRegistry.h"
#include "ClockTrialRecord.h"
#include "FileBytes.h"

namespace {

const wchar_t kMainClass[] = L"VexaPanelMainWnd_Cls";
const wchar_t kWaitClass[] = L"WaitWndCls___";
const wchar_t kInstanceMutex[] = L"Global\\DM_App_Mutex";
const uint32_t kCore = 0, kMemory = 4, kShader = 7;

const wchar_t kSettings[] =
    L"\xFEFF[Group0]\r\nGPU_Id=0611\r\nFanWorkMode=0\r\nFanManualSpeed=2400\r\nGpu2DClock=350000\r\n"
    L"Gpu3DClock=650000\r\nShader2DClock=800000\r\nShader3DClock=1550000\r\nMemoryClock=950000\r\n";

std::wstring BinFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(NULL, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.rfind(L'\\'));
}

std::wstring ProgramCopy() {
    std::wstring bin = BinFolder();
    std::wstring folder = bin + L"\\hw saved settings exe";
    CreateDirectoryW(folder.c_str(), NULL);
    const wchar_t* files[] = {L"VexaPanel.exe", L"nvapi.dll", L"PMReader.dll", L"nvflash.exe",
                              L"inicd.dll",     L"DMini",     L"Arial.ttf",    L"digifaw.ttf"};
    for (const wchar_t* file : files) {
        CopyFileW((bin + L"\\" + file).c_str(), (folder + L"\\" + file).c_str(), FALSE);
    }
    return folder;
}

void WriteText(const std::wstring& name, const wchar_t* text) {
    FILE* f = _wfopen(name.c_str(), L"wb");
    ASSERT_TRUE(f != NULL);
    fwrite(text, sizeof(wchar_t), wcslen(text), f);
    fclose(f);
}

// RestoreUserSettings as a test needs it, put back as it was afterwards.
class RestoreUserSettingsValue {
public:
    explicit RestoreUserSettingsValue(DWORD value) {
        size_ = sizeof(previous_);
        had_ = ReadProgramValue(kRestoreUserSettingsName, previous_, &size_, &type_);
        EXPECT_TRUE(WriteProgramValue(kRestoreUserSettingsName, &value, sizeof(value), REG_DWORD));
    }
    ~RestoreUserSettingsValue() {
        if (had_) {
            WriteProgramValue(kRestoreUserSettingsName, previous_, size_, type_);
            return;
        }
        RegistryKeyHolder key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProgramKeyPath, 0, KEY_SET_VALUE, key.Receive()) == ERROR_SUCCESS) {
            RegDeleteValueW(key.Get(), kRestoreUserSettingsName);
        }
    }

private:
    BYTE previous_[64];
    DWORD size_ = 0, type_ = 0;
    bool had_ = false;
};

// The program runs once at a time: another test's instance would make this
// start bring that one forward and end at once.
bool WaitForNoInstance() {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 180000; Sleep(200)) {
        HandleHolder mutex(OpenMutexW(SYNCHRONIZE, FALSE, kInstanceMutex));
        if (!mutex) return true;
    }
    return false;
}

struct WindowCount {
    DWORD pid;
    int count;
};

BOOL CALLBACK CountOwnWindow(HWND hwnd, LPARAM param) {
    WindowCount* c = reinterpret_cast<WindowCount*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != c->pid) return TRUE;
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (IsWindowVisible(hwnd) || lstrcmpW(name, kMainClass) == 0 || lstrcmpW(name, kWaitClass) == 0) c->count++;
    return TRUE;
}

class Program {
public:
    ~Program() {
        if (!process_) return;
        if (WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.Get(), 99);
            WaitForSingleObject(process_.Get(), 5000);
        }
    }

    bool Start(const std::wstring& folder, const wchar_t* args, bool keepClockTrial = false) {
        if (!keepClockTrial) ForgetClockTrial();
        std::wstring line = L"\"" + folder + L"\\VexaPanel.exe\" " + args;
        std::vector<wchar_t> buffer(line.begin(), line.end());
        buffer.push_back(0);
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        if (!CreateProcessW(NULL, buffer.data(), NULL, NULL, FALSE, 0, NULL, folder.c_str(), &startup, &info)) {
            return false;
        }
        process_.Reset(info.hProcess);
        CloseHandle(info.hThread);
        pid_ = info.dwProcessId;
        return true;
    }

    bool Exited(DWORD timeoutMs, DWORD* code = NULL) const {
        if (WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0) return false;
        if (code) GetExitCodeProcess(process_.Get(), code);
        return true;
    }

    // Windows of the program: any visible one, and its own classes hidden.
    int Windows() const {
        WindowCount c = {pid_, 0};
        EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&c));
        return c.count;
    }

    // A top-level window of the program with the class.
    HWND Find(const wchar_t* className) const {
        HWND window = NULL;
        while ((window = FindWindowExW(NULL, window, className, NULL)) != NULL) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == pid_) return window;
        }
        return NULL;
    }

    HWND WaitForMainWindow(DWORD timeoutMs) const {
        for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs && !Exited(0); Sleep(50)) {
            if (HWND window = Find(kMainClass)) return window;
        }
        return NULL;
    }

private:
    HandleHolder process_;
    DWORD pid_ = 0;
};

uint32_t Applied(const VcardCardInfo& info, bool level3D, uint32_t domain) {
    for (int l = 0; l < info.levelCount; l++) {
        uint32_t flags = info.level[l].flags;
        if (level3D ? (flags & 4) == 0 : (flags != 0 && flags != 1)) continue;
        for (int d = 0; d < info.domainCount; d++) {
            if (info.domainId[d] == domain) return info.level[l].frequency[d];
        }
    }
    return 0;
}

bool FileApplied(const VcardCardInfo& info) {
    return Applied(info, false, kCore) == 350000 && Applied(info, true, kCore) == 650000 && info.fanManual;
}

void ExpectFileApplied(const VcardCardInfo& info) {
    EXPECT_EQ(350000u, Applied(info, false, kCore));
    EXPECT_EQ(800000u, Applied(info, false, kShader));
    EXPECT_EQ(950000u, Applied(info, false, kMemory));
    EXPECT_EQ(650000u, Applied(info, true, kCore));
    EXPECT_EQ(1550000u, Applied(info, true, kShader));
    EXPECT_EQ(950000u, Applied(info, true, kMemory));
    EXPECT_TRUE(info.fanManual);
    EXPECT_NEAR(2400.0, info.fanTargetRpm, 24.0);
}

}  // namespace

class SavedSettingsExe : public VcardTest {
protected:
    static void SetUpTestSuite() {
        // Absolute: the program's copy of the driver lives in another folder.
        ASSERT_TRUE(VcardUseState((BinFolder() + L"\\hw_saved_settings_exe.state").c_str()));
    }

    void SetUp() override {
        folder_ = ProgramCopy();
        file_ = folder_ + L"\\DM_CurrSettings.txt";
    }

    // A freshly powered card, the settings file beside the program, and no
    // instance of the program running.
    void Prepare() {
        Reset("monitorchip");
        ASSERT_TRUE(VcardSetTimeMode(kVcardTimeRealtime));
        SetEnvironmentVariableW(L"VEXA_VCARD", L"monitorchip");
        WriteText(file_, kSettings);
        ASSERT_TRUE(WaitForNoInstance()) << "another instance of the program never ended";
    }

    void TearDown() override { DeleteFileW(file_.c_str()); }

    std::wstring folder_, file_;
};

TEST_F(SavedSettingsExe, PanelBuildAppliesTheFile) {
    ASSERT_NO_FATAL_FAILURE(Prepare());
    RestoreUserSettingsValue on(1);
    const std::string before = ReadFileBytes(file_.c_str());
    Program program;
    ASSERT_TRUE(program.Start(folder_, L""));
    HWND main = program.WaitForMainWindow(60000);
    ASSERT_TRUE(main != NULL);
    for (DWORD start = GetTickCount(); !FileApplied(Info(0)) && GetTickCount() - start < 20000;)
        Sleep(50);
    ExpectFileApplied(Info(0));
    // Ended as the tray's Quit finally ends it; the load wrote nothing.
    PostThreadMessageW(GetWindowThreadProcessId(main, NULL), WM_QUIT, 0, 0);
    EXPECT_TRUE(program.Exited(20000));
    EXPECT_EQ(before, ReadFileBytes(file_.c_str()));
}

TEST_F(SavedSettingsExe, OnlyApplySettingsAppliesTheFileAndEndsWithoutAWindow) {
    for (DWORD restore : {1u, 0u}) {
        SCOPED_TRACE(restore ? "RestoreUserSettings 1" : "RestoreUserSettings 0");
        ASSERT_NO_FATAL_FAILURE(Prepare());
        RestoreUserSettingsValue value(restore);
        const VcardCardInfo poweredUp = Info(0);
        Program program;
        ASSERT_TRUE(program.Start(folder_, L"OnlyApplySettings"));
        int windows = 0;
        DWORD appliedAt = 0, code = 99;
        DWORD start = GetTickCount();
        for (;;) {
            windows += program.Windows();
            if (!appliedAt && FileApplied(Info(0))) appliedAt = GetTickCount();
            if (program.Exited(10, &code) || GetTickCount() - start > 60000) break;
        }
        DWORD endedAt = GetTickCount();
        // Applied and gone between two looks: it ended within one of them.
        if (!appliedAt) appliedAt = endedAt;
        ASSERT_TRUE(program.Exited(0)) << "still running after a minute";
        EXPECT_EQ(0u, code);
        EXPECT_EQ(0, windows);
        VcardCardInfo after = Info(0);
        if (restore) {
            ExpectFileApplied(after);
            // It stays until the clocks have held, reading the card.
            EXPECT_GE(endedAt - appliedAt, 9000u);
            EXPECT_LT(endedAt - appliedAt, 15000u);
        } else {
            EXPECT_EQ(Applied(poweredUp, false, kCore), Applied(after, false, kCore));
            EXPECT_EQ(Applied(poweredUp, true, kCore), Applied(after, true, kCore));
            EXPECT_EQ(Applied(poweredUp, false, kMemory), Applied(after, false, kMemory));
            EXPECT_FALSE(after.fanManual);
        }
    }
}

// Saved clocks whose apply-only start was killed before they had held are
// left out by the next start, which still applies the fan; the next panel
// says why, once. A start left alone ends the trial, and the clocks come
// back at the one after.
TEST_F(SavedSettingsExe, ClocksThatDidNotHoldAreLeftOutOnce) {
    ASSERT_NO_FATAL_FAILURE(Prepare());
    RestoreUserSettingsValue on(1);
    {
        Program killed;
        ASSERT_TRUE(killed.Start(folder_, L"OnlyApplySettings"));
        for (DWORD start = GetTickCount(); !FileApplied(Info(0)) && GetTickCount() - start < 30000;)
            Sleep(20);
        ASSERT_TRUE(FileApplied(Info(0)));
        EXPECT_FALSE(killed.Exited(1000)) << "still on trial";
    }  // killed, as by a crash or a power cut

    ASSERT_NO_FATAL_FAILURE(Prepare());
    const VcardCardInfo poweredUp = Info(0);
    Program careful;
    ASSERT_TRUE(careful.Start(folder_, L"OnlyApplySettings", true));
    ASSERT_TRUE(careful.Exited(30000));
    const VcardCardInfo after = Info(0);
    EXPECT_EQ(Applied(poweredUp, false, kCore), Applied(after, false, kCore)) << "clocks left alone";
    EXPECT_EQ(Applied(poweredUp, true, kCore), Applied(after, true, kCore));
    EXPECT_TRUE(after.fanManual) << "the fan applied as usual";

    Program panel;
    ASSERT_TRUE(panel.Start(folder_, L"", true));
    HWND box = NULL;
    for (DWORD start = GetTickCount(); !box && GetTickCount() - start < 60000; Sleep(50)) {
        box = panel.Find(L"#32770");
        wchar_t text[512] = L"";
        if (box) GetDlgItemTextW(box, 0xFFFF, text, 512);
        if (box && LangText(102) != std::wstring(text)) box = NULL;
    }
    ASSERT_TRUE(box != NULL) << "the panel tells why";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    HWND main = panel.WaitForMainWindow(10000);
    ASSERT_TRUE(main != NULL);
    PostMessageW(main, WM_COMMAND, 202, 0);
    ASSERT_TRUE(panel.Exited(20000));

    for (int start = 0; start < 2; start++) {
        ASSERT_NO_FATAL_FAILURE(Prepare());
        Program alone;
        ASSERT_TRUE(alone.Start(folder_, L"OnlyApplySettings", true));
        ASSERT_TRUE(alone.Exited(30000));
        ExpectFileApplied(Info(0));
    }
}
