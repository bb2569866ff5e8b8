// Benchmark, not a timed test: how long the built program takes from its
// start to its main window, against a bare window-and-tray program built
// the same way, with the same manifest, started in the same run; and the
// private bytes each holds once up. Medians of several starts per card.
//
// The hardware waits are taken from the panel's own run: from its wait
// window to its main window the program waits for the hardware start and
// its worker (the BIOS text, the tachometer test, the BIOS backup through
// the flash tool). The rest is the program's own start.
//
// Then where a BIOS backup's time goes: the flash tool's start and end, the
// image read (the virtual card's, modelled on a real tool's), and the fixed
// wait before the tool's window is looked for.
//
//   startup_benchmark [starts]     (7 unless given)
//
// Goals: the panel's own start at most 1.3 x the bare program's; its
// private bytes at most 8 MB. Exit 0 always when it could measure: the
// figures are for a person to read, on a machine whose speed nobody
// controls.

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "NvFlash.h"
#include "PanelProcess.h"
#include "PrivateMemory.h"
#include "vcard/VirtualCardControl.h"

namespace {

const wchar_t kMainClass[] = L"VexaPanelMainWnd_Cls";
const wchar_t kWaitClass[] = L"WaitWndCls___";
const wchar_t kBareClass[] = L"VexaBareTrayWindow";
const DWORD kWindowTimeoutMs = 60000;
const double kStartGoalFactor = 1.3;
const double kPrivateGoalBytes = 8.0 * 1024 * 1024;
const double kMegabyte = 1024.0 * 1024.0;

double NowMs() {
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

double Median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Another process's private memory; -1 bytes when it cannot be opened.
PrivateMemory MemoryOf(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return PrivateMemory();
    const PrivateMemory memory = CountPrivateMemory(process);
    CloseHandle(process);
    return memory;
}

// The moments a start reached, in ms after the process was made; -1 when
// it never did.
struct StartTimes {
    double waitWindow = -1;  // the wait window on the screen
    double mainWindow = -1;  // the main window made, still 1 x 1
    double shown = -1;       // the main window at its size on the screen
    double built = -1;       // the main window answering again after its build
};

struct WindowSearch {
    DWORD pid;
    const wchar_t* mainClass;
    bool waitShown, mainMade, mainShown;
    HWND main;
};

BOOL CALLBACK Look(HWND window, LPARAM param) {
    WindowSearch* s = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != s->pid) return TRUE;
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    RECT place = {};
    GetWindowRect(window, &place);
    if (lstrcmpW(name, kWaitClass) == 0 && IsWindowVisible(window)) s->waitShown = true;
    if (lstrcmpW(name, s->mainClass) == 0) {
        s->mainMade = true;
        // The panel's window is made 1 x 1 and takes its size from the skin.
        if (IsWindowVisible(window) && place.right - place.left > 1) {
            s->mainShown = true;
            s->main = window;
        }
    }
    return TRUE;
}

// Watches the process until its main window shows, then *memory once it
// has been up for a second.
StartTimes Watch(HANDLE process, DWORD pid, const wchar_t* mainClass, double startedAt, PrivateMemory* memory) {
    StartTimes times;
    while (NowMs() - startedAt < kWindowTimeoutMs) {
        WindowSearch s = {pid, mainClass, false, false, false, NULL};
        EnumWindows(Look, reinterpret_cast<LPARAM>(&s));
        const double now = NowMs() - startedAt;
        if (s.waitShown && times.waitWindow < 0) times.waitWindow = now;
        if (s.mainMade && times.mainWindow < 0) times.mainWindow = now;
        if (s.mainShown) {
            times.shown = now;
            // The size comes first in the build, the controls after it: the
            // window answers a message once the build has returned.
            DWORD_PTR ignored = 0;
            if (SendMessageTimeoutW(s.main, WM_NULL, 0, 0, SMTO_NORMAL, kWindowTimeoutMs, &ignored))
                times.built = NowMs() - startedAt;
            break;
        }
        // Each look is a round of wineserver calls, which the starting
        // process needs too: a few milliseconds apart, not back to back.
        if (WaitForSingleObject(process, 4) != WAIT_TIMEOUT) break;
    }
    Sleep(1000);
    *memory = MemoryOf(pid);
    return times;
}

bool StartBare(double* ms, PrivateMemory* memory) {
    wchar_t line[] = L"bare_tray_window.exe";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION info = {};
    double startedAt = NowMs();
    if (!CreateProcessW(line, line, NULL, NULL, FALSE, 0, NULL, NULL, &si, &info)) return false;
    *ms = Watch(info.hProcess, info.dwProcessId, kBareClass, startedAt, memory).shown;
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 5000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return *ms >= 0;
}

struct PanelStart {
    double total;   // to the main window on the screen
    double built;   // to the end of the panel's build
    double before;  // to the wait window
    double waits;   // from the wait window to the main window's making
};

bool StartPanel(const wchar_t* scenario, PanelStart* start, PrivateMemory* memory) {
    PanelProcess panel;
    WaitForNoOtherInstance();
    double startedAt = NowMs();
    if (!panel.Start(L"", scenario, L"VexaPanelForTests.exe")) return false;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, panel.Id());
    const StartTimes times = Watch(process, panel.Id(), kMainClass, startedAt, memory);
    CloseHandle(process);
    panel.Kill();
    if (times.shown < 0 || times.waitWindow < 0 || times.mainWindow < times.waitWindow) return false;
    start->total = times.shown;
    start->built = times.built;
    start->before = times.waitWindow;
    start->waits = times.mainWindow - times.waitWindow;
    return true;
}

void MeasureStarts(int starts, bool* measured) {
    const char* scenarios[] = {"monitorchip", "adt7473", "sli"};
    printf("Start to main window, medians of %d starts (ms); bare = a window and a tray icon, nothing else.\n", starts);
    printf("waits = from the panel's wait window to its main window: the hardware start and its worker;\n");
    printf("own = panel - waits: up to the wait window (before), and from the main window's making to its\n");
    printf("showing at its size (after); build = from then to the end of the build that makes the controls,\n");
    printf("after the start figure and without a goal of its own\n");
    printf("%-12s %5s %6s %6s %5s %5s %5s %6s %6s %5s | %7s %8s %6s %6s\n", "scenario", "bare", "panel", "waits", "own",
           "befor", "after", "goal<=", "ratio", "build", "bare MB", "panel MB", "stacks", "goal<=");
    for (const char* name : scenarios) {
        wchar_t scenario[32];
        MultiByteToWideChar(CP_ACP, 0, name, -1, scenario, 32);
        std::vector<double> bare, own, total, waits, before, build, barePrivate, panelPrivate, panelStacks;
        // One start of each first, unmeasured: the first start after the
        // card's reset, or of a program, pays for files no later one reads.
        for (int i = -1; i < starts; i++) {
            double ms = 0;
            PanelStart start;
            PrivateMemory memory;
            if (StartBare(&ms, &memory) && i >= 0) {
                bare.push_back(ms);
                barePrivate.push_back(memory.bytes);
            }
            VcardReset(name);
            VcardSetTimeMode(kVcardTimeRealtime);
            if (StartPanel(scenario, &start, &memory) && i >= 0) {
                total.push_back(start.total);
                waits.push_back(start.waits);
                before.push_back(start.before);
                if (start.built >= 0) build.push_back(start.built - start.total);
                own.push_back(start.total - start.waits);
                panelPrivate.push_back(memory.bytes);
                panelStacks.push_back(memory.stackBytes);
            }
        }
        const double b = Median(bare), o = Median(own), ahead = Median(before);
        if (b <= 0 || o < 0) {
            printf("%-12s could not be measured\n", name);
            *measured = false;
            continue;
        }
        const double goal = kStartGoalFactor * b;
        const double panelBytes = Median(panelPrivate);
        printf(
            "%-12s %5.0f %6.0f %6.0f %5.0f %5.0f %5.0f %6.0f %5.2fx %5.0f | %7.2f %8.2f %6.2f %6.0f  start %s, memory "
            "%s\n",
            name, b, Median(total), Median(waits), o, ahead, o - ahead, goal, o / b, Median(build),
            Median(barePrivate) / kMegabyte, panelBytes / kMegabyte, Median(panelStacks) / kMegabyte,
            kPrivateGoalBytes / kMegabyte, o <= goal ? "holds" : "MISSES",
            panelBytes <= kPrivateGoalBytes ? "holds" : "MISSES");
    }
    printf("ratio = own / bare, goal at most %.1fx; private bytes goal at most %.0f MB; stacks = the thread\n",
           kStartGoalFactor, kPrivateGoalBytes / kMegabyte);
    printf("stacks among them, which Wine commits whole\n");
}

double BackupMs() {
    uint8_t text[600];
    bool read = false;
    const double startedAt = NowMs();
    const DWORD code = BackupImage(0, text, &read);
    return code == kNvflashDone && read ? NowMs() - startedAt : -1;
}

// A run of the tool that does nothing but list the cards: its start and end.
double ToolStartAndEndMs() {
    wchar_t line[] = L"NVFLASH --list";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info = {};
    const double startedAt = NowMs();
    if (!CreateProcessW(NULL, line, NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, NULL, &si, &info)) return -1;
    WaitForSingleObject(info.hProcess, kWindowTimeoutMs);
    const double ms = NowMs() - startedAt;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return ms;
}

void MeasureBackup(int starts, bool* measured) {
    // The card model's times, as a reset leaves them.
    const uint32_t kModelledReadMs = 1200;
    const uint32_t kModelledUpdateMs = 2500;
    std::vector<double> full, instant, tool;
    for (int i = 0; i < starts; i++) {
        VcardReset("monitorchip");
        VcardSetTimeMode(kVcardTimeRealtime);
        VcardSetFlashDurations(kModelledReadMs, kModelledUpdateMs);
        full.push_back(BackupMs());
        VcardSetFlashDurations(0, kModelledUpdateMs);
        instant.push_back(BackupMs());
        tool.push_back(ToolStartAndEndMs());
    }
    const double f = Median(full), n = Median(instant), t = Median(tool);
    if (f < 0 || n < 0 || t < 0) {
        printf("BIOS backup: could not be measured\n");
        *measured = false;
        return;
    }
    printf("\nBIOS backup through the flash tool, medians of %d (ms), as the start runs it where the BIOS\n", starts);
    printf("cannot be read from memory (a 32-bit program on 64-bit Windows):\n");
    printf("  backup %6.0f; with an instant tool %.0f: the fixed %lu ms wait before the tool's window is looked\n", f,
           n, (unsigned long)kBackupWindowWaitMs);
    printf("                for (the tool alone starts and ends in %.0f, within it), then the key presses until it\n",
           t);
    printf("                ends; the card model's %u ms image read, as a real tool's, adds %.0f beyond the wait\n",
           kModelledReadMs, f - n);
    printf("  (no goal: these figures explain the hardware waits above)\n");
}

}  // namespace

int main(int argc, char** argv) {
    int starts = argc > 1 ? atoi(argv[1]) : 7;
    if (starts < 1) starts = 1;
    SetEnvironmentVariableW(L"VEXA_TEST_PRIVILEGE", L"2");
    wchar_t state[MAX_PATH];
    GetTempPathW(MAX_PATH, state);
    lstrcatW(state, L"vexa-startup-tests.state");
    if (!VcardUseState(state)) {
        printf("cannot open the virtual card state\n");
        return 2;
    }
    bool measured = true;
    MeasureStarts(starts, &measured);
    MeasureBackup(starts, &measured);
    return measured ? 0 : 1;
}
