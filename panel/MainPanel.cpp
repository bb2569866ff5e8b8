#include "MainPanel.h"

#include "GdiHolders.h"
#include "Messages.h"
#include "WindowDrag.h"
#include "WindowUtils.h"

const wchar_t kMainWindowClass[] = L"VexaPanelMainWnd_Cls";

namespace {

const wchar_t kThisObjProperty[] = L"VexaPanelMainWnd_ThisObj";
const WORD kSkinBitmapId = 243;
const int kAppIconId = 140;

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
    if (dc && shape.bitmap.Get()) {
        MemoryDC source;
        ScopedSelect select(source.Get(), shape.bitmap.Get());
        const RECT& r = ps.rcPaint;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, source.Get(), r.left, r.top,
               SRCCOPY);
    }
    EndPaint(window, &ps);
}

void MainPanel::DragTo(int cursorX, int cursorY) {
    // Screen coordinates throughout: the window placement would give
    // work-area coordinates, which differ from the screen's by a taskbar at
    // the top or left and made the window jump on every move.
    RECT r;
    if (!GetWindowRect(window, &r)) return;
    RECT work = {0, 0, 0, 0};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    DragRect current = {r.left, r.top, r.right, r.bottom};
    DragPoint origin = {work.left, work.top};
    DragPoint to = DraggedWindowPosition(current, origin, GetSystemMetrics(SM_CXFULLSCREEN),
                                         GetSystemMetrics(SM_CYFULLSCREEN), cursorX - pressPoint_.x,
                                         cursorY - pressPoint_.y);
    MoveWindow(window, to.x, to.y, r.right - r.left, r.bottom - r.top, TRUE);
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
