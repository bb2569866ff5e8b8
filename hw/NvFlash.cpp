#include "NvFlash.h"

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "HandleHolders.h"
#include "Kernel32Function.h"
#include "WindowUtils.h"
#include "ProgramFile.h"

namespace {

typedef HWND(WINAPI* GetConsoleWindowFn)();

const WPARAM kConfirmKey = 0x59;  // 'Y'
// The key presses are paced instead of flooding nvflash's message queue
// while it works; the wait also ends at once when nvflash exits.
const DWORD kConfirmIntervalMs = 50;
const wchar_t kBackupFileName[] = L"VPCurr.rom";

// How long past the first wait a slow-starting nvflash may take to show its
// window; under load its start can take longer than the fixed wait.
const DWORD kWindowSearchMs = 5000;
const DWORD kWindowSearchStepMs = 50;
const DWORD kKilledToolExitWaitMs = 10000;
const size_t kShortPathChars = 512;

// nvflash's own top-level window, else the console it shares with us; null
// when the tool ended first or shows neither in time.
HWND FindNvflashWindow(const PROCESS_INFORMATION& process, HWND console) {
    DWORD searchStart = GetTickCount();
    for (;;) {
        HWND window = nullptr;
        if (FindProcessWindow(process.dwProcessId, &window) && window) {
            return window;
        }
        if (console) {
            return console;
        }
        if (WaitForSingleObject(process.hProcess, kWindowSearchStepMs) == WAIT_OBJECT_0 ||
            GetTickCount() - searchStart > kWindowSearchMs) {
            return nullptr;
        }
    }
}

// A console for the tool's run, when the process has none yet: the tool
// shares it, and it goes again when the run ends.
class ConsoleOfOurOwn {
public:
    ConsoleOfOurOwn() : allocated_(AllocConsole() != FALSE) {}
    ~ConsoleOfOurOwn() {
        if (allocated_) {
            FreeConsole();
        }
    }
    ConsoleOfOurOwn(const ConsoleOfOurOwn&) = delete;
    ConsoleOfOurOwn& operator=(const ConsoleOfOurOwn&) = delete;
    bool Allocated() const { return allocated_; }

private:
    bool allocated_;
};

// Starts the command in the program's folder: the tool writes its backup
// into its current directory, where the backup is read.
bool StartNvflash(const wchar_t* command, PROCESS_INFORMATION* info) {
    wchar_t commandLine[kNvflashCommandChars];
    if (wcslen(command) >= kNvflashCommandChars) {
        return false;
    }
    wcscpy(commandLine, command);
    STARTUPINFOW startup;
    memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    memset(info, 0, sizeof(*info));
    wchar_t folder[MAX_PATH];
    const wchar_t* directory = ProgramFolder(folder, MAX_PATH) ? folder : nullptr;
    return CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, directory,
                          &startup, info) != FALSE;
}

// Posts 'Y' to the tool's window until it ends or timeLimitMs have passed
// since start; the tool's last exit code is the result.
DWORD ConfirmUntilExit(HandleHolder& process, HWND window, DWORD start, bool terminateOnTimeout, DWORD timeLimitMs,
                       HANDLE* stillRunning) {
    DWORD exitCode = kNvflashNotStarted;
    DWORD code = 0;
    while (GetExitCodeProcess(process.Get(), &code)) {
        exitCode = code;
        PostMessageW(window, WM_KEYDOWN, kConfirmKey, 1);
        if (GetTickCount() - start > timeLimitMs) {
            // Termination is asynchronous: the next backup must not meet a
            // dying tool that still holds the image file.
            if (terminateOnTimeout && TerminateProcess(process.Get(), 0)) {
                WaitForSingleObject(process.Get(), kKilledToolExitWaitMs);
            } else if (!terminateOnTimeout && stillRunning) {
                *stillRunning = process.Release();
            }
            break;
        }
        if (code != STILL_ACTIVE) {
            break;
        }
        WaitForSingleObject(process.Get(), kConfirmIntervalMs);
    }
    return exitCode;
}

}  // namespace

DWORD RunNvflash(const wchar_t* command, DWORD windowWaitMs, bool terminateOnTimeout, DWORD timeLimitMs,
                 HANDLE* stillRunning) {
    if (stillRunning) {
        *stillRunning = nullptr;
    }
    // A process that already has a console keeps it: only a console made
    // here is hidden and freed again.
    ConsoleOfOurOwn console;
    GetConsoleWindowFn getConsoleWindow = Kernel32Function<GetConsoleWindowFn>("GetConsoleWindow");
    DWORD start = GetTickCount();
    PROCESS_INFORMATION info;
    if (!getConsoleWindow || !StartNvflash(command, &info)) {
        return kNvflashNotStarted;
    }
    HandleHolder process(info.hProcess);
    HandleHolder thread(info.hThread);  // held only to be closed
    Sleep(windowWaitMs);
    HWND consoleWindow = getConsoleWindow();
    HWND window = FindNvflashWindow(info, consoleWindow);
    if (!window) {
        // A tool that finished before it could be seen has still run: its
        // exit code is the result.
        DWORD code = 0;
        if (GetExitCodeProcess(process.Get(), &code) && code != STILL_ACTIVE) {
            return code;
        }
        return kNvflashNotStarted;
    }
    if (window != consoleWindow || console.Allocated()) {
        ShowWindow(window, SW_HIDE);
    }
    if (consoleWindow && console.Allocated()) {
        ShowWindow(consoleWindow, SW_HIDE);
    }
    return ConfirmUntilExit(process, window, start, terminateOnTimeout, timeLimitMs, stillRunning);
}

void BuildBackupCommand(uint8_t gpu, wchar_t* out, size_t capacity) {
    _snwprintf(out, capacity, L"NVFLASH --index=%d -b %s", (int)gpu, kBackupFileName);
    out[capacity - 1] = 0;
}

bool BuildUpdateCommand(uint8_t card, const wchar_t* path, wchar_t* out, size_t capacity) {
    const wchar_t* format =
        wcschr(path, L' ') ? L"nvflash --index=%d -4 -5 -6 \"%s\"" : L"nvflash --index=%d -4 -5 -6 %s";
    int written = _snwprintf(out, capacity, format, (int)card, path);
    if (written < 0 || (size_t)written >= capacity) {
        if (capacity > 0) {
            out[0] = 0;
        }
        return false;
    }
    return true;
}

bool BuildBiosUpdateCommand(uint8_t card, const wchar_t* path, wchar_t* out, size_t capacity) {
    wchar_t shortPath[kShortPathChars];
    DWORD length = GetShortPathNameW(path, shortPath, kShortPathChars);
    return BuildUpdateCommand(card, (length > 0 && length < kShortPathChars) ? shortPath : path, out, capacity);
}

DWORD RunBiosUpdate(const wchar_t* command, DWORD timeLimitMs, HANDLE* stillRunning) {
    return RunNvflash(command, kUpdateWindowWaitMs, false, timeLimitMs, stillRunning);
}

DWORD BackupImage(uint8_t gpu, uint8_t text[600], bool* textRead, DWORD timeLimitMs) {
    *textRead = false;
    memset(text, 0, 600);
    const ProgramFile backup(kBackupFileName);
    DeleteFileW(backup.Path());
    wchar_t command[64];
    BuildBackupCommand(gpu, command, 64);
    DWORD exitCode = RunNvflash(command, kBackupWindowWaitMs, true, timeLimitMs);
    if (exitCode == 0) {
        FileHolder file(_wfopen(backup.Path(), L"rb"));
        if (file) {
            fread(text, 1, 600, file.Get());
            *textRead = true;
        }
    }
    return exitCode;
}
