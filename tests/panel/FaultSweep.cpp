// Every driver call and every I2C transaction of the panel's operations is
// failed in turn, through the built program on the virtual card. After each
// fault the program must be alive and answering within 3 s, the settings
// file must be whole (the old one or the new one, never a mix), and its
// readings must move again once the fault is gone.
//
// VEXA_SWEEP_POINTS=N fails about N points of each operation and kind,
// spread evenly from its first point to its end; without it every point is
// failed, which takes many minutes. Each operation prints how many points it
// swept and how many held.

#include <stdio.h>
#include <stdlib.h>

#include <functional>
#include <string>

#include "LanguageState.h"
#include "PanelExeFixture.h"
#include "FileBytes.h"

namespace {

const wchar_t kSettingsFile[] = L"DM_CurrSettings.txt";
const int kTextTestWarning = 71;
const DWORD kAnswerMs = 3000;
const DWORD kProcessCrashed = 0xC0000000;  // NTSTATUS errors and above

// A settings file the program never writes itself: after a failed save the
// file must still hold exactly this.
const wchar_t kOldSettings[] =
    L"\xFEFF[Group0]\r\nGPU_Id=0611\r\nFanWorkMode=1\r\nFanManualSpeed=2000\r\nGpu2DClock=300000\r\n"
    L"Gpu3DClock=600000\r\nShader2DClock=700000\r\nShader3DClock=1400000\r\nMemoryClock=900000\r\n";

std::string OldSettingsBytes() {
    return std::string(reinterpret_cast<const char*>(kOldSettings), wcslen(kOldSettings) * sizeof(wchar_t));
}

void WriteOldSettings() {
    FILE* f = _wfopen(kSettingsFile, L"wb");
    if (!f) return;
    fwrite(kOldSettings, sizeof(wchar_t), wcslen(kOldSettings), f);
    fclose(f);
}

// The distance between the failed points of an operation with this many:
// a fixed stride would sweep only the first point of the short operations.
int StrideFor(int points) {
    char text[16] = {};
    if (!GetEnvironmentVariableA("VEXA_SWEEP_POINTS", text, sizeof(text))) return 1;
    const int budget = atoi(text);
    if (budget <= 0 || points <= budget) return 1;
    return (points + budget - 1) / budget;
}

bool Answers(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &result) != 0;
}

struct Tally {
    int swept = 0;
    int held = 0;
    int fired = 0;   // points whose fault was reached at all
    int widest = 1;  // the largest stride of the operation's kinds
    int ended = 0;   // whole runs that ended by themselves instead of showing the panel
};

}  // namespace

class FaultSweep : public PanelExe {
protected:
    void SetUp() override {
        WriteOldSettings();
        oldFile_ = OldSettingsBytes();
        newFile_ = oldFile_;
    }

    // Answers every message box the program shows until none has come for
    // quietMs: whatever the fault made it say, OK ends it.
    void DismissBoxes(DWORD quietMs) {
        for (DWORD last = GetTickCount(); GetTickCount() - last < quietMs; Sleep(50)) {
            HWND box = panel_.FindWindowOfClass(L"#32770");
            if (!box || !IsWindowVisible(box)) continue;
            AnswerMessageBox(box, IDOK);
            for (DWORD start = GetTickCount(); IsWindow(box) && GetTickCount() - start < 2000;)
                Sleep(20);
            last = GetTickCount();
        }
    }

    // The checks after one fault; why names the first that failed.
    bool Holds(HWND main, std::string* why) {
        if (!panel_.Running()) return *why = "the program ended", false;
        if (!Answers(main)) return *why = "the main window did not answer within 3 s", false;
        std::string now = ReadFileBytes(kSettingsFile);
        if (now != oldFile_ && now != newFile_) return *why = "the settings file is neither the old nor the new", false;
        VcardClearFaults();
        // A held die temperature far from the last one: the display must
        // follow it once the card answers again.
        HWND display = Control(main, kTemperatureDisplay);
        std::wstring before = DisplayText(display);
        hot_ = !hot_;
        VcardSetDieTemperature(0, hot_ ? 80.0 : 40.0, true);
        for (DWORD start = GetTickCount(); GetTickCount() - start < 4000; Sleep(50)) {
            std::wstring shown = DisplayText(display);
            if (!shown.empty() && shown != before) return true;
        }
        return *why = "the readings did not move after the fault was cleared", false;
    }

    // Runs the operation once without a fault and counts the calls and
    // transactions it makes (the monitor thread's, made meanwhile, too).
    static void Measure(const std::function<void()>& operation, int* calls, int* transactions) {
        VcardResetCounters();
        operation();
        VcardCounters c = {};
        VcardGetCounters(&c);
        *calls = (int)c.driverCalls;
        *transactions = (int)c.i2cTransactions;
    }

    // Fails each point of the operation in turn on the running panel.
    Tally SweepRunning(const char* name, HWND main, const std::function<void()>& operation,
                       const std::function<void()>& prepare = nullptr) {
        if (prepare) prepare();
        int calls = 0, transactions = 0;
        Measure(operation, &calls, &transactions);
        DismissBoxes(500);
        Tally tally;
        for (int kind = kVcardNthDriverCall; kind <= kVcardNthI2c; kind++) {
            const int points = kind == kVcardNthDriverCall ? calls : transactions;
            const int stride = StrideFor(points);
            if (stride > tally.widest) tally.widest = stride;
            for (int n = 1; n <= points; n += stride) {
                if (prepare) prepare();
                VcardFailNth((VcardCountedFault)kind, n);
                operation();
                tally.fired += !VcardNthPending((VcardCountedFault)kind);
                VcardFailNth((VcardCountedFault)kind, 0);
                DismissBoxes(600);
                tally.swept++;
                std::string why;
                if (Holds(main, &why)) {
                    tally.held++;
                } else {
                    ADD_FAILURE() << name << ": " << (kind == kVcardNthDriverCall ? "driver call " : "I2C transaction ")
                                  << n << " failed: " << why;
                    if (!panel_.Running()) return tally;
                }
            }
        }
        Report(name, tally);
        return tally;
    }

    // Fails each point of a whole program run: a start that shows the panel
    // (the saved settings applied while it is built), or the apply-only
    // start. The program may also end after telling the user, never crash
    // or hang.
    Tally SweepRuns(const char* name, const char* scenario, const wchar_t* commandLine) {
        const bool panelExpected = commandLine[0] == 0;
        int calls = 0, transactions = 0;
        Measure([&] { RunOnce(scenario, commandLine, panelExpected, nullptr); }, &calls, &transactions);
        Tally tally;
        for (int kind = kVcardNthDriverCall; kind <= kVcardNthI2c; kind++) {
            const int points = kind == kVcardNthDriverCall ? calls : transactions;
            const int stride = StrideFor(points);
            if (stride > tally.widest) tally.widest = stride;
            for (int n = 1; n <= points; n += stride) {
                tally.swept++;
                std::string why;
                if (RunOnce(
                        scenario, commandLine, panelExpected, [&] { VcardFailNth((VcardCountedFault)kind, n); },
                        &why)) {
                    tally.held++;
                    tally.ended += endedByItself_;
                } else {
                    ADD_FAILURE() << name << ": " << (kind == kVcardNthDriverCall ? "driver call " : "I2C transaction ")
                                  << n << " failed: " << why;
                }
                tally.fired += !VcardNthPending((VcardCountedFault)kind);
                VcardClearFaults();
            }
        }
        Report(name, tally);
        return tally;
    }

    bool RunOnce(const char* scenario, const wchar_t* commandLine, bool panelExpected, const std::function<void()>& arm,
                 std::string* why = nullptr) {
        std::string ignored;
        if (!why) why = &ignored;
        endedByItself_ = false;
        panel_.Kill();
        WriteOldSettings();
        VcardReset(scenario);
        VcardSetTimeMode(kVcardTimeRealtime);
        SetEnvironmentVariableW(L"VEXA_TEST_PRIVILEGE", L"2");
        // Each apply-only start waits for its clocks to hold: shortened, or
        // the sweep would take hours.
        SetEnvironmentVariableW(L"VEXA_TEST_CLOCK_HOLD_MS", L"300");
        WaitForNoOtherInstance();
        if (arm) arm();
        if (!panel_.Start(commandLine, Wide(scenario).c_str(), L"VexaPanelForTests.exe"))
            return *why = "the program did not start", false;
        DWORD code = 0;
        for (DWORD start = GetTickCount(); GetTickCount() - start < 30000; Sleep(50)) {
            if (panelExpected) {
                HWND main = panel_.FindWindowOfClass(kMainClass);
                if (main && IsWindowVisible(main)) {
                    std::vector<HWND> shown = ControlsWithId(main, kTemperatureDisplay);
                    if (shown.empty()) continue;
                    DismissBoxes(300);
                    bool held = Holds(main, why);
                    panel_.Kill();
                    return held;
                }
            }
            HWND box = panel_.FindWindowOfClass(L"#32770");
            if (box && IsWindowVisible(box)) DismissBoxes(300);
            if (panel_.WaitForExit(0, &code)) {
                if (code >= kProcessCrashed) return *why = "the program crashed", false;
                if (ReadFileBytes(kSettingsFile) != oldFile_) return *why = "the settings file changed", false;
                endedByItself_ = true;
                return true;
            }
        }
        panel_.Kill();
        return *why = "no panel and no end within 30 s", false;
    }

    static void Report(const char* name, const Tally& tally) {
        printf(
            "[ sweep    ] %-19s %4d points swept, %4d held (%d of them ended by themselves), %4d reached the "
            "fault (every %d%s)\n",
            name, tally.swept, tally.held, tally.ended, tally.fired, tally.widest, tally.widest == 1 ? "" : " at most");
        fflush(stdout);
    }

    std::string oldFile_;
    std::string newFile_;
    bool hot_ = false;
    bool endedByItself_ = false;
};

TEST_F(FaultSweep, RunningPanelOperations) {
    SavingOn saving;
    HWND main = Start("monitorchip");
    ASSERT_TRUE(main != NULL);
    Tally total;
    auto add = [&](const Tally& t) {
        total.swept += t.swept;
        total.held += t.held;
    };

    add(SweepRunning("monitor cycle", main, [] { Sleep(700); }));
    ASSERT_TRUE(panel_.Running());

    bool manual = false;
    add(SweepRunning("fan mode change", main, [&] {
        manual = !manual;
        Click(main, manual ? kManualBox : kAutoBox);
        Sleep(300);
    }));
    ASSERT_TRUE(panel_.Running());

    // Walks alternate up and down so the clocks stay near where they began.
    bool up = false;
    auto walk = [&] {
        up = !up;
        Click(main, up ? kGpuUp : kGpuDown, 3);
        Click(main, kTestButton);
        for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(50)) {
            HWND box = panel_.FindWindowOfClass(L"#32770");
            if (box && MessageBoxText(box) == LangText(kTextTestWarning)) {
                AnswerMessageBox(box, IDYES);
                break;
            }
        }
        Sleep(200);
        DismissBoxes(800);
    };
    add(SweepRunning("Test walk", main, walk));
    ASSERT_TRUE(panel_.Running());

    add(SweepRunning(
        "Apply", main,
        [&] {
            Click(main, kApplyButton);
            Sleep(200);
        },
        [&] {
            VcardClearFaults();
            walk();
        }));
    ASSERT_TRUE(panel_.Running());

    // Closing hides the panel to the tray and saves; the clean run's file is
    // the new one.
    auto save = [&] {
        PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        for (DWORD start = GetTickCount(); IsWindowVisible(main) && GetTickCount() - start < 2000;)
            Sleep(25);
        Sleep(200);
        PostMessageW(main, kTrayNotify, 0, WM_LBUTTONDOWN);
        for (DWORD start = GetTickCount(); !IsWindowVisible(main) && GetTickCount() - start < 2000;)
            Sleep(25);
    };
    save();
    newFile_ = ReadFileBytes(kSettingsFile);
    ASSERT_NE(oldFile_, newFile_) << "a save without a fault writes the panel's settings";
    add(SweepRunning("settings save", main, save, WriteOldSettings));

    EXPECT_EQ(total.swept, total.held);
}

TEST_F(FaultSweep, StartAndSavedSettingsLoad) {
    SavingOn saving;
    // The ADT7473's tachometer test, and two cards with the second's BIOS
    // backed up through the flash tool.
    Tally start = SweepRuns("start-up", "adt7473", L"");
    Tally twoCards = SweepRuns("start-up, two cards", "sli", L"");
    Tally load = SweepRuns("apply-only start", "monitorchip", L"OnlyApplySettings");
    EXPECT_EQ(start.swept, start.held);
    EXPECT_EQ(twoCards.swept, twoCards.held);
    EXPECT_EQ(load.swept, load.held);
}
