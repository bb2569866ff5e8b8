#include "BiosUpdate.h"

#include <commdlg.h>

#include <memory>
#include <new>
#include <string.h>
#include <wchar.h>

#include "HandleHolders.h"
#include "LanguageState.h"
#include "NvFlash.h"
#include "ProgramName.h"
#include "SessionEndBlock.h"
#include "SystemLibrary.h"
#include "ThreadStart.h"
#include "WindowUtils.h"

namespace {

// Language text ids.
const int kTextUpdateFailed = 75;
const int kTextUpdateSucceeded = 76;
const int kTextExtensionMustBeRom = 74;
const int kTextDoNotClose = 82;
const int kTextDialogCaption = 100;
const int kTextSessionHeld = 101;

// The open dialog's library is loaded on the BIOS button's first use: no
// start should pay for it and the controls library it brings. False, as a
// cancelled dialog, when it cannot be had.
BOOL ChooseFile(OPENFILENAMEW* ofn) {
    typedef BOOL(WINAPI * GetOpenFileNameFn)(OPENFILENAMEW*);
    static GetOpenFileNameFn open = nullptr;
    static const bool found = FindLibraryFunction(LoadSystemLibrary(L"comdlg32.dll"), "GetOpenFileNameW", &open);
    return found && open(ofn);
}

// Where the one update stands. The dialog refuses to close while the tool
// writes (closing it would re-enable the panel mid-flash), and a second
// update is refused until the first has shown its result and its tool ended.
enum UpdateState : LONG { kIdle = 0, kToolRunning = 1, kReporting = 2 };
volatile LONG gUpdateState = kIdle;

// Everything the worker uses, owned by it: the caller's request may be gone
// by the time the tool ends.
struct FlashJob {
    wchar_t command[kNvflashCommandChars];
    HWND dialog;
    HWND mainWindow;
    void (*restoreButton)(void* context);
    void* context;
    DWORD timeLimitMs;
};

void RestoreButton(void (*restore)(void*), void* context) {
    if (restore) {
        restore(context);
    }
}

unsigned __stdcall FlashWorker(void* argument) {
    // Handed over by StartFlashWorker: this thread owns the job now.
    std::unique_ptr<FlashJob> job(static_cast<FlashJob*>(argument));
    EnableWindow(job->dialog, FALSE);
    HandleHolder stillWriting;
    DWORD exitCode = RunBiosUpdate(job->command, job->timeLimitMs, stillWriting.Receive());
    InterlockedExchange(&gUpdateState, kReporting);
    EnableWindow(job->dialog, TRUE);
    EnableWindow(job->mainWindow, TRUE);
    PostMessageW(job->dialog, WM_CLOSE, 0, 0);
    if (exitCode == 0) {
        MessageBoxW(job->mainWindow, LangText(kTextUpdateSucceeded), kProgramName, MB_ICONINFORMATION);
    } else {
        MessageBoxW(job->mainWindow, LangText(kTextUpdateFailed), kProgramName, MB_ICONERROR);
    }
    RestoreButton(job->restoreButton, job->context);
    job.reset();
    // A tool that outlived the limit may still be writing the EEPROM: no
    // second update may start on top of it.
    if (stillWriting) {
        WaitForSingleObject(stillWriting.Get(), INFINITE);
    }
    InterlockedExchange(&gUpdateState, kIdle);
    return 0;
}

// Copies the request into a job and starts the worker; false when nothing
// was started.
bool StartFlashWorker(HWND dialog, const FlashRequest* request) {
    std::unique_ptr<FlashJob> job(new (std::nothrow) FlashJob);
    if (!job) {
        return false;
    }
    if (!BuildBiosUpdateCommand(request->cardIndex, request->path, job->command, kNvflashCommandChars)) {
        return false;
    }
    job->dialog = dialog;
    job->mainWindow = request->mainWindow;
    job->restoreButton = request->restoreButton;
    job->context = request->context;
    job->timeLimitMs = request->timeLimitMs;
    // The worker ends on its own; nobody waits for it by its handle. It owns
    // the job once started; a thread that did not start leaves it here.
    FlashJob* handed = job.release();
    HandleHolder thread(StartThread(FlashWorker, handed, kWorkerThreadStackBytes));
    if (!thread) {
        job.reset(handed);
        return false;
    }
    return true;
}

}  // namespace

void InitFlashRequest(FlashRequest* request, HWND mainWindow, uint8_t cardIndex) {
    memset(request, 0, sizeof(*request));
    request->mainWindow = mainWindow;
    request->cardIndex = cardIndex;
    request->timeLimitMs = kNvflashTimeLimitMs;
}

bool HasRomExtension(const wchar_t* path) {
    const wchar_t* dot = wcsrchr(path, L'.');
    return dot && _wcsicmp(dot + 1, L"rom") == 0;
}

bool BiosUpdateRunning() {
    return gUpdateState != kIdle;
}

bool MaySessionEnd(HWND mainWindow) {
    if (BiosUpdateRunning()) {
        BlockSessionEnd(mainWindow, LangText(kTextSessionHeld));
        return false;
    }
    UnblockSessionEnd(mainWindow);
    return true;
}

INT_PTR CALLBACK FlashBiosDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            const FlashRequest* request = reinterpret_cast<const FlashRequest*>(lParam);
            CenterWindowOnScreen(dialog, GetParent(dialog));
            SetWindowTextW(dialog, LangText(kTextDialogCaption));
            SetDlgItemTextW(dialog, kFlashBiosTextId, LangText(kTextDoNotClose));
            if (!StartFlashWorker(dialog, request)) {
                // A path the command cannot hold is refused, not cut short.
                InterlockedExchange(&gUpdateState, kIdle);
                EndDialog(dialog, 0);
                MessageBoxW(request->mainWindow, LangText(kTextUpdateFailed), kProgramName, MB_ICONERROR);
                RestoreButton(request->restoreButton, request->context);
            }
            return TRUE;
        }
        case WM_CLOSE:
            // Alt+F4 and the close box arrive here too: the dialog stays
            // until the worker, once the tool has ended, closes it.
            if (gUpdateState != kToolRunning) {
                EndDialog(dialog, LOWORD(wParam));
            }
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == kFlashBiosCloseCommand) {
                SendMessageW(dialog, WM_CLOSE, 0, 0);
                return TRUE;
            }
            return FALSE;
    }
    return FALSE;
}

INT_PTR ShowFlashBiosDialog(const FlashRequest* request) {
    if (InterlockedCompareExchange(&gUpdateState, kToolRunning, kIdle) != kIdle) {
        RestoreButton(request->restoreButton, request->context);
        return 0;
    }
    // A power-off mid-write can leave a card that never starts again.
    BlockSessionEnd(request->mainWindow, LangText(kTextSessionHeld));
    INT_PTR result = DialogBoxParamW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(kFlashBiosDialogId), request->mainWindow,
                                     FlashBiosDialogProc, (LPARAM)request);
    // A tool that outlived its limit may still write: the block stays, and
    // the next session-end query lifts it once the tool has ended.
    if (!BiosUpdateRunning()) UnblockSessionEnd(request->mainWindow);
    if (result == -1) {
        // No dialog, so no worker either.
        InterlockedExchange(&gUpdateState, kIdle);
        RestoreButton(request->restoreButton, request->context);
        return 0;
    }
    return result;
}

INT_PTR ChooseBiosFile(FlashRequest* request) {
    if (BiosUpdateRunning()) {
        RestoreButton(request->restoreButton, request->context);
        return 0;
    }
    memset(request->path, 0, sizeof(request->path));
    OPENFILENAMEW ofn;
    memset(&ofn, 0, sizeof(ofn));
    // The pre-2000 size: the plain dialog, as on every supported system.
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    ofn.hwndOwner = request->mainWindow;
    ofn.lpstrFilter = L"BIOS file(*.rom)\0*.rom\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = request->path;
    ofn.nMaxFile = kChosenPathChars;
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
    // The open dialog may move the current directory to where the user
    // browsed (the flag above is not honoured by every version): it goes
    // back, since the flash tool is looked for there too.
    wchar_t folder[MAX_PATH];
    const DWORD folderLength = GetCurrentDirectoryW(MAX_PATH, folder);
    const BOOL chosen = ChooseFile(&ofn);
    if (folderLength > 0 && folderLength < MAX_PATH) SetCurrentDirectoryW(folder);
    if (chosen) {
        if (HasRomExtension(request->path)) {
            // The worker (or a refusal) returns the button itself.
            return ShowFlashBiosDialog(request);
        }
        MessageBoxW(request->mainWindow, LangText(kTextExtensionMustBeRom), kProgramName, MB_ICONERROR);
    }
    RestoreButton(request->restoreButton, request->context);
    return 0;
}
