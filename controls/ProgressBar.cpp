#include "ProgressBar.h"

#include "ControlCommon.h"
#include "ControlMessages.h"
#include "GdiHolders.h"
#include "ProgressBlocks.h"

const wchar_t kProgressBarClass[] = L"CDunmoreProgress_cls";
const wchar_t kProgressBarProperty[] = L"CDunmoreProgress_ThisObj";

ProgressBar::~ProgressBar() {
    // SendMessageW runs the handler on the window's own thread, the only one
    // allowed to destroy it.
    if (window) SendMessageW(window, UM_PROGRESS_DESTROY, 0, 0);
}

int ProgressBar::Create(int id, int x, int y, int width, int height, HWND parent) {
    window = CreateWindowExW(0, kProgressBarClass, nullptr, WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ProgramModule(), nullptr);
    if (!window) return 0;
    SetPropW(window, kProgressBarProperty, this);
    return 1;
}

void ProgressBar::SetValue(int newValue) {
    InterlockedExchange(&value, newValue);
    RepaintClient(window);
}

void ProgressBar::Paint() {
    // Painting always validates, so a bar too narrow for a block is not
    // asked to paint again at once.
    PaintScope paint(window);
    RECT rc;
    if (!GetClientRect(window, &rc)) return;
    const int blocks = ProgressBlockCount(rc.right, segmentWidth, gap);
    if (blocks == 0) return;
    const int filled = ProgressFilledBlocks(value, minimum, maximum, blocks);
    HDC dc = paint.Dc();
    BrushHolder background(CreateSolidBrush(backgroundColour));
    BrushHolder segment(CreateSolidBrush(segmentColour));
    FillRect(dc, &rc, background.Get());
    for (int i = 0; i < filled; i++) {
        const int left = (gap + segmentWidth) * i;
        RECT block = {left, 0, left + segmentWidth, rc.bottom};
        FillRect(dc, &block, segment.Get());
    }
}

LRESULT CALLBACK ProgressBar::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    ProgressBar* bar = ObjectFromWindow<ProgressBar>(hwnd, kProgressBarProperty);
    switch (msg) {
        case WM_PAINT:
            if (!bar) break;
            bar->Paint();
            return 0;
        case UM_PROGRESS_DESTROY:
            DestroyWindow(hwnd);
            return 0;
        case WM_NCDESTROY:
            RemovePropW(hwnd, kProgressBarProperty);
            if (bar) bar->window = nullptr;
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
