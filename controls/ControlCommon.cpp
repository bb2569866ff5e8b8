#include "ControlCommon.h"

#include <windowsx.h>

#include "GdiHolders.h"

HINSTANCE ProgramModule() {
    return GetModuleHandleW(nullptr);
}

HBITMAP LoadProgramBitmap(WORD resourceId) {
    return LoadBitmapW(ProgramModule(), MAKEINTRESOURCEW(resourceId));
}

bool RegisterControlClass(HINSTANCE instance, const wchar_t* className, WNDPROC proc) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = className;
    return RegisterClassExW(&wc) != 0;
}

void RepaintClient(HWND window) {
    RECT rc;
    if (GetClientRect(window, &rc)) InvalidateRect(window, &rc, FALSE);
}

LRESULT NotifyParent(HWND window, UINT message, LPARAM lParam) {
    return SendMessageW(GetParent(window), message, 0, lParam);
}

bool IsPointerOverWindow(HWND window, LPARAM lParam) {
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(window, &pt);
    return WindowFromPoint(pt) == window;
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, int sourceX, int sourceY) {
    if (!bitmap) return;
    MemoryDC memory;
    ScopedSelect select(memory.Get(), bitmap);
    BitBlt(dc, x, y, width, height, memory.Get(), sourceX, sourceY, SRCCOPY);
}

bool GetBitmapSize(HBITMAP bitmap, int* width, int* height) {
    BITMAP bm;
    if (!bitmap || GetObjectW(bitmap, sizeof(bm), &bm) != sizeof(bm)) return false;
    *width = bm.bmWidth;
    *height = bm.bmHeight;
    return true;
}

RECT GetRectInParent(HWND window) {
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    if (!GetWindowPlacement(window, &wp)) SetRectEmpty(&wp.rcNormalPosition);
    return wp.rcNormalPosition;
}

void DrawPolyline(HDC dc, COLORREF colour, const POINT* points, int count) {
    PenHolder pen(CreatePen(PS_SOLID, 0, colour));
    ScopedSelect select(dc, pen.Get());
    Polyline(dc, points, count);
}
