// The yardstick for the panel's start: the least a program with the panel's
// visible part does, a 552 x 330 popup window and a tray icon, built with
// the same tool chain, with the same manifest, and run the same way. It ends
// on WM_CLOSE.

#include <windows.h>

#include <shellapi.h>

namespace {

const wchar_t kClassName[] = L"VexaBareTrayWindow";
const UINT kTrayId = 1;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        NOTIFYICONDATAW icon = {};
        icon.cbSize = sizeof(icon);
        icon.hWnd = window;
        icon.uID = kTrayId;
        Shell_NotifyIconW(NIM_DELETE, &icon);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(NULL, MAKEINTRESOURCEW(32512));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = kClassName;
    if (!RegisterClassW(&wc)) return 1;
    HWND window =
        CreateWindowExW(0, kClassName, L"Bare", WS_POPUP | WS_VISIBLE, 100, 100, 552, 330, NULL, NULL, instance, NULL);
    if (!window) return 1;
    NOTIFYICONDATAW icon = {};
    icon.cbSize = sizeof(icon);
    icon.hWnd = window;
    icon.uID = kTrayId;
    icon.uFlags = NIF_ICON | NIF_TIP;
    icon.hIcon = LoadIconW(NULL, MAKEINTRESOURCEW(32512));
    lstrcpynW(icon.szTip, L"Bare", 64);
    Shell_NotifyIconW(NIM_ADD, &icon);
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
