#pragma once
// Small thread and window helpers shared across the program.

#include <windows.h>

// Waits up to about timeoutMs for a thread to end, posting WM_QUIT to it
// while it runs (a message loop it enters later would miss an earlier one).
// Never terminates the thread. True only when it is known to have ended.
const DWORD kStopThreadTimeoutMs = 2800;
bool StopThreadWithTimeout(DWORD threadId, DWORD timeoutMs = kStopThreadTimeoutMs);

// The first top-level window owned by the process, if any.
bool FindProcessWindow(DWORD processId, HWND* window);

// Centres the window on the screen, or over reference when given, keeping
// it on the screen. Returns SetWindowPlacement's result.
BOOL CenterWindowOnScreen(HWND window, HWND reference);

// Ends the path at its last backslash, leaving the folder without a trailing
// backslash. A path without a backslash is left as it is.
wchar_t* CutToFolder(wchar_t* path);
