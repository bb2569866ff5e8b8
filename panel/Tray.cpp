// The program's life in the notification area: the tray icon and its menu,
// hiding the window to the tray, and Quit.

#include "MainPanel.h"

#include <shellapi.h>

#include "LanguageState.h"
#include "Messages.h"
#include "ThermalCalibration.h"
#include "ClockTrial.h"

namespace {

const UINT kTrayIconId = 10;
const UINT kMainWindowCommand = 200;
const UINT kSeparatorCommand = 201;
const UINT kQuitCommand = 202;
const int kTextMainWindow = 83;
const int kTextQuit = 84;
const WORD kMainWindowImages[2] = {449, 448};
const WORD kQuitImages[2] = {450, 451};
const int kTrayRetries = 60;  // every 2 s for 2 minutes
const UINT kTrayRetryPeriodMs = 2000;

}  // namespace

void MainPanel::PrepareTray() {
    // The first-version record: no balloon fields, as on every system the
    // program runs on.
    trayIcon_ = NOTIFYICONDATAW();
    trayIcon_.cbSize = NOTIFYICONDATAW_V1_SIZE;
    trayIcon_.hWnd = window;
    trayIcon_.uID = kTrayIconId;
    trayIcon_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayIcon_.uCallbackMessage = UM_TRAY_NOTIFY;
    trayIcon_.hIcon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON));
    lstrcpynW(trayIcon_.szTip, L"Vexa Panel", 64);
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    LetExplorerRestartsThrough();
    if (!trayMenu_.Create()) return;
    trayMenu_.Insert(kMainWindowCommand, kMainWindowImages[0], kMainWindowImages[1], 0, LangText(kTextMainWindow), 0,
                     true, OwnerDrawnMenu::kNormal);
    trayMenu_.Insert(kSeparatorCommand, 0, 0, 0, nullptr, 1, true, OwnerDrawnMenu::kSeparator);
    trayMenu_.Insert(kQuitCommand, kQuitImages[0], kQuitImages[1], 0, LangText(kTextQuit), 2, true,
                     OwnerDrawnMenu::kNormal);
}

void MainPanel::AddTrayIcon() {
    if (ending_) return;
    // Adding an icon that is there already changes nothing.
    if (Shell_NotifyIconW(NIM_ADD, &trayIcon_)) {
        trayIconShown_ = true;
        trayRetriesLeft_ = 0;
        KillTimer(window, TIMER_TRAY_RETRY);
        return;
    }
    if (trayIconShown_) return;
    // Started at logon before the shell is ready: without an icon there is
    // no way back to the window, so the add is tried again for a while.
    if (trayRetriesLeft_ == 0) {
        trayRetriesLeft_ = kTrayRetries;
        SetTimer(window, TIMER_TRAY_RETRY, kTrayRetryPeriodMs, NULL);
    }
}

void MainPanel::OnTrayRetryTimer() {
    if (trayIconShown_ || trayRetriesLeft_ <= 1) {
        trayRetriesLeft_ = 0;
        KillTimer(window, TIMER_TRAY_RETRY);
    } else {
        trayRetriesLeft_--;
    }
    if (!trayIconShown_) AddTrayIcon();
}

void MainPanel::LetExplorerRestartsThrough() {
    // An elevated panel on Vista and later would not hear an unelevated
    // Explorer's restart; ChangeWindowMessageFilter is absent on XP.
    typedef BOOL(WINAPI * ChangeFilterFn)(UINT, DWORD);
    HMODULE user = GetModuleHandleW(L"user32.dll");
    ChangeFilterFn change = user ? reinterpret_cast<ChangeFilterFn>(
                                       reinterpret_cast<void*>(GetProcAddress(user, "ChangeWindowMessageFilter")))
                                 : nullptr;
    const DWORD kAllowMessage = 1;  // MSGFLT_ADD
    if (change && taskbarCreated_) change(taskbarCreated_, kAllowMessage);
}

void MainPanel::HideToTray() {
    SaveHardwareSettings();
    ShowWindow(window, SW_HIDE);
    AddTrayIcon();
}

void MainPanel::QuitProgram() {
    if (ending_) return;
    ending_ = true;
    // Windows gives a program at the end of a session a few seconds, and a
    // user who chose Quit expects it gone: the whole quit stays within this.
    const DWORD kQuitWaitMs = 2600;
    const DWORD start = GetTickCount();
    KillTimer(window, TIMER_TRAY_RETRY);
    ShowWindow(window, SW_HIDE);
    // Asked now, the monitor thread winds down while the rest is done.
    if (monitorThreadId) PostThreadMessageW(monitorThreadId, WM_QUIT, 0, 0);
    // A Test walk still running is cancelled first: it talks to this
    // thread's windows and must not be left half way.
    StopWorker(kQuitWaitMs / 2);
    CalibrateThermalOffset(Hardware());
    // The quit goes on even when a thread does not end in time; start-up
    // then ends the process without tearing anything down.
    const DWORD spent = GetTickCount() - start;
    // A program that ends by itself was not brought down by its clocks: a
    // trial still open ends with it.
    if (StopBackgroundWork(spent < kQuitWaitMs ? kQuitWaitMs - spent : 0) && clockTrialOpen_) EndClockTrial();
    Shell_NotifyIconW(NIM_DELETE, &trayIcon_);
    trayIconShown_ = false;
    PostQuitMessage(0);
}

LRESULT MainPanel::OnTrayNotify(LPARAM mouseMessage) {
    if (mouseMessage == WM_LBUTTONDOWN) {
        ShowWindow(window, SW_SHOWNORMAL);
    } else if (mouseMessage == WM_RBUTTONDOWN) {
        SetForegroundWindow(window);
        POINT cursor;
        GetCursorPos(&cursor);
        TrackPopupMenuEx(trayMenu_.Handle(), TPM_BOTTOMALIGN, cursor.x, cursor.y, window, NULL);
        // A notification icon's menu closes properly the next time only
        // after the window has had a message of its own.
        PostMessageW(window, WM_NULL, 0, 0);
    }
    return 0;
}

LRESULT MainPanel::OnMenuItemMessage(UINT msg, LPARAM lParam) {
    if (msg == WM_MEASUREITEM) {
        MEASUREITEMSTRUCT* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        OwnerDrawnMenu* menu = reinterpret_cast<OwnerDrawnMenu*>(measure->itemData);
        if (!menu) return 1;
        menu->Measure(measure);
        return 1;
    }
    const DRAWITEMSTRUCT* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    OwnerDrawnMenu* menu = reinterpret_cast<OwnerDrawnMenu*>(draw->itemData);
    if (!menu) return 1;
    menu->Draw(draw);
    return 1;
}
