#include "StaticText.h"

#include <cwchar>

#include "ControlCommon.h"
#include "GdiHolders.h"

const wchar_t kStaticTextClass[] = L"DMStc_Cls";
const wchar_t kStaticTextProperty[] = L"DMStc_ThisObj";

StaticText::~StaticText() {
    if (window) {
        RemovePropW(window, kStaticTextProperty);
        DestroyWindow(window);
        window = nullptr;
    }
    FreeBitmap(&bitmap);
}

int StaticText::Create(int id, int x, int y, int width, int height, HWND parent) {
    HINSTANCE instance =
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    window = CreateWindowExW(0, kStaticTextClass, nullptr, WS_CHILD | WS_VISIBLE, x, y, width,
                             height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             instance, nullptr);
    if (!window)
        return 0;
    SetPropW(window, kStaticTextProperty, this);
    return 1;
}

void StaticText::SetText(const wchar_t* newText) {
    if (!newText)
        newText = L"";
    const size_t length = wcslen(newText);
    const size_t keep = length + 1 > kTextCapacity ? kMaxShownLength : length;
    // Written in place: the monitor thread updates the value displays while
    // the interface thread paints them, and the last slot stays the
    // terminator throughout.
    for (size_t i = 0; i < keep; i++)
        text[i] = newText[i];
    text[keep] = L'\0';
    RepaintClient(window);
}

int StaticText::TextLength() const {
    int length = 0;
    while (length < kTextCapacity - 1 && text[length])
        length++;
    return length;
}

void StaticText::SetBitmap(WORD resourceId) {
    FreeBitmap(&bitmap);
    bitmap = LoadProgramBitmap(resourceId);
    hasBitmap = 1;
}

void StaticText::SetTextColour(COLORREF colour) {
    textColour = colour;
    RepaintClient(window);
}

void StaticText::SetBackgroundColour(COLORREF colour) {
    backgroundColour = colour;
    RepaintClient(window);
}

LRESULT StaticText::OnPaint() {
    PaintScope paint(window);
    HDC dc = paint.Dc();
    RECT rc;
    GetClientRect(window, &rc);
    if (hasBitmap) {
        DrawBitmap(dc, bitmap, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, rc.left,
                   rc.top);
    } else {
        BrushHolder brush(CreateSolidBrush(backgroundColour));
        FillRect(dc, &rc, brush.Get());
    }
    ScopedSelect selectFont(dc, font);
    SetTextColor(dc, textColour);
    SetBkMode(dc, TRANSPARENT);
    const int length = TextLength();
    if (length > 0)
        DrawTextW(dc, text, length, &rc, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    return 0;
}

LRESULT StaticText::OnLButtonDown(WPARAM, LPARAM) {
    return 0;
}

LRESULT StaticText::OnLButtonUp(WPARAM, LPARAM) {
    return 0;
}

LRESULT StaticText::OnMouseMove(WPARAM, LPARAM) {
    return 0;
}

LRESULT StaticText::OnTimer(WPARAM) {
    return 0;
}

LRESULT StaticText::OnDestroy() {
    HWND hwnd = window;
    RemovePropW(hwnd, kStaticTextProperty);
    // Cleared so that a second WM_DESTROY or the destructor cannot free the
    // bitmap again or reach the dead window.
    FreeBitmap(&bitmap);
    window = nullptr;
    return DefWindowProcW(hwnd, WM_DESTROY, 0, 0);
}

LRESULT CALLBACK StaticText::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    StaticText* label = ObjectFromWindow<StaticText>(hwnd, kStaticTextProperty);
    if (!label) {
        switch (msg) {
        case WM_TIMER:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    switch (msg) {
    case WM_DESTROY:
        return label->OnDestroy();
    case WM_PAINT:
        return label->OnPaint();
    case WM_TIMER:
        return label->OnTimer(wParam);
    case WM_MOUSEMOVE:
        return label->OnMouseMove(wParam, lParam);
    case WM_LBUTTONDOWN:
        return label->OnLButtonDown(wParam, lParam);
    case WM_LBUTTONUP:
        return label->OnLButtonUp(wParam, lParam);
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
