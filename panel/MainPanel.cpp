// The main window's class and creation, and the two ways out of sight:
// hiding to the tray, and Quit.

#include "MainPanel.h"

#include "ClockTrial.h"
#include "Messages.h"
#include "ProgramName.h"
#include "ThermalCalibration.h"

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
    HWND hwnd = CreateWindowExW(0, kMainWindowClass, kProgramName, WS_POPUP | WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX,
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

void MainPanel::HideToTray() {
    SaveHardwareSettings();
    ShowWindow(window, SW_HIDE);
    tray_.AddIcon();
}

void MainPanel::QuitProgram() {
    if (ending_) return;
    ending_ = true;
    // Windows gives a program at the end of a session a few seconds, and a
    // user who chose Quit expects it gone: the whole quit stays within this.
    const DWORD kQuitWaitMs = 2600;
    const DWORD start = GetTickCount();
    tray_.Close();
    ShowWindow(window, SW_HIDE);
    // Asked now, the monitor thread winds down while the rest is done.
    if (monitorThreadId) PostThreadMessageW(monitorThreadId, WM_QUIT, 0, 0);
    // A Test walk still running is cancelled first: it talks to this
    // thread's windows and must not be left half way.
    overclock_.StopWorker(kQuitWaitMs / 2);
    CalibrateThermalOffset(Hardware());
    // The quit goes on even when a thread does not end in time; start-up
    // then ends the process without tearing anything down.
    const DWORD spent = GetTickCount() - start;
    // A program that ends by itself was not brought down by its clocks: a
    // trial still open ends with it.
    if (StopBackgroundWork(spent < kQuitWaitMs ? kQuitWaitMs - spent : 0) && clockTrialOpen_) EndClockTrial();
    tray_.RemoveIcon();
    PostQuitMessage(0);
}
