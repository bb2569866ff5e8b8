// Start-up of the whole program on the virtual card: VexaPanel.exe runs as a
// child process; the test watches its windows and message boxes and reads
// the card's registers afterwards.

#include "VcardFixture.h"

#include <string>
#include <vector>

#include "ClockTrialRecord.h"
#include "LanguageState.h"

namespace {

const wchar_t kMainClass[] = L"VexaPanelMainWnd_Cls";
const wchar_t kWaitClass[] = L"WaitWndCls___";

std::wstring BinFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(NULL, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.rfind(L'\\'));
}

// A copy of the program's folder without some of its files.
std::wstring CopyFolderWithout(const wchar_t* name, const std::vector<std::wstring>& left) {
    std::wstring bin = BinFolder();
    std::wstring folder = bin + L"\\" + name;
    CreateDirectoryW(folder.c_str(), NULL);
    const wchar_t* files[] = {L"VexaPanel.exe", L"nvapi.dll", L"PMReader.dll", L"nvflash.exe",
                              L"inicd.dll",     L"DMini",     L"Arial.ttf",    L"digifaw.ttf"};
    for (const wchar_t* file : files) {
        std::wstring target = folder + L"\\" + file;
        DeleteFileW(target.c_str());
        bool skip = false;
        for (const std::wstring& l : left) {
            skip = skip || l == file;
        }
        if (!skip) {
            CopyFileW((bin + L"\\" + file).c_str(), target.c_str(), FALSE);
        }
    }
    return folder;
}

class PanelProcess {
public:
    PanelProcess() { memset(&process_, 0, sizeof(process_)); }
    ~PanelProcess() {
        if (process_.hProcess) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process_.hProcess, 99);
                WaitForSingleObject(process_.hProcess, 5000);
            }
            CloseHandle(process_.hProcess);
        }
    }

    bool Start(const std::wstring& folder, const wchar_t* args) {
        // A program of an earlier test still ending holds the single-instance
        // mutex; a new start would then only bring that one to the front.
        for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(50)) {
            HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"Global\\DM_App_Mutex");
            if (!mutex) break;
            CloseHandle(mutex);
        }
        ForgetClockTrial();
        std::wstring line = L"\"" + folder + L"\\VexaPanel.exe\"";
        if (args && *args) {
            line += L" ";
            line += args;
        }
        std::vector<wchar_t> buffer(line.begin(), line.end());
        buffer.push_back(0);
        STARTUPINFOW startup;
        memset(&startup, 0, sizeof(startup));
        startup.cb = sizeof(startup);
        if (!CreateProcessW(NULL, buffer.data(), NULL, NULL, FALSE, 0, NULL, folder.c_str(), &startup, &process_)) {
            return false;
        }
        CloseHandle(process_.hThread);
        return true;
    }

    // The first top-level window of the class that belongs to the child.
    HWND FindOwn(const wchar_t* cls, const wchar_t* title = NULL) const {
        HWND window = NULL;
        while ((window = FindWindowExW(NULL, window, cls, title)) != NULL) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == process_.dwProcessId) {
                return window;
            }
        }
        return NULL;
    }

    HWND WaitForWindow(const wchar_t* cls, DWORD timeoutMs) {
        for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
            HWND window = FindOwn(cls);
            if (window && IsWindowVisible(window)) {
                return window;
            }
            if (Exited(0)) {
                return NULL;
            }
            Sleep(50);
        }
        return NULL;
    }

    // Waits for a message box of the program and returns its text.
    HWND WaitForBox(std::wstring* text, DWORD timeoutMs) {
        for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
            HWND box = FindOwn(L"#32770", L"Vexa Panel");
            wchar_t buffer[512];
            if (box && IsWindowVisible(box) && GetDlgItemTextW(box, 0xFFFF, buffer, 512) > 0) {
                *text = buffer;
                return box;
            }
            if (Exited(0)) {
                return NULL;
            }
            Sleep(50);
        }
        return NULL;
    }

    bool Exited(DWORD timeoutMs, DWORD* code = NULL) {
        if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
            return false;
        }
        if (code) {
            GetExitCodeProcess(process_.hProcess, code);
        }
        return true;
    }

    // Ends the message loop as the tray menu's Quit finally does.
    bool Quit(HWND mainWindow) {
        DWORD thread = GetWindowThreadProcessId(mainWindow, NULL);
        PostThreadMessageW(thread, WM_QUIT, 0, 0);
        return Exited(15000);
    }

private:
    PROCESS_INFORMATION process_;
};

}  // namespace

class StartupExe : public VcardTest {
protected:
    void Scenario(const char* name) {
        Reset(name);
        ASSERT_TRUE(VcardSetTimeMode(kVcardTimeRealtime));
        wchar_t wide[64];
        MultiByteToWideChar(CP_UTF8, 0, name, -1, wide, 64);
        SetEnvironmentVariableW(L"VEXA_VCARD", wide);
    }
};

TEST_F(StartupExe, ReachesTheMainWindowAndSetsUpTheChip) {
    Scenario("monitorchip");
    SetReg(0, 0x5C, 0x60, Reg(0, 0x5C, 0x60) | 0x02);
    SetReg(0, 0x5C, 0x64, 0);
    ASSERT_TRUE(VcardSetDieTemperature(0, 60, true));
    PanelProcess panel;
    ASSERT_TRUE(panel.Start(BinFolder(), L""));
    HWND main = panel.WaitForWindow(kMainClass, 60000);
    ASSERT_TRUE(main != NULL);
    EXPECT_TRUE(panel.FindOwn(kWaitClass) == NULL);  // the wait window made way
    EXPECT_EQ(0, Reg(0, 0x5C, 0x60) & 0x02);
    EXPECT_EQ(6, (int8_t)Reg(0, 0x5C, 0x64));  // the chip reads 6 below the die
    EXPECT_TRUE(panel.Quit(main));
}

TEST_F(StartupExe, Adt7473IsSetUp) {
    Scenario("adt7473");
    SetReg(0, 0x5C, 0x7B, 0);
    PanelProcess panel;
    ASSERT_TRUE(panel.Start(BinFolder(), L""));
    HWND main = panel.WaitForWindow(kMainClass, 60000);
    ASSERT_TRUE(main != NULL);
    EXPECT_EQ(0x55, Reg(0, 0x5C, 0x7B));
    EXPECT_TRUE(panel.Quit(main));
}

// Closing the wait window (Alt+F4, the close command) while the hardware
// still starts neither ends the wait early nor brings the main window before
// the start-up worker is done.
TEST_F(StartupExe, ClosingTheWaitWindowDoesNotSkipTheHardwareStart) {
    Scenario("sli");  // GPU 1's BIOS text comes from a backup, which takes its time
    ASSERT_TRUE(VcardSetFlashDurations(6000, 2500));
    PanelProcess panel;
    ASSERT_TRUE(panel.Start(BinFolder(), L""));
    HWND wait = panel.WaitForWindow(kWaitClass, 60000);
    ASSERT_TRUE(wait != NULL);
    PostMessageW(wait, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageW(wait, WM_CLOSE, 0, 0);
    Sleep(1500);
    EXPECT_TRUE(panel.FindOwn(kMainClass) == NULL) << "main window before the hardware was ready";
    EXPECT_TRUE(IsWindow(wait));
    HWND main = panel.WaitForWindow(kMainClass, 60000);
    ASSERT_TRUE(main != NULL);
    EXPECT_TRUE(panel.Quit(main));
}

TEST_F(StartupExe, HardwareFailuresShowTheirMessage) {
    struct Case {
        const char* scenario;
        const wchar_t* args;
        bool asksRunQuestion;
    } cases[] = {
        {"no-driver", L"", false},
        {"no-gpu", L"", false},
        {"no-driver", L"Normal", true},
        {"no-gpu", L"normal", true},
    };
    for (const Case& c : cases) {
        Scenario(c.scenario);
        PanelProcess panel;
        ASSERT_TRUE(panel.Start(BinFolder(), c.args));
        std::wstring text;
        HWND box = panel.WaitForBox(&text, 60000);
        ASSERT_TRUE(box != NULL) << c.scenario;
        EXPECT_EQ(LangText(0), text) << c.scenario;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        if (c.asksRunQuestion) {
            HWND question = NULL;
            for (int i = 0; i < 200 && !question; i++) {
                question = panel.WaitForBox(&text, 100);
                if (question && text == LangText(0)) {
                    question = NULL;  // the first box is still closing
                }
            }
            ASSERT_TRUE(question != NULL) << c.scenario;
            EXPECT_EQ(LangText(91), text);
            PostMessageW(question, WM_COMMAND, IDYES, 0);
        }
        DWORD code = 99;
        EXPECT_TRUE(panel.Exited(20000, &code)) << c.scenario;
        EXPECT_EQ(0u, code);
        EXPECT_TRUE(panel.FindOwn(kMainClass) == NULL);
    }
}

// Started at logon (a Run value's word but Normal), a GPU the driver does
// not list yet is waited for; a start by the user fails at once.
TEST_F(StartupExe, GpuLateAtLogonIsWaitedFor) {
    Scenario("monitorchip");
    ASSERT_TRUE(VcardShortenEnumeration(0, 3));
    PanelProcess waited;
    ASSERT_TRUE(waited.Start(BinFolder(), L"SysTray"));
    HWND main = NULL;  // in the tray: hidden
    for (DWORD start = GetTickCount(); !main && GetTickCount() - start < 30000 && !waited.Exited(0); Sleep(50))
        main = waited.FindOwn(kMainClass);
    ASSERT_TRUE(main != NULL) << "up once the GPU is listed";
    std::wstring text;
    EXPECT_TRUE(waited.WaitForBox(&text, 0) == NULL) << "no failure shown";
    EXPECT_TRUE(waited.Quit(main));

    Scenario("monitorchip");
    ASSERT_TRUE(VcardShortenEnumeration(0, 3));
    PanelProcess user;
    const DWORD started = GetTickCount();
    ASSERT_TRUE(user.Start(BinFolder(), L""));
    HWND box = user.WaitForBox(&text, 30000);
    ASSERT_TRUE(box != NULL);
    EXPECT_EQ(LangText(0), text);
    EXPECT_LT(GetTickCount() - started, 10000u) << "no wait for a user's start";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(user.Exited(20000));
}

TEST_F(StartupExe, MissingDriverLibrary) {
    Scenario("monitorchip");
    std::wstring folder = CopyFolderWithout(L"hw_exe_no_driver", {L"nvapi.dll"});
    PanelProcess panel;
    ASSERT_TRUE(panel.Start(folder, L""));
    std::wstring text;
    HWND box = panel.WaitForBox(&text, 60000);
    ASSERT_TRUE(box != NULL);
    EXPECT_EQ(LangText(0), text);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(panel.Exited(20000));
}

TEST_F(StartupExe, MissingDecoderOrDatabaseStillStarts) {
    const wchar_t* names[] = {L"inicd.dll", L"DMini"};
    for (const wchar_t* missing : names) {
        Scenario("monitorchip");
        std::wstring folder = CopyFolderWithout(L"hw_exe_no_database", {missing});
        PanelProcess panel;
        ASSERT_TRUE(panel.Start(folder, L""));
        HWND main = panel.WaitForWindow(kMainClass, 60000);
        EXPECT_TRUE(main != NULL);
        if (main) {
            EXPECT_TRUE(panel.Quit(main));
        }
    }
}

TEST_F(StartupExe, WindowsOlderThanXpIsRefused) {
    // Wine answers the version query with the one set for the program.
    HKEY key = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\VexaPanel.exe", 0, NULL,
                                             0, KEY_SET_VALUE, NULL, &key, NULL));
    const wchar_t version[] = L"win2k";
    RegSetValueExW(key, L"Version", 0, REG_SZ, (const BYTE*)version, sizeof(version));
    Scenario("monitorchip");
    PanelProcess panel;
    ASSERT_TRUE(panel.Start(BinFolder(), L""));
    std::wstring text;
    HWND box = panel.WaitForBox(&text, 60000);
    RegDeleteValueW(key, L"Version");
    RegCloseKey(key);
    ASSERT_TRUE(box != NULL);
    EXPECT_EQ(LangText(59), text);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(panel.Exited(20000));
}

TEST_F(StartupExe, WithoutThePhysicalMemoryLibraryTheBackupIsTaken) {
    Scenario("monitorchip");
    std::wstring folder = CopyFolderWithout(L"hw_exe_no_pmreader", {L"PMReader.dll"});
    std::wstring backup = folder + L"\\VPCurr.rom";
    DeleteFileW(backup.c_str());
    PanelProcess panel;
    ASSERT_TRUE(panel.Start(folder, L""));
    HWND main = panel.WaitForWindow(kMainClass, 60000);
    ASSERT_TRUE(main != NULL);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(backup.c_str()));
    EXPECT_TRUE(panel.Quit(main));
}

TEST_F(StartupExe, OnlyApplySettingsEndsWithoutAWindow) {
    Scenario("monitorchip");
    PanelProcess panel;
    ASSERT_TRUE(panel.Start(BinFolder(), L"OnlyApplySettings"));
    bool sawWindow = false;
    DWORD code = 99;
    for (int i = 0; i < 600 && !panel.Exited(50, &code); i++) {
        sawWindow = sawWindow || panel.FindOwn(kMainClass) || panel.FindOwn(kWaitClass);
    }
    EXPECT_TRUE(panel.Exited(0));
    EXPECT_EQ(0u, code);
    EXPECT_FALSE(sawWindow);
}
