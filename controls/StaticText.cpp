#include "StaticText.h"

#include <cwchar>

#include "LockScope.h"
#include "ControlCommon.h"
#include "GdiHolders.h"

const wchar_t kStaticTextClass[] = L"DMStc_Cls";
const wchar_t kStaticTextProperty[] = L"DMStc_ThisObj";

namespace {

// The lock is held for a copy of 45 characters at most, so a short spin
// usually beats sleeping.
const DWORD kTextLockSpin = 4000;
// Makes XP create the lock's event now rather than at the first contended
// write, which would allocate on the writer's path; later Windows versions
// ignore it.
const DWORD kMakeLockEventNow = 0x80000000u;

}  // namespace

StaticText::StaticText() {
    // Without its event made in advance the lock still works.
    if (!InitializeCriticalSectionAndSpinCount(&textLock, kMakeLockEventNow | kTextLockSpin))
        InitializeCriticalSectionAndSpinCount(&textLock, kTextLockSpin);
}

StaticText::~StaticText() {
    if (window) {
        RemovePropW(window, kStaticTextProperty);
        DestroyWindow(window);
        window = nullptr;
    }
    DeleteCriticalSection(&textLock);
}

int StaticText::Create(int id, int x, int y, int width, int height, HWND parent) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    window = CreateWindowExW(0, kStaticTextClass, nullptr, WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (!window) return 0;
    SetPropW(window, kStaticTextProperty, this);
    return 1;
}

void StaticText::CopyText(const wchar_t* newText) {
    if (!newText) newText = L"";
    const size_t length = wcslen(newText);
    const size_t keep = length + 1 > kTextCapacity ? kMaxShownLength : length;
    for (size_t i = 0; i < keep; i++)
        text[i] = newText[i];
    text[keep] = L'\0';
}

void StaticText::SetTextAndColour(const wchar_t* newText, COLORREF colour) {
    {
        LockScope hold(&textLock);
        CopyText(newText);
        textColour = colour;
    }
    // Only invalidates: the paint itself runs on the window's own thread.
    RepaintClient(window);
}

void StaticText::SetText(const wchar_t* newText) {
    {
        LockScope hold(&textLock);
        CopyText(newText);
    }
    RepaintClient(window);
}

void StaticText::SetTextColour(COLORREF colour) {
    {
        LockScope hold(&textLock);
        textColour = colour;
    }
    RepaintClient(window);
}

StaticText::Shown StaticText::Snapshot() const {
    Shown shown;
    LockScope hold(&textLock);
    shown.length = TextLength();
    for (int i = 0; i < shown.length; i++)
        shown.text[i] = text[i];
    shown.text[shown.length] = L'\0';
    shown.colour = textColour;
    return shown;
}

int StaticText::TextLength() const {
    int length = 0;
    while (length < kTextCapacity - 1 && text[length])
        length++;
    return length;
}

void StaticText::SetBitmap(WORD resourceId) {
    bitmap.Reset(LoadProgramBitmap(resourceId));
    hasBitmap = 1;
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
        DrawBitmap(dc, bitmap.Get(), rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, rc.left, rc.top);
    } else {
        BrushHolder brush(CreateSolidBrush(backgroundColour));
        FillRect(dc, &rc, brush.Get());
    }
    // Drawn from a copy: the monitor thread may write the next reading
    // while DrawTextW is still reading this one.
    const Shown shown = Snapshot();
    ScopedSelect selectFont(dc, font);
    SetTextColor(dc, shown.colour);
    SetBkMode(dc, TRANSPARENT);
    if (shown.length > 0) DrawTextW(dc, shown.text, shown.length, &rc, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
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
    bitmap.Reset();
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
        case WM_GETTEXT:
            return label->CopyShownText(reinterpret_cast<wchar_t*>(lParam), wParam);
        case WM_GETTEXTLENGTH:
            return label->Snapshot().length;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The text a reading shows, for whoever asks the window (a screen reader,
// a test): the window's own title is not kept up to date, since setting it
// from the monitor thread would have to wait for this thread.
LRESULT StaticText::CopyShownText(wchar_t* out, WPARAM capacity) const {
    if (!out || capacity == 0) return 0;
    Shown shown = Snapshot();
    size_t n = (size_t)shown.length < capacity - 1 ? (size_t)shown.length : capacity - 1;
    for (size_t i = 0; i < n; i++)
        out[i] = shown.text[i];
    out[n] = 0;
    return (LRESULT)n;
}
