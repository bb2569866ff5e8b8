#pragma once
// The program's life in the notification area: the tray icon, its tip and
// its menu. Hiding the window to the tray and Quit are the panel's; the
// menu's commands come back to it as WM_COMMAND.

#include <windows.h>
#include <shellapi.h>

#include "OwnerDrawnMenu.h"
#include "PanelContext.h"

// The tray menu's commands.
const UINT kTrayShowWindowCommand = 200;
const UINT kTraySeparatorCommand = 201;
const UINT kTrayQuitCommand = 202;

class TraySection {
public:
    explicit TraySection(const PanelContext& context) : context_(context) {}
    TraySection(const TraySection&) = delete;
    TraySection& operator=(const TraySection&) = delete;

    // Fills the icon's record and builds the menu; no icon is added yet.
    void Prepare();
    void AddIcon();
    void OnRetryTimer();
    // Explorer (re)started, announced by the message Prepare registered:
    // true when msg is that message, after the icon has been added again.
    bool OnTaskbarCreated(UINT msg);
    LRESULT OnNotify(LPARAM mouseMessage);
    LRESULT OnMenuItemMessage(UINT msg, LPARAM lParam);
    // The tip, on one line; the icon shows it at once when it is there.
    void SetTip(const wchar_t* tip);
    // The program is quitting: no more retries, nothing is added again.
    void Close();
    void RemoveIcon();

private:
    void LetExplorerRestartsThrough();

    const PanelContext& context_;
    OwnerDrawnMenu menu_;
    NOTIFYICONDATAW icon_ = {};
    bool iconShown_ = false;
    bool closed_ = false;
    int retriesLeft_ = 0;
    // Explorer announces a restart with this message; the icon must be
    // added again then.
    UINT taskbarCreated_ = 0;
};
