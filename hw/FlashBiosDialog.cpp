#include "FlashBiosDialog.h"

#include <commdlg.h>
#include <new>
#include <process.h>
#include <string.h>
#include <wchar.h>

#include "LanguageState.h"
#include "WindowUtils.h"

namespace {

const wchar_t kCaption[] = L"Vexa Panel";
const size_t kShortPathChars = 512;

// Language text ids.
const int kTextUpdateFailed = 75;
const int kTextUpdateSucceeded = 76;
const int kTextExtensionMustBeRom = 74;
const int kTextDoNotClose = 82;
const int kTextDialogCaption = 100;

// What the worker receives; it frees the command and the package.
struct FlashPackage {
    wchar_t* command;
    HWND dialog;
    FlashRequest* request;
};

void RestoreButton(FlashRequest* request) {
    if (request->restoreButton) {
        request->restoreButton(request->context);
    }
}

unsigned __stdcall FlashWorker(void* argument) {
    FlashPackage* package = static_cast<FlashPackage*>(argument);
    FlashRequest* request = package->request;
    EnableWindow(package->dialog, FALSE);
    DWORD exitCode = RunNvflash(package->command, kUpdateWindowWaitMs, false, request->timeLimitMs);
    EnableWindow(package->dialog, TRUE);
    EnableWindow(request->mainWindow, TRUE);
    PostMessageW(package->dialog, WM_CLOSE, 0, 0);
    if (exitCode == 0) {
        MessageBoxW(request->mainWindow, LangText(kTextUpdateSucceeded), kCaption, MB_ICONINFORMATION);
    } else {
        MessageBoxW(request->mainWindow, LangText(kTextUpdateFailed), kCaption, MB_ICONERROR);
    }
    RestoreButton(request);
    delete[] package->command;
    delete package;
    InterlockedExchange(&request->workerRunning, 0);
    return 0;
}

// Builds the command and starts the worker; false when nothing was started.
bool StartFlashWorker(HWND dialog, FlashRequest* request) {
    wchar_t shortPath[kShortPathChars];
    DWORD length = GetShortPathNameW(request->path, shortPath, kShortPathChars);
    const wchar_t* path = (length > 0 && length < kShortPathChars) ? shortPath : request->path;
    wchar_t* command = new (std::nothrow) wchar_t[kNvflashCommandChars];
    FlashPackage* package = new (std::nothrow) FlashPackage;
    if (!command || !package || !BuildUpdateCommand(request->cardIndex, path, command, kNvflashCommandChars)) {
        delete[] command;
        delete package;
        return false;
    }
    package->command = command;
    package->dialog = dialog;
    package->request = request;
    InterlockedExchange(&request->workerRunning, 1);
    uintptr_t thread = _beginthreadex(NULL, 0, FlashWorker, package, 0, NULL);
    if (thread == 0) {
        InterlockedExchange(&request->workerRunning, 0);
        delete[] command;
        delete package;
        return false;
    }
    CloseHandle((HANDLE)thread);
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

INT_PTR CALLBACK FlashBiosDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        FlashRequest* request = reinterpret_cast<FlashRequest*>(lParam);
        CenterWindowOnScreen(dialog, GetParent(dialog));
        SetWindowTextW(dialog, LangText(kTextDialogCaption));
        SetDlgItemTextW(dialog, kFlashBiosTextId, LangText(kTextDoNotClose));
        if (!StartFlashWorker(dialog, request)) {
            // A path the command cannot hold is refused, not cut short.
            EndDialog(dialog, 0);
            MessageBoxW(request->mainWindow, LangText(kTextUpdateFailed), kCaption, MB_ICONERROR);
            RestoreButton(request);
        }
        return TRUE;
    }
    case WM_CLOSE:
        EndDialog(dialog, LOWORD(wParam));
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

INT_PTR ShowFlashBiosDialog(FlashRequest* request) {
    return DialogBoxParamW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(kFlashBiosDialogId), request->mainWindow,
                           FlashBiosDialogProc, (LPARAM)request);
}

INT_PTR ChooseBiosFile(FlashRequest* request) {
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
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    INT_PTR result = 0;
    if (GetOpenFileNameW(&ofn)) {
        if (HasRomExtension(request->path)) {
            result = ShowFlashBiosDialog(request);
            // The worker returns the button itself when it ends.
            return result;
        }
        MessageBoxW(request->mainWindow, LangText(kTextExtensionMustBeRom), kCaption, MB_ICONERROR);
    }
    RestoreButton(request);
    return result;
}
