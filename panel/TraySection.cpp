#include "TraySection.h"

#include "LanguageState.h"
#include "Messages.h"
#include "ProgramName.h"

namespace {

const UINT kTrayIconId = 10;
const int kTextMainWindow = 83;
const int kTextQuit = 84;
const WORD kMainWindowImages[2] = {449, 448};
const WORD kQuitImages[2] = {450, 451};
const int kTrayRetries = 60;  // every 2 s for 2 minutes
const UINT kTrayRetryPeriodMs = 2000;
// The first-version tray record holds 64 characters.
const int kTipChars = 64;

}  // namespace

void TraySection::Prepare() {
    const HWND window = context_.Window();
    // The first-version record: no balloon fields, as on every system the
    // program runs on.
    icon_ = NOTIFYICONDATAW();
    icon_.cbSize = NOTIFYICONDATAW_V1_SIZE;
    icon_.hWnd = window;
    icon_.uID = kTrayIconId;
    icon_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon_.uCallbackMessage = UM_TRAY_NOTIFY;
    icon_.hIcon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON));
    lstrcpynW(icon_.szTip, kProgramName, kTipChars);
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    LetExplorerRestartsThrough();
    if (!menu_.Create()) return;
    menu_.Insert(kTrayShowWindowCommand, kMainWindowImages[0], kMainWindowImages[1], 0, LangText(kTextMainWindow), 0,
                 true, OwnerDrawnMenu::kNormal);
    menu_.Insert(kTraySeparatorCommand, 0, 0, 0, nullptr, 1, true, OwnerDrawnMenu::kSeparator);
    menu_.Insert(kTrayQuitCommand, kQuitImages[0], kQuitImages[1], 0, LangText(kTextQuit), 2, true,
                 OwnerDrawnMenu::kNormal);
}

void TraySection::AddIcon() {
    if (closed_) return;
    // Adding an icon that is there already changes nothing.
    if (Shell_NotifyIconW(NIM_ADD, &icon_)) {
        iconShown_ = true;
        retriesLeft_ = 0;
        KillTimer(context_.Window(), TIMER_TRAY_RETRY);
        return;
    }
    if (iconShown_) return;
    // Started at logon before the shell is ready: without an icon there is
    // no way back to the window, so the add is tried again for a while.
    if (retriesLeft_ == 0) {
        retriesLeft_ = kTrayRetries;
        SetTimer(context_.Window(), TIMER_TRAY_RETRY, kTrayRetryPeriodMs, NULL);
    }
}

void TraySection::OnRetryTimer() {
    if (iconShown_ || retriesLeft_ <= 1) {
        retriesLeft_ = 0;
        KillTimer(context_.Window(), TIMER_TRAY_RETRY);
    } else {
        retriesLeft_--;
    }
    if (!iconShown_) AddIcon();
}

bool TraySection::OnTaskbarCreated(UINT msg) {
    if (!taskbarCreated_ || msg != taskbarCreated_) return false;
    // The icon comes back, whether or not an earlier add had worked.
    iconShown_ = false;
    AddIcon();
    return true;
}

void TraySection::LetExplorerRestartsThrough() {
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

void TraySection::SetTip(const wchar_t* tip) {
    // A tip is one line.
    int n = 0;
    for (; n < kTipChars - 1 && tip[n]; n++)
        icon_.szTip[n] = tip[n] == L'\n' ? L' ' : tip[n];
    icon_.szTip[n] = L'\0';
    if (iconShown_) Shell_NotifyIconW(NIM_MODIFY, &icon_);
}

void TraySection::Close() {
    closed_ = true;
    KillTimer(context_.Window(), TIMER_TRAY_RETRY);
}

void TraySection::RemoveIcon() {
    Shell_NotifyIconW(NIM_DELETE, &icon_);
    iconShown_ = false;
}

LRESULT TraySection::OnNotify(LPARAM mouseMessage) {
    const HWND window = context_.Window();
    if (mouseMessage == WM_LBUTTONDOWN) {
        ShowWindow(window, SW_SHOWNORMAL);
    } else if (mouseMessage == WM_RBUTTONDOWN) {
        SetForegroundWindow(window);
        POINT cursor;
        GetCursorPos(&cursor);
        TrackPopupMenuEx(menu_.Handle(), TPM_BOTTOMALIGN, cursor.x, cursor.y, window, NULL);
        // A notification icon's menu closes properly the next time only
        // after the window has had a message of its own.
        PostMessageW(window, WM_NULL, 0, 0);
    }
    return 0;
}

// The item data is a pointer any sender can fill in: only this section's
// own menu is measured or drawn.
LRESULT TraySection::OnMenuItemMessage(UINT msg, LPARAM lParam) {
    if (msg == WM_MEASUREITEM) {
        MEASUREITEMSTRUCT* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (reinterpret_cast<OwnerDrawnMenu*>(measure->itemData) == &menu_) menu_.Measure(measure);
        return 1;
    }
    const DRAWITEMSTRUCT* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (reinterpret_cast<OwnerDrawnMenu*>(draw->itemData) == &menu_) menu_.Draw(draw);
    return 1;
}
