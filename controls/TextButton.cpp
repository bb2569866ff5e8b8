#include "TextButton.h"

#include "ControlCommon.h"
#include "ControlMessages.h"
#include "GdiHolders.h"

const wchar_t kTextButtonClass[] = L"CDunmoreBtn";
const wchar_t kTextButtonProperty[] = L"DMBtn_ThisObj";

namespace {

const COLORREF kLightEdge = 0xD1D1A5;
const COLORREF kBlack = 0x000000;
const COLORREF kWhite = 0xFFFFFF;
const COLORREF kDisabledText = 0x4F4F3B;
const int kCaptionBuffer = 20;

}  // namespace

TextButton::~TextButton() {
    if (window) {
        // Detach first: destruction messages must not reach a half-destroyed object.
        RemovePropW(window, property_);
        DestroyWindow(window);
        window = nullptr;
    }
}

int TextButton::CreateButtonWindow(const wchar_t* className, const wchar_t* property, int id, const wchar_t* caption,
                                   int x, int y, int width, int height, HWND parent) {
    HWND hwnd = CreateWindowExW(0, className, caption, WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ProgramModule(), nullptr);
    if (!hwnd) return 0;
    window = hwnd;
    property_ = property;
    return 1;
}

int TextButton::Create(int id, const wchar_t* caption, int x, int y, int width, int height, HWND parent, WORD normalId,
                       WORD hotId, WORD disabledId) {
    if (!CreateButtonWindow(kTextButtonClass, kTextButtonProperty, id, caption, x, y, width, height, parent)) return 0;
    normalBitmap.Reset(LoadProgramBitmap(normalId));
    hotBitmap.Reset(LoadProgramBitmap(hotId));
    disabledBitmap.Reset(LoadProgramBitmap(disabledId));
    SetPropW(window, kTextButtonProperty, this);
    return 1;
}

void TextButton::Show(int show) {
    ShowWindow(window, show ? SW_SHOW : SW_HIDE);
}

void TextButton::Enable(int enable) {
    const bool wanted = enable != 0;
    if ((IsWindowEnabled(window) != FALSE) == wanted) return;
    EnableWindow(window, wanted ? TRUE : FALSE);
    RepaintClient(window);
}

void TextButton::SetText(const wchar_t* text) {
    SetWindowTextW(window, text);
}

LRESULT TextButton::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    const int wasHover = hover;
    hover = IsPointerOverWindow(window, lParam) ? 1 : 0;
    if (hover)
        SetCapture(window);
    else if (!(wParam & MK_LBUTTON) && GetCapture() == window)
        ReleaseCapture();
    if (hover != wasHover) RepaintClient(window);
    return 0;
}

LRESULT TextButton::OnLButtonDown(WPARAM, LPARAM) {
    pressed = 1;
    pressTime = GetTickCount();
    SetFocus(window);
    RepaintClient(window);
    if (autoRepeat) SetTimer(window, kRepeatTimerId, kRepeatIntervalMs, nullptr);
    return 0;
}

LRESULT TextButton::OnSetFocus() {
    NotifyParent(window, UM_BUTTON_FOCUSED, reinterpret_cast<LPARAM>(window));
    RepaintClient(window);
    return 0;
}

LRESULT TextButton::OnLButtonUp(WPARAM, LPARAM) {
    pressed = 0;
    if (autoRepeat) KillTimer(window, kRepeatTimerId);
    NotifyParent(window, UM_BUTTON_CLICKED, reinterpret_cast<LPARAM>(this));
    RepaintClient(window);
    return 0;
}

LRESULT TextButton::OnKillFocus() {
    hover = 0;
    pressed = 0;
    RepaintClient(window);
    return 0;
}

LRESULT TextButton::OnTimer(UINT_PTR timerId) {
    if (timerId != kRepeatTimerId) return 0;
    // Without the capture the release can never reach us (another window
    // took the mouse mid-hold); repeating on would step forever.
    if (GetCapture() != window) {
        KillTimer(window, kRepeatTimerId);
        return 0;
    }
    DWORD now = GetTickCount();
    DWORD held = now >= pressTime ? now - pressTime : pressTime - now;
    if (held > kRepeatDelayMs) NotifyParent(window, UM_BUTTON_CLICKED, reinterpret_cast<LPARAM>(this));
    return 0;
}

void TextButton::DrawFrame(HDC dc, int w, int h, bool sunken, bool enabled) {
    const int right = w - 1;
    const int bottom = h - 1;
    if (!sunken && !enabled) {
        const POINT box[] = {{0, 0}, {right, 0}, {right, bottom}, {0, bottom}, {0, 0}};
        DrawPolyline(dc, kBlack, box, 5);
        return;
    }
    const COLORREF topLeft = sunken ? kBlack : kLightEdge;
    const COLORREF bottomRight = sunken ? kWhite : kBlack;
    const POINT top[] = {{0, 0}, {right, 0}};
    const POINT left[] = {{0, 0}, {0, bottom}};
    const POINT bottomAndRight[] = {{0, bottom}, {right, bottom}, {right, 0}};
    DrawPolyline(dc, topLeft, top, 2);
    DrawPolyline(dc, topLeft, left, 2);
    DrawPolyline(dc, bottomRight, bottomAndRight, 3);
}

LRESULT TextButton::OnPaint() {
    PaintScope paint(window);
    HDC dc = paint.Dc();
    RECT rc;
    GetClientRect(window, &rc);
    const int w = rc.right;
    const int h = rc.bottom;
    const bool enabled = IsWindowEnabled(window) != FALSE;

    HBITMAP face = disabledBitmap.Get();
    if (enabled) face = (GetFocus() == window || hover || pressed) ? hotBitmap.Get() : normalBitmap.Get();
    const int d = pressed ? 1 : 0;
    DrawBitmap(dc, face, d, d, w - 1, h - 1);
    DrawFrame(dc, w, h, pressed != 0, enabled);

    wchar_t caption[kCaptionBuffer] = L"";
    GetWindowTextW(window, caption, kCaptionBuffer);
    SetBkMode(dc, TRANSPARENT);
    ScopedSelect selectFont(dc, font);
    SetTextColor(dc, enabled ? kWhite : kDisabledText);
    RECT layout = {0, d, w, h + d};
    DrawTextW(dc, caption, -1, &layout, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    return 0;
}

LRESULT TextButton::Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, const wchar_t* property,
                             bool timerHandled) {
    TextButton* button = ObjectFromWindow<TextButton>(hwnd, property);
    if (!button) {
        switch (msg) {
            case WM_MOUSEMOVE:
            case WM_LBUTTONDOWN:
            case WM_LBUTTONUP:
                return 0;
            case WM_TIMER:
                if (timerHandled) return 0;
                break;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    switch (msg) {
        case WM_SETFOCUS:
            return button->OnSetFocus();
        case WM_KILLFOCUS:
            return button->OnKillFocus();
        case WM_PAINT:
            return button->OnPaint();
        case WM_TIMER:
            if (timerHandled) return button->OnTimer(wParam);
            break;
        case WM_MOUSEMOVE:
            return button->OnMouseMove(wParam, lParam);
        case WM_LBUTTONDOWN:
            return button->OnLButtonDown(wParam, lParam);
        case WM_LBUTTONUP:
            return button->OnLButtonUp(wParam, lParam);
        case WM_NCDESTROY:
            // The window can die before its object (its parent was destroyed).
            RemovePropW(hwnd, property);
            button->window = nullptr;
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK TextButton::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Dispatch(hwnd, msg, wParam, lParam, kTextButtonProperty, true);
}
