#include "MainPanel.h"

const wchar_t kMainWindowClass[] = L"VexaPanelMainWnd_Cls";

namespace {

const int kAppIconId = 140;

}  // namespace

MainPanel::MainPanel() {
    LoadRegistryFlags(registry);
}

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
    HWND hwnd = CreateWindowExW(0, kMainWindowClass, L"Vexa Panel", WS_POPUP | WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX,
                                0, 0, 1, 1, NULL, NULL, instance, this);
    if (!hwnd) return false;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    window = hwnd;
    return true;
}

MainPanel::~MainPanel() {
    // Start-up stops the thread before teardown; this is the last guard.
    StopBackgroundWork();
}

HFONT MainPanel::Font(int number) const {
    return (number >= 1 && number <= kPanelFontCount) ? services_.fonts[number - 1] : nullptr;
}
