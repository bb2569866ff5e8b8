#include "SessionEndBlock.h"

namespace {

typedef BOOL(WINAPI* ReasonCreateFn)(HWND, LPCWSTR);
typedef BOOL(WINAPI* ReasonDestroyFn)(HWND);

FARPROC User32Function(const char* name) {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    return user ? GetProcAddress(user, name) : nullptr;
}

}  // namespace

void BlockSessionEnd(HWND window, const wchar_t* reason) {
    static const ReasonCreateFn create =
        reinterpret_cast<ReasonCreateFn>(reinterpret_cast<void*>(User32Function("ShutdownBlockReasonCreate")));
    if (create && window) create(window, reason);
}

void UnblockSessionEnd(HWND window) {
    static const ReasonDestroyFn destroy =
        reinterpret_cast<ReasonDestroyFn>(reinterpret_cast<void*>(User32Function("ShutdownBlockReasonDestroy")));
    if (destroy && window) destroy(window);
}
