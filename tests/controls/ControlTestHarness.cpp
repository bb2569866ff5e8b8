#include "ControlTestHarness.h"

#include <cstring>

#include "ControlClasses.h"

namespace {

const wchar_t kParentClass[] = L"ControlTestParent";

}  // namespace

void EnsureControlClasses() {
    static bool done = false;
    if (done) return;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterRoundRadioClass(instance);
    RegisterCheckBoxClass(instance);
    RegisterSliderHandleClass(instance);
    RegisterTextButtonClass(instance);
    RegisterBitmapButtonClass(instance);
    RegisterStaticTextClass(instance);
    RegisterGroupButtonClass(instance);
    RegisterProgressBarClass(instance);
    CaptureStaticClassProc(instance);

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &RecordingParent::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kParentClass;
    RegisterClassExW(&wc);
    done = true;
}

RecordingParent::RecordingParent(int width, int height) {
    EnsureControlClasses();
    window_ = CreateWindowExW(WS_EX_TOPMOST, kParentClass, L"test parent", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40,
                              40, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    SetForegroundWindow(window_);
    SetFocus(window_);
    Pump();
}

RecordingParent::~RecordingParent() {
    if (GetCapture()) ReleaseCapture();
    DestroyWindow(window_);
    Pump();
}

std::vector<UINT> RecordingParent::Messages() const {
    std::vector<UINT> messages;
    for (const Notification& n : notes_)
        messages.push_back(n.message);
    return messages;
}

int RecordingParent::Count(UINT message) const {
    int count = 0;
    for (const Notification& n : notes_)
        count += n.message == message;
    return count;
}

LRESULT CALLBACK RecordingParent::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<RecordingParent*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && ((msg >= WM_USER && msg < WM_USER + 100) || msg == WM_DESTROY))
        self->notes_.push_back({msg, wParam, lParam});
    if (msg >= WM_USER && msg < WM_USER + 100) return 0;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void Pump() {
    for (int round = 0; round < 3; round++) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (round < 2) Sleep(1);
    }
}

void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

void PostMouse(HWND window, UINT message, int x, int y, WPARAM keys) {
    PostMessageW(window, message, keys, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    Pump();
}

void PostKey(HWND window, UINT message, WPARAM key) {
    PostMessageW(window, message, key, 1);
    Pump();
}

bool NeedsPaint(HWND window) {
    return GetUpdateRect(window, nullptr, FALSE) != FALSE;
}

COLORREF ClientPixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

int CountClientPixels(HWND window, COLORREF colour) {
    RECT rc;
    GetClientRect(window, &rc);
    HDC dc = GetDC(window);
    int count = 0;
    for (int y = 0; y < rc.bottom; y++)
        for (int x = 0; x < rc.right; x++)
            count += GetPixel(dc, x, y) == colour;
    ReleaseDC(window, dc);
    return count;
}

HBITMAP MakeBitmapFromRows(int width, int height, const unsigned char* bgrRows, int bits) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    // DIB rows are DWORD aligned; the source rows are packed.
    const int dibStride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> dib(static_cast<size_t>(dibStride) * height);
    for (int y = 0; y < height; y++)
        std::memcpy(&dib[static_cast<size_t>(y) * dibStride], bgrRows + y * width * 3, width * 3);
    HBITMAP bitmap = CreateBitmap(width, height, 1, bits, nullptr);
    HDC screen = GetDC(nullptr);
    SetDIBits(screen, bitmap, 0, height, dib.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}
