#include "BitmapButton.h"

#include "ControlCommon.h"
#include "GdiHolders.h"

const wchar_t kBitmapButtonClass[] = L"DMBmpBtnCls";
const wchar_t kBitmapButtonProperty[] = L"DMBmpBtn_ThisObj";

int BitmapButton::Create(int id, const void* /*unused*/, int x, int y, int width, int height, HWND parent,
                         WORD normalId, WORD hotId) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    BitmapHolder normal(LoadBitmapW(instance, MAKEINTRESOURCEW(normalId)));
    if (!normal) return 0;
    BitmapHolder hot(LoadBitmapW(instance, MAKEINTRESOURCEW(hotId)));
    if (!CreateButtonWindow(kBitmapButtonClass, kBitmapButtonProperty, id, nullptr, x, y, width, height, parent))
        return 0;
    normalBitmap.Reset(normal.Release());
    hotBitmap.Reset(hot.Release());
    int bw = 0;
    int bh = 0;
    GetBitmapSize(normalBitmap.Get(), &bw, &bh);
    RegionHolder ellipse(CreateEllipticRgn(0, 0, bw, bh));
    if (SetWindowRgn(window, ellipse.Get(), TRUE)) ellipse.Release();
    SetPropW(window, kBitmapButtonProperty, this);
    return 1;
}

LRESULT BitmapButton::OnLButtonUp(WPARAM, LPARAM) {
    HWND parent = GetParent(window);
    switch (GetDlgCtrlID(window)) {
        case kMinimiseId: {
            WINDOWPLACEMENT wp = {};
            wp.length = sizeof(wp);
            if (GetWindowPlacement(parent, &wp)) {
                wp.showCmd = SW_MINIMIZE;
                SetWindowPlacement(parent, &wp);
            }
            break;
        }
        case kCloseId:
            // The main window treats WM_DESTROY as "hide to the tray".
            SendMessageW(parent, WM_DESTROY, 0, 0);
            break;
    }
    RepaintClient(window);
    return 0;
}

LRESULT BitmapButton::OnPaint() {
    PaintScope paint(window);
    RECT rc;
    GetClientRect(window, &rc);
    const bool hot = GetCapture() == window || GetFocus() == window || hover;
    DrawBitmap(paint.Dc(), hot ? hotBitmap.Get() : normalBitmap.Get(), 0, 0, rc.right, rc.bottom);
    return 0;
}

LRESULT CALLBACK BitmapButton::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Dispatch(hwnd, msg, wParam, lParam, kBitmapButtonProperty, false);
}
