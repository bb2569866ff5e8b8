#include "CheckBox.h"

#include "ControlCommon.h"
#include "ControlMessages.h"
#include "GdiHolders.h"

const wchar_t kCheckBoxClass[] = L"VexaPanelCheck";
const wchar_t kCheckBoxProperty[] = L"VexaPanelCheck_ThisObj";

CheckBox::~CheckBox() {
    if (window) {
        RemovePropW(window, kCheckBoxProperty);
        DestroyWindow(window);
    }
}

int CheckBox::Create(int id, int x, int y, int width, int height, HWND parent, WORD normalId, WORD hotId,
                     WORD disabledId) {
    normalBitmap.Reset(LoadProgramBitmap(normalId));
    hotBitmap.Reset(LoadProgramBitmap(hotId));
    disabledBitmap.Reset(LoadProgramBitmap(disabledId));
    window = CreateWindowExW(0, kCheckBoxClass, nullptr, WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ProgramModule(), nullptr);
    if (!window) return 0;
    SetPropW(window, kCheckBoxProperty, this);
    return 1;
}

void CheckBox::SetCheck(int check) {
    checked = check ? 1 : 0;
    RepaintClient(window);
}

void CheckBox::Enable(int enable) {
    EnableWindow(window, enable ? TRUE : FALSE);
    RepaintClient(window);
}

void CheckBox::OnClick() {
    SetFocus(window);
    if (!toggleMode && checked) return;
    SetCheck(!checked);
    NotifyParent(window, UM_CHECK_CLICKED, reinterpret_cast<LPARAM>(this));
    RepaintClient(window);
}

void CheckBox::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    const int wasHover = hover;
    hover = IsPointerOverWindow(window, lParam) ? 1 : 0;
    if (hover) {
        if (GetCapture() != window) SetCapture(window);
    } else if (!(wParam & MK_LBUTTON) && GetCapture() == window) {
        ReleaseCapture();
    }
    if (hover != wasHover) RepaintClient(window);
}

void CheckBox::Paint() {
    PaintScope paint(window);
    HDC dc = paint.Dc();
    RECT rc;
    GetClientRect(window, &rc);
    const int w = rc.right;
    const int h = rc.bottom;
    HBITMAP face = disabledBitmap.Get();
    if (IsWindowEnabled(window)) {
        const bool hot = GetCapture() == window || GetFocus() == window || hover;
        face = hot ? hotBitmap.Get() : normalBitmap.Get();
    }
    // The faces carry a two-pixel margin that the box does not show.
    DrawBitmap(dc, face, 0, 0, w, h, 2, 2);
    if (checked) {
        const POINT tick[] = {{1, h / 2 - 1}, {w / 2 - 1, h - 1}, {w - 1, 1}};
        DrawPolyline(dc, tickColour, tick, 3);
    }
}

LRESULT CALLBACK CheckBox::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CheckBox* box = ObjectFromWindow<CheckBox>(hwnd, kCheckBoxProperty);
    if (!box) {
        if (msg == WM_MOUSEMOVE || msg == WM_LBUTTONDOWN) return 0;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    switch (msg) {
        case WM_SETFOCUS:
            NotifyParent(hwnd, UM_CHECK_FOCUSED, reinterpret_cast<LPARAM>(hwnd));
            RepaintClient(hwnd);
            return 0;
        case WM_KILLFOCUS:
            box->hover = 0;
            RepaintClient(hwnd);
            return 0;
        case WM_PAINT:
            box->Paint();
            return 0;
        case WM_MOUSEMOVE:
            box->OnMouseMove(wParam, lParam);
            return 0;
        case WM_LBUTTONDOWN:
            box->OnClick();
            return 0;
        case WM_NCDESTROY:
            RemovePropW(hwnd, kCheckBoxProperty);
            box->window = nullptr;
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
