#include "WaitWindow.h"

#include "ProgramName.h"
#include "GdiHolders.h"
#include "HardwareObject.h"

const wchar_t kWaitWindowClass[] = L"WaitWndCls___";

namespace {

const wchar_t kThisObjProperty[] = L"WaitWndThisObj___";
const int kWidth = 200;
const int kHeight = 40;
const COLORREF kBackground = 0xF5DCC0;
const COLORREF kTextColour = 0xFF4242;

// CreateWindowExW runs WM_CREATE before it returns the handle, so the object
// travels in the creation parameters until the property is set.
struct CreateParams {
    WaitWindow* self;
    HardwareObject* hardware;
};

}  // namespace

WaitWindow::~WaitWindow() {
    Destroy();
}

bool WaitWindow::RegisterClass(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(NULL, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOWFRAME + 1);
    wc.lpszClassName = kWaitWindowClass;
    return RegisterClassExW(&wc) != 0;
}

bool WaitWindow::Create(HINSTANCE instance, HardwareObject* hardware, DoneHandler onDone) {
    hardware_ = hardware;
    onDone_ = onDone;
    CreateParams params = {this, hardware};
    int x = (GetSystemMetrics(SM_CXFULLSCREEN) - kWidth) / 2;
    int y = (GetSystemMetrics(SM_CYFULLSCREEN) - kHeight) / 2;
    window = CreateWindowExW(0, kWaitWindowClass, kProgramName, WS_POPUP | WS_VISIBLE, x, y, kWidth, kHeight, NULL,
                             NULL, instance, &params);
    if (!window) return false;
    SetPropW(window, kThisObjProperty, this);
    return true;
}

void WaitWindow::Destroy() {
    if (window && IsWindow(window)) {
        finishing_ = true;
        DestroyWindow(window);
    }
    window = nullptr;
}

void WaitWindow::Paint() {
    PaintScope paint(window);
    RECT client;
    GetClientRect(window, &client);
    BrushHolder brush(CreateSolidBrush(kBackground));
    FillRect(paint.Dc(), &client, brush.Get());
    if (text) {
        SetTextColor(paint.Dc(), kTextColour);
        SetBkMode(paint.Dc(), TRANSPARENT);
        DrawTextW(paint.Dc(), text, -1, &client, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
}

LRESULT CALLBACK WaitWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WaitWindow* self = static_cast<WaitWindow*>(GetPropW(hwnd, kThisObjProperty));
    switch (msg) {
        case WM_CREATE: {
            const CREATESTRUCTW* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            const CreateParams* params = static_cast<const CreateParams*>(cs->lpCreateParams);
            if (params && params->hardware) params->hardware->SetNotifyWindow(hwnd);
            return 0;
        }
        case WM_PAINT:
            if (self) {
                self->Paint();
                return 0;
            }
            break;
        case WM_CLOSE:
            // Alt+F4 would destroy the window and so pass for the worker's
            // signal; the window goes only when the hardware is ready.
            return 0;
        case WM_DESTROY:
            // The start-up worker posts WM_DESTROY when it is done; the real
            // destruction that follows sends another, which must not start
            // the main window a second time.
            if (self && !self->finishing_ && self->hardware_ && self->hardware_->StartupCheckDone()) {
                self->finishing_ = true;
                if (self->hardware_) self->hardware_->SetNotifyWindow(NULL);
                if (self->onDone_ && !self->onDone_()) PostQuitMessage(0);
                self->window = nullptr;
                DestroyWindow(hwnd);
                return 0;
            }
            RemovePropW(hwnd, kThisObjProperty);
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
