#include "SingleInstance.h"

#include "HandleHolders.h"
#include "MainPanel.h"

const wchar_t kAppMutexName[] = L"Global\\DM_App_Mutex";

SingleInstanceResult CheckSingleInstance(HANDLE* mutex, const wchar_t* mutexName) {
    *mutex = NULL;
    HandleHolder handle(CreateMutexW(NULL, TRUE, mutexName));
    if (!handle) return kMutexUnavailable;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        HWND first = FindWindowW(kMainWindowClass, NULL);
        // The first instance may still be starting and have no window yet.
        if (first) {
            ShowWindow(first, SW_SHOWNORMAL);
            SetForegroundWindow(first);
        }
        return kAnotherInstance;
    }
    *mutex = handle.Release();
    return kFirstInstance;
}
