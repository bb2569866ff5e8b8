#include "WindowUtils.h"

#include "HandleHolders.h"
#include "Kernel32Function.h"

#include "CenterPlacement.h"

namespace {

typedef HANDLE(WINAPI* OpenThreadFn)(DWORD, BOOL, DWORD);

// OpenThread is missing from the oldest kernels; looked up once.
OpenThreadFn GetOpenThread() {
    static const OpenThreadFn openThread = Kernel32Function<OpenThreadFn>("OpenThread");
    return openThread;
}

// How often a thread still running is asked again.
const DWORD kRepostIntervalMs = 50;
const DWORD kThreadAllAccess = 0x1F03FF;

struct FindWindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchProcessWindow(HWND hwnd, LPARAM param) {
    FindWindowSearch* search = reinterpret_cast<FindWindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->processId) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool StopThreadWithTimeout(DWORD threadId, DWORD timeoutMs) {
    if (threadId == 0) return false;
    OpenThreadFn openThread = GetOpenThread();
    if (!openThread) return false;
    HandleHolder thread(openThread(kThreadAllAccess, FALSE, threadId));
    if (!thread) return false;

    const DWORD start = GetTickCount();
    for (;;) {
        DWORD code = 0;
        if (!GetExitCodeThread(thread.Get(), &code)) return false;
        if (code != STILL_ACTIVE) return true;
        // Unsigned tick differences stay right across the 49.7-day wrap.
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        PostThreadMessageW(threadId, WM_QUIT, 0, 0);
        const DWORD left = timeoutMs - elapsed;
        WaitForSingleObject(thread.Get(), left < kRepostIntervalMs ? left : kRepostIntervalMs);
    }
}

bool FindProcessWindow(DWORD processId, HWND* window) {
    FindWindowSearch search = {processId, NULL};
    EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return false;
    if (window) *window = search.found;
    return true;
}

BOOL CenterWindowOnScreen(HWND window, HWND reference) {
    WINDOWPLACEMENT placement;
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window, &placement)) return FALSE;
    RECT& own = placement.rcNormalPosition;
    int width = own.right - own.left;
    int height = own.bottom - own.top;

    PlacementRect refRect;
    const PlacementRect* ref = NULL;
    if (reference) {
        WINDOWPLACEMENT refPlacement;
        refPlacement.length = sizeof(refPlacement);
        if (GetWindowPlacement(reference, &refPlacement)) {
            const RECT& r = refPlacement.rcNormalPosition;
            refRect.left = r.left;
            refRect.top = r.top;
            refRect.right = r.right;
            refRect.bottom = r.bottom;
            ref = &refRect;
        }
    }
    PlacementPoint p =
        CenteredPosition(width, height, ref, GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN));
    own.left = p.x;
    own.top = p.y;
    own.right = p.x + width;
    own.bottom = p.y + height;
    return SetWindowPlacement(window, &placement);
}

wchar_t* CutToFolder(wchar_t* path) {
    if (!path) return path;
    wchar_t* lastSlash = NULL;
    for (wchar_t* p = path; *p; p++) {
        if (*p == L'\\') lastSlash = p;
    }
    if (lastSlash) *lastSlash = 0;
    return path;
}
