#include "ShapedPopup.h"

#include "ControlCommon.h"
#include "GdiHolders.h"

namespace {

const wchar_t kPopupProperty[] = L"this_object";

// Every popup subclasses the same system class, so one saved procedure
// serves them all.
WNDPROC gStaticPopupProc = nullptr;

}  // namespace

ShapedPopup::~ShapedPopup() {
    if (shape.window) DestroyWindow(shape.window);
}

int ShapedPopup::Create(int /*id*/, int x, int y, HWND parent, WORD bitmapId) {
    HWND hwnd =
        CreateWindowExW(0, L"static", nullptr, WS_POPUP, x, y, 50, 50, parent, nullptr, ProgramModule(), nullptr);
    if (!hwnd) return 0;
    shape.window = hwnd;
    SetPropW(hwnd, kPopupProperty, this);
    WNDPROC previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ShapedPopup::WindowProc)));
    if (!gStaticPopupProc) gStaticPopupProc = previous;
    SetParent(hwnd, parent);
    if (shape.ApplyBitmapShape(bitmapId) != kShapeDone) return 0;
    SetWindowPos(hwnd, nullptr, x, y, shape.width, shape.height, SWP_NOZORDER | SWP_SHOWWINDOW);
    return 1;
}

void ShapedPopup::Paint() {
    PaintScope paint(shape.window);
    HDC dc = paint.Dc();
    DrawBitmap(dc, shape.bitmap.Get(), 0, 0, shape.width, shape.height);
    if (!captionText) return;
    RECT rc;
    GetClientRect(shape.window, &rc);
    rc.top = captionY;
    SetBkMode(dc, TRANSPARENT);
    ScopedSelect font(dc, captionFont);
    SetTextColor(dc, captionColour);
    DrawTextW(dc, captionText, -1, &rc, DT_CENTER);
}

LRESULT CALLBACK ShapedPopup::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    ShapedPopup* popup = ObjectFromWindow<ShapedPopup>(hwnd, kPopupProperty);
    switch (msg) {
        case WM_PAINT:
            if (!popup) return DefWindowProcW(hwnd, msg, wParam, lParam);
            popup->Paint();
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSCOMMAND:
            return 0;
        case WM_NCDESTROY:
            // The object may outlive its window; it must not reach a dead handle.
            if (popup && popup->shape.window == hwnd) {
                RemovePropW(hwnd, kPopupProperty);
                popup->shape.window = nullptr;
            }
            break;
    }
    return CallWindowProcW(gStaticPopupProc, hwnd, msg, wParam, lParam);
}
