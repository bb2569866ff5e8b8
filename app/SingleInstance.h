#pragma once

#include <windows.h>

enum SingleInstanceResult {
    kFirstInstance = 0,     // the mutex is ours for the life of the process
    kAnotherInstance = 1,   // its window was brought to the front
    kMutexUnavailable = 2,  // e.g. another user's session holds the name
};

extern const wchar_t kAppMutexName[];  // "Global\DM_App_Mutex"

// Takes the named mutex; on success *mutex receives its handle (the caller
// keeps it open). A second instance restores the first one's main window.
SingleInstanceResult CheckSingleInstance(HANDLE* mutex, const wchar_t* mutexName = kAppMutexName);
