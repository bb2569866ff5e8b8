#include "MainPanel.h"

#include "GdiHolders.h"
#include "Messages.h"
#include "WindowUtils.h"

const wchar_t kMainWindowClass[] = L"VexaPanelMainWnd_Cls";

namespace {

const wchar_t kThisObjProperty[] = L"VexaPanelMainWnd_ThisObj";
const WORD kSkinBitmapId = 243;
const int kAppIconId = 140;
// At least this much of the window stays inside the work area when dragged.
const int kDragMargin = 10;

}  // namespace

MainPanel::MainPanel() { LoadRegistryFlags(registry); }

bool MainPanel::RegisterClass(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kAppIconId));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorW(NULL, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHTTEXT + 1);
    wc.lpszClassName = kMainWindowClass;
    return RegisterClassExW(&wc) != 0;
}

bool MainPanel::CreateMainWindow(HINSTANCE instance) {
    if (created_) return true;
    created_ = true;
    HWND hwnd = CreateWindowExW(0, kMainWindowClass, L"Vexa Panel",
                                WS_POPUP | WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 1, 1, NULL,
                                NULL, instance, this);
    if (!hwnd) return false;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    window = hwnd;
    return true;
}

void MainPanel::BuildPanel() {
    shape.window = window;
    shape.ApplyBitmapShape(kSkinBitmapId);
    CenterWindowOnScreen(window, NULL);
    if (startMode == kStartMinimize) ShowWindow(window, SW_MINIMIZE);
    InvalidateRect(window, NULL, FALSE);
}

void MainPanel::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (dc && shape.bitmap) {
        MemoryDC source;
        ScopedSelect select(source.Get(), shape.bitmap);
        const RECT& r = ps.rcPaint;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, source.Get(), r.left, r.top,
               SRCCOPY);
    }
    EndPaint(window, &ps);
}

void MainPanel::DragTo(int cursorX, int cursorY) {
    WINDOWPLACEMENT placement;
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window, &placement)) return;
    const RECT& r = placement.rcNormalPosition;
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    int x = r.left + (cursorX - pressPoint_.x);
    int y = r.top + (cursorY - pressPoint_.y);
    int maxX = GetSystemMetrics(SM_CXFULLSCREEN) - kDragMargin;
    int maxY = GetSystemMetrics(SM_CYFULLSCREEN) - kDragMargin;
    if (x > maxX) x = maxX;
    else if (x < kDragMargin - width) x = kDragMargin - width;
    if (y > maxY) y = maxY;
    else if (y < kDragMargin - height) y = kDragMargin - height;
    MoveWindow(window, x, y, width, height, TRUE);
}

LRESULT MainPanel::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            PostMessageW(window, UM_BUILD_PANEL, 0, 0);
            return 0;
        case UM_BUILD_PANEL:
            BuildPanel();
            return 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_LBUTTONDOWN:
            SetCapture(window);
            pressPoint_.x = static_cast<short>(LOWORD(lParam));
            pressPoint_.y = static_cast<short>(HIWORD(lParam));
            break;
        case WM_MOUSEMOVE:
            if (wParam & MK_LBUTTON) {
                DragTo(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            }
            break;
        case WM_LBUTTONUP:
            ReleaseCapture();
            break;
        case WM_COMMAND:
            // Accelerators arrive with a non-zero high word and do nothing.
            if (wParam > 0xFFFF) break;
            return 0;
        case WM_SYSCOMMAND:
            // Until the tray icon exists, closing the window ends the program.
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                PostQuitMessage(0);
                return 0;
            }
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

LRESULT CALLBACK MainPanel::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    MainPanel* self = static_cast<MainPanel*>(GetPropW(hwnd, kThisObjProperty));
    if (!self && msg == WM_NCCREATE) {
        const CREATESTRUCTW* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        self = static_cast<MainPanel*>(cs->lpCreateParams);
        if (self) {
            SetPropW(hwnd, kThisObjProperty, self);
            self->window = hwnd;
        }
    }
    if (msg == WM_NCDESTROY) RemovePropW(hwnd, kThisObjProperty);
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->HandleMessage(msg, wParam, lParam);
}
