#include "SingleInstance.h"

#include "MainPanel.h"

const wchar_t kAppMutexName[] = L"Global\\DM_App_Mutex";

SingleInstanceResult CheckSingleInstance(HANDLE* mutex, const wchar_t* mutexName) {
    *mutex = NULL;
    HANDLE handle = CreateMutexW(NULL, TRUE, mutexName);
    if (!handle) return kMutexUnavailable;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(handle);
        HWND first = FindWindowW(kMainWindowClass, NULL);
        // The first instance may still be starting and have no window yet.
        if (first) {
            ShowWindow(first, SW_SHOWNORMAL);
            SetForegroundWindow(first);
        }
        return kAnotherInstance;
    }
    *mutex = handle;
    return kFirstInstance;
}
