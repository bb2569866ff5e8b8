// shipping_smoke PANEL_FOLDER STATE_FILE [SECONDS]
//
// Starts the shipping VexaPanel.exe on the virtual card and watches it from
// outside, as a user at the screen would: it must reach its skinned main
// window and leave its chip set-up on the card. This program is built in the
// tree the machine runs natively, so that under emulation only the program
// under test is slow.
//
// STATE_FILE must be an absolute path: the card state is found by its path
// from the folder of each module, and the panel's driver sits elsewhere.

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "vcard/VirtualCardControl.h"

namespace {

const wchar_t kMainClass[] = L"VexaPanelMainWnd_Cls";
const int kChipAddress = 0x5C;

struct Run {
    const char* scenario;
    int reg;
    // Leaves the register as start-up must not find it; false when the card
    // does not keep the value (then the check would prove nothing).
    bool (*prepare)(int reg);
    bool (*marked)(uint8_t value);
    const char* mark;
};

bool Read(int reg, uint8_t* value) {
    return VcardReadRegister(0, kChipAddress, reg, value);
}

bool SetFullSpeedBit(int reg) {
    uint8_t value = 0;
    return Read(reg, &value) && VcardWriteRegister(0, kChipAddress, reg, value | 0x02) && Read(reg, &value) &&
           (value & 0x02) != 0;
}

bool FullSpeedBitClear(uint8_t value) {
    return (value & 0x02) == 0;
}

bool ClearPulsesPerTurn(int reg) {
    uint8_t value = 0xFF;
    return VcardWriteRegister(0, kChipAddress, reg, 0) && Read(reg, &value) && value == 0;
}

// Two pulses per turn on all four tachometer inputs.
bool TwoPulsesPerTurn(uint8_t value) {
    return value == 0x55;
}

const Run kRuns[] = {
    {"monitorchip", 0x60, SetFullSpeedBit, FullSpeedBitClear, "bit 1 clear"},
    {"adt7473", 0x7B, ClearPulsesPerTurn, TwoPulsesPerTurn, "0x55"},
};

struct Search {
    DWORD pid;
    HWND found;
    HWND box;  // a visible message box: start-up gave up
};

BOOL CALLBACK MatchWindows(HWND window, LPARAM param) {
    Search* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t name[64] = {};
    if (pid != s->pid || !GetClassNameW(window, name, 64)) return TRUE;
    if (lstrcmpW(name, kMainClass) == 0) s->found = window;
    if (lstrcmpW(name, L"#32770") == 0 && IsWindowVisible(window)) s->box = window;
    return TRUE;
}

// The main window's region kind (SIMPLEREGION, COMPLEXREGION), or ERROR
// when it has none.
int RegionKind(HWND window) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    int kind = GetWindowRgn(window, region);
    DeleteObject(region);
    return kind;
}

double Seconds(DWORD since) {
    return (GetTickCount() - since) / 1000.0;
}

bool Fail(const char* scenario, const char* what) {
    printf("shipping smoke: %s: FAILED: %s\n", scenario, what);
    fflush(stdout);
    return false;
}

// Under WOW64 there is no port I/O, so start-up must take the BIOS from the
// flash tool's backup; on a 32-bit Windows it reads physical memory.
bool CheckBiosPath(const char* scenario, HANDLE panel, const std::wstring& backup, const char** path) {
    typedef BOOL(WINAPI * IsWow64ProcessFn)(HANDLE, BOOL*);
    IsWow64ProcessFn isWow64Process = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    if (isWow64Process && !isWow64Process(panel, &wow64)) return Fail(scenario, "IsWow64Process fails");
    VcardCounters counters = {};
    if (!VcardGetCounters(&counters)) return Fail(scenario, VcardLastError());
    const bool backedUp = GetFileAttributesW(backup.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (wow64) {
        *path = "from the flash tool's backup (WOW64)";
        if (counters.physReads != 0) return Fail(scenario, "physical memory was read under WOW64");
        if (!backedUp) return Fail(scenario, "under WOW64 no VPCurr.rom backup was made");
    } else {
        *path = "from physical memory";
        if (counters.physReads == 0) return Fail(scenario, "the BIOS was not read from physical memory");
    }
    return true;
}

bool Check(const Run& run, const std::wstring& folder, DWORD timeoutMs) {
    wchar_t wide[32];
    MultiByteToWideChar(CP_UTF8, 0, run.scenario, -1, wide, 32);
    // The panel's driver must carry on with this card, not power up another.
    SetEnvironmentVariableW(L"VEXA_VCARD", wide);
    if (!VcardReset(run.scenario) || !VcardSetTimeMode(kVcardTimeRealtime)) {
        return Fail(run.scenario, VcardLastError());
    }
    if (!run.prepare(run.reg)) return Fail(run.scenario, "the card does not keep the register set before the start");
    const std::wstring backup = folder + L"\\VPCurr.rom";
    DeleteFileW(backup.c_str());
    VcardResetCounters();

    std::wstring line = L"\"" + folder + L"\\VexaPanel.exe\"";
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    DWORD start = GetTickCount();
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process)) {
        return Fail(run.scenario, "VexaPanel.exe does not start");
    }
    CloseHandle(process.hThread);

    bool ok = true;
    Search search = {process.dwProcessId, nullptr, nullptr};
    int region = ERROR;
    for (;;) {
        search.found = nullptr;
        EnumWindows(MatchWindows, reinterpret_cast<LPARAM>(&search));
        if (search.found && IsWindowVisible(search.found)) {
            region = RegionKind(search.found);
            if (region == SIMPLEREGION || region == COMPLEXREGION) break;
        }
        if (search.box || WaitForSingleObject(process.hProcess, 200) == WAIT_OBJECT_0 ||
            GetTickCount() - start > timeoutMs) {
            break;
        }
    }
    double shown = Seconds(start);
    if (search.box) {
        wchar_t text[256] = {};
        GetDlgItemTextW(search.box, 0xFFFF, text, 256);
        char message[400];
        snprintf(message, sizeof(message), "a message box instead of the main window: \"%ls\"", text);
        ok = Fail(run.scenario, message);
        search.found = nullptr;
    } else if (!search.found || !IsWindowVisible(search.found)) {
        char message[120];
        DWORD code = 0;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0 && GetExitCodeProcess(process.hProcess, &code)) {
            snprintf(message, sizeof(message), "ended with code %lu before its main window showed", code);
        } else {
            snprintf(message, sizeof(message), "no visible main window after %.0f s", shown);
        }
        ok = Fail(run.scenario, message);
    } else if (region != SIMPLEREGION && region != COMPLEXREGION) {
        ok = Fail(run.scenario, "the main window has no window region (not skinned)");
    }

    if (ok) {
        // The main window only comes after the start-up worker finished.
        uint8_t value = 0;
        char text[120];
        if (!Read(run.reg, &value)) {
            ok = Fail(run.scenario, VcardLastError());
        } else if (!run.marked(value)) {
            snprintf(text, sizeof(text), "chip register 0x%02X is 0x%02X, start-up should leave %s", run.reg, value,
                     run.mark);
            ok = Fail(run.scenario, text);
        }
    }
    const char* biosPath = "";
    if (ok) ok = CheckBiosPath(run.scenario, process.hProcess, backup, &biosPath);

    if (search.found) {
        // What the tray menu's Quit finally does.
        PostThreadMessageW(GetWindowThreadProcessId(search.found, nullptr), WM_QUIT, 0, 0);
        if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
            ok = Fail(run.scenario, "the program did not end after WM_QUIT");
        }
    }
    if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 10000);
    }
    CloseHandle(process.hProcess);
    if (ok) {
        printf("shipping smoke: %s: main window after %.1f s, chip register 0x%02X %s, BIOS %s\n", run.scenario, shown,
               run.reg, run.mark, biosPath);
        fflush(stdout);
    }
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        printf("usage: shipping_smoke PANEL_FOLDER STATE_FILE [SECONDS]\n");
        return 2;
    }
    DWORD timeoutMs = (argc > 3 ? _wtoi(argv[3]) : 120) * 1000;
    if (!VcardUseState(argv[2])) {
        printf("shipping smoke: cannot use the card state %ls: %s\n", argv[2], VcardLastError());
        return 2;
    }
    bool ok = true;
    for (const Run& run : kRuns) {
        ok = Check(run, argv[1], timeoutMs) && ok;
    }
    return ok ? 0 : 1;
}
