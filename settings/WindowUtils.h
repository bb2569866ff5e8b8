#pragma once
// Small thread and window helpers shared across the program.

#include <windows.h>

// Waits up to about 2800 ms for a thread to end, posting WM_QUIT to it while
// it runs. The caller posts the first WM_QUIT. Never terminates the thread.
// Returns true only when the thread is known to have ended.
bool StopThreadWithTimeout(DWORD threadId);

// The first top-level window owned by the process, if any.
bool FindProcessWindow(DWORD processId, HWND* window);

// Centres the window on the screen, or over reference when given, keeping
// it on the screen. Returns SetWindowPlacement's result.
BOOL CenterWindowOnScreen(HWND window, HWND reference);

// Ends the path at its last backslash, leaving the folder without a trailing
// backslash. A path without a backslash is left as it is.
wchar_t* CutToFolder(wchar_t* path);
