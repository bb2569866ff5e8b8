// The main window's procedure: the standard messages, the private messages
// of the controls, the build on UM_BUILD_PANEL, the drag and the fan timer.

#include "MainPanel.h"

#include "BiosUpdate.h"
#include "ClockTrial.h"
#include "GdiHolders.h"
#include "LanguageState.h"
#include "Messages.h"
#include "PanelTexts.h"
#include "WindowDrag.h"
#include "WindowUtils.h"

namespace {

const wchar_t kThisObjProperty[] = L"VexaPanelMainWnd_ThisObj";
const WORD kSkinBitmapId = 243;
const WORD kAboutMenuBitmapId = 351;
const UINT kSystemMenuSeparatorId = 69;
const UINT kSystemMenuAboutId = 70;

}  // namespace

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

LRESULT MainPanel::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            PostMessageW(window, UM_BUILD_PANEL, 0, 0);
            return 0;
        case UM_BUILD_PANEL:
            OnBuildPanel();
            return 0;
        case WM_CLOSE:
            // End task, taskkill and the Restart Manager close the window:
            // the program ends as the tray's Quit ends it, with a save when
            // the user keeps settings, instead of living on without a window
            // and holding the single-instance mutex.
            SaveHardwareSettings();
            QuitProgram();
            return 0;
        case WM_DESTROY:
            if (!ending_) HideToTray();
            return 0;
        case WM_QUERYENDSESSION:
            return MaySessionEnd(window) ? TRUE : FALSE;
        case WM_ENDSESSION:
            // After this returns the process may be ended at any moment:
            // everything a quit does happens now, within its bound.
            if (wParam) {
                SaveHardwareSettings();
                QuitProgram();
            }
            return 0;
        case WM_SETFOCUS:
            if (focusControl_) SetFocus(focusControl_);
            return 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_COMMAND:
            return OnCommand(wParam, lParam);
        case WM_SYSCOMMAND:
            return OnSysCommand(wParam, lParam);
        case WM_LBUTTONDOWN:
            SetCapture(window);
            pressPoint_.x = static_cast<short>(LOWORD(lParam));
            pressPoint_.y = static_cast<short>(HIWORD(lParam));
            break;
        case WM_MOUSEMOVE:
            if (wParam & MK_LBUTTON) DragTo(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            break;
        case WM_LBUTTONUP:
            ReleaseCapture();
            break;
        case WM_TIMER:
            if (wParam == TIMER_FAN_SYNC) fan_.OnSyncTimer();
            if (wParam == TIMER_TRAY_RETRY) tray_.OnRetryTimer();
            return 0;

        case UM_CHECK_FOCUSED:
        case UM_BUTTON_FOCUSED:
        case UM_SLIDER_FOCUSED:
        case UM_RADIO_FOCUSED:
            focusControl_ = reinterpret_cast<HWND>(lParam);
            return 0;
        case UM_CHECK_CLICKED:
            OnCheckClicked(reinterpret_cast<CheckBox*>(lParam));
            return 0;
        case UM_RADIO_CLICKED:
            OnRadioClicked(reinterpret_cast<RoundRadio*>(lParam));
            return 0;
        case UM_BUTTON_CLICKED:
            OnButtonClicked(reinterpret_cast<TextButton*>(lParam));
            return 0;
        case UM_GROUP_CLICKED:
            OnGroupClicked(reinterpret_cast<GroupButton*>(lParam));
            return 0;
        case UM_SLIDER_DRAGGED:
        case UM_SLIDER_STEPPED:
            OnSliderMoved(reinterpret_cast<SliderHandle*>(lParam));
            return 0;
        case UM_SLIDER_RELEASED:
        case UM_SLIDER_KEY_UP:
            OnSliderReleased(reinterpret_cast<SliderHandle*>(lParam));
            return 0;
        case UM_NEWS_DONE:
            if (registry.displayAboutAtStartup) ShowAboutDialog();
            return 0;
        case UM_TRAY_NOTIFY:
            return tray_.OnNotify(lParam);
        case WM_MEASUREITEM:
        case WM_DRAWITEM:
            return tray_.OnMenuItemMessage(msg, lParam);
        case UM_RELEASE_BIOS_BUTTON:
            biosGroup_.Select(nullptr);
            return 0;
        case WM_SHOWWINDOW:
            if (wParam) PostMessageW(window, UM_TELL_CLOCKS_LEFT_OUT, 0, 0);
            break;
        case UM_TELL_CLOCKS_LEFT_OUT:
            TellClocksLeftOut();
            return 0;
        case UM_CARD_ALARM:
            OnCardAlarm(wParam, lParam);
            return 0;
        case WM_POWERBROADCAST:
            OnPowerBroadcast(wParam);
            return TRUE;
    }
    // Explorer (re)started: the icon comes back.
    if (tray_.OnTaskbarCreated(msg)) return 0;
    return DefWindowProcW(window, msg, wParam, lParam);
}

LRESULT MainPanel::OnCommand(WPARAM wParam, LPARAM lParam) {
    // Accelerators arrive with a non-zero high word and do nothing.
    if (wParam > 0xFFFF) return DefWindowProcW(window, WM_COMMAND, wParam, lParam);
    if (LOWORD(wParam) == kTrayShowWindowCommand) {
        ShowWindow(window, SW_SHOWNORMAL);
    } else if (LOWORD(wParam) == kTrayQuitCommand) {
        QuitProgram();
    }
    return 0;
}

LRESULT MainPanel::OnSysCommand(WPARAM wParam, LPARAM lParam) {
    if (wParam == kSystemMenuAboutId) {
        ShowAboutDialog();
        return 0;
    }
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        HideToTray();
        return 0;
    }
    return DefWindowProcW(window, WM_SYSCOMMAND, wParam, lParam);
}

void MainPanel::OnBuildPanel() {
    shape_.window = window;
    shape_.ApplyBitmapShape(kSkinBitmapId);
    CenterWindowOnScreen(window, NULL);
    AddAboutToSystemMenu();
    BuildPanel();
    StartNewsFetch();
    StartMonitorThread();
    SetTimer(window, TIMER_FAN_SYNC, kFanSyncPeriodMs, NULL);
    PostMessageW(window, UM_TELL_CLOCKS_LEFT_OUT, 0, 0);
}

void MainPanel::AddAboutToSystemMenu() {
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu) return;
    AppendMenuW(menu, MF_SEPARATOR, kSystemMenuSeparatorId, NULL);
    AppendMenuW(menu, MF_STRING, kSystemMenuAboutId, LangText(kTextAbout));
    // The menu keeps using the bitmap for the life of the window. A colour
    // picture is the item's own bitmap: check-mark bitmaps are drawn as
    // monochrome masks on Windows.
    aboutMenuBitmap_.Reset(LoadBitmapW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(kAboutMenuBitmapId)));
    MENUITEMINFOW item = {};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_BITMAP;
    item.hbmpItem = aboutMenuBitmap_.Get();
    SetMenuItemInfoW(menu, kSystemMenuAboutId, FALSE, &item);
}

void MainPanel::Paint() {
    PaintScope paint(window);
    HDC dc = paint.Dc();
    if (!dc) return;
    if (shape_.bitmap.Get()) {
        MemoryDC source;
        ScopedSelect select(source.Get(), shape_.bitmap.Get());
        const RECT& r = paint.Rect();
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, source.Get(), r.left, r.top, SRCCOPY);
    }
    if (services_.hardware) PaintPanel(dc);
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
    DragPoint to =
        DraggedWindowPosition(current, origin, GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN),
                              cursorX - pressPoint_.x, cursorY - pressPoint_.y);
    MoveWindow(window, to.x, to.y, r.right - r.left, r.bottom - r.top, TRUE);
}
