#include "PanelProcess.h"

#include <vector>

#include "ClockTrialRecord.h"

namespace {

struct WindowSearch {
    DWORD pid;
    const wchar_t* className;
    HWND found;
    int count;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param) {
    WindowSearch* s = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid) return TRUE;
    s->count++;
    if (!s->className) return TRUE;
    wchar_t name[128] = {};
    GetClassNameW(hwnd, name, 128);
    if (lstrcmpW(name, s->className) == 0) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK LongestStatic(HWND child, LPARAM param) {
    std::wstring* best = reinterpret_cast<std::wstring*>(param);
    wchar_t name[32] = {};
    GetClassNameW(child, name, 32);
    if (lstrcmpiW(name, L"Static") != 0) return TRUE;
    int n = GetWindowTextLengthW(child);
    if (n <= static_cast<int>(best->size())) return TRUE;
    std::vector<wchar_t> text(n + 1);
    GetWindowTextW(child, text.data(), n + 1);
    *best = text.data();
    return TRUE;
}

std::wstring TestStateFile() {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + L"vexa-startup-tests.state";
}

}  // namespace

PanelProcess::~PanelProcess() {
    Kill();
}

// A program of an earlier test still ending holds the single-instance
// mutex; a new start would then only bring that one to the front.
void WaitForNoOtherInstance() {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(50)) {
        HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"Global\\DM_App_Mutex");
        if (!mutex) return;
        CloseHandle(mutex);
    }
}

bool PanelProcess::Start(const std::wstring& commandLine, const wchar_t* scenario, const wchar_t* program) {
    WaitForNoOtherInstance();
    if (!keepClockTrial) ForgetClockTrial();
    SetEnvironmentVariableW(L"VEXA_VCARD", scenario);
    SetEnvironmentVariableW(L"VEXA_VCARD_STATE", TestStateFile().c_str());
    // Quoted, as the shell starts a program: the folder may hold blanks.
    std::wstring line = L"\"" + std::wstring(program) + L"\"";
    if (!commandLine.empty()) line += L" " + commandLine;
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(0);
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    return CreateProcessW(program, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info_) != 0;
}

bool PanelProcess::Running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool PanelProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
    if (!info_.hProcess) return false;
    DWORD start = GetTickCount();
    while (WaitForSingleObject(info_.hProcess, 20) == WAIT_TIMEOUT) {
        PumpFor(0);
        if (GetTickCount() - start > timeoutMs) return false;
    }
    GetExitCodeProcess(info_.hProcess, exitCode);
    return true;
}

void PanelProcess::Kill() {
    if (!info_.hProcess) return;
    if (Running()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
    info_ = PROCESS_INFORMATION();
}

HWND PanelProcess::FindWindowOfClass(const wchar_t* className) const {
    WindowSearch s = {info_.dwProcessId, className, nullptr, 0};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

int PanelProcess::CountWindows() const {
    WindowSearch s = {info_.dwProcessId, nullptr, nullptr, 0};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
    return s.count;
}

HWND PanelProcess::WaitForWindow(const wchar_t* className, DWORD timeoutMs) const {
    DWORD start = GetTickCount();
    for (;;) {
        HWND hwnd = FindWindowOfClass(className);
        if (hwnd) return hwnd;
        if (GetTickCount() - start > timeoutMs || !Running()) return nullptr;
        PumpFor(50);
    }
}

std::wstring MessageBoxText(HWND box) {
    std::wstring text;
    EnumChildWindows(box, LongestStatic, reinterpret_cast<LPARAM>(&text));
    return text;
}

void AnswerMessageBox(HWND box, int buttonId) {
    HWND button = GetDlgItem(box, buttonId);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (ms) Sleep(10);
    } while (GetTickCount() - start < ms);
}
