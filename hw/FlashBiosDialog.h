#pragma once
// The BIOS update: the user picks a ".rom" file, a small dialog (resource
// 347) stays up while nvflash writes it to the current card on a worker
// thread, and a message box tells the result.

#include <windows.h>

#include <stdint.h>

#include "NvFlash.h"

const int kFlashBiosDialogId = 347;
const int kFlashBiosTextId = 1022;
const int kFlashBiosCloseCommand = 265;
const size_t kChosenPathChars = 256;

// Everything one update needs. The caller keeps it alive until workerRunning
// drops to 0 (the worker outlives the dialog by its result box).
struct FlashRequest {
    HWND mainWindow;
    uint8_t cardIndex;
    wchar_t path[kChosenPathChars];
    // Returns the panel's BIOS button to its normal look; may be null.
    void (*restoreButton)(void* context);
    void* context;
    DWORD timeLimitMs;
    volatile LONG workerRunning;
};

void InitFlashRequest(FlashRequest* request, HWND mainWindow, uint8_t cardIndex);

// True when the text after the last '.' is "rom", ignoring case.
bool HasRomExtension(const wchar_t* path);

// The open-file dialog, then the flash dialog for a ".rom" file or the
// extension message for any other. Returns the flash dialog's result, or 0.
INT_PTR ChooseBiosFile(FlashRequest* request);

// The flash dialog for request->path (already chosen).
INT_PTR ShowFlashBiosDialog(FlashRequest* request);

INT_PTR CALLBACK FlashBiosDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
