#pragma once
// The BIOS update: the user picks a ".rom" file, a small dialog (resource
// 347) stays up while nvflash writes it to the current card on a worker
// thread, and a message box tells the result. One update at a time.

#include <windows.h>

#include <stdint.h>

const int kFlashBiosDialogId = 347;
const int kFlashBiosTextId = 1022;
const int kFlashBiosCloseCommand = 265;
const size_t kChosenPathChars = 256;

// What the panel hands over for one update. The dialog copies what the
// worker needs, so the request may go as soon as the dialog has returned;
// only `context` must live on (it is the panel's own button).
struct FlashRequest {
    HWND mainWindow;
    uint8_t cardIndex;
    wchar_t path[kChosenPathChars];
    // Returns the panel's BIOS button to its normal look; may be null.
    void (*restoreButton)(void* context);
    void* context;
    DWORD timeLimitMs;
};

void InitFlashRequest(FlashRequest* request, HWND mainWindow, uint8_t cardIndex);

// True when the text after the last '.' is "rom", ignoring case.
bool HasRomExtension(const wchar_t* path);

// From the start of an update until its result has been shown and the tool
// has ended.
bool BiosUpdateRunning();

// The main window's answer to WM_QUERYENDSESSION: no while an update runs.
bool MaySessionEnd(HWND mainWindow);

// The open-file dialog, then the flash dialog for a ".rom" file or the
// extension message for any other. Returns the flash dialog's result, or 0
// (also when an update is already running).
INT_PTR ChooseBiosFile(FlashRequest* request);

// The flash dialog for request->path (already chosen); 0 without a dialog
// when an update is already running.
INT_PTR ShowFlashBiosDialog(const FlashRequest* request);

INT_PTR CALLBACK FlashBiosDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
