#pragma once
// The main window's private messages. The controls' own notifications come
// from the control library; the rest are the application's.

#include <windows.h>

#include "ControlMessages.h"

enum : UINT {
    UM_BUILD_PANEL = WM_USER + 1,     // 1025, posted to itself at WM_CREATE
    UM_NEWS_DONE = WM_USER + 20,      // 1044, news download finished
    UM_CANCEL_WORKER = WM_USER + 23,  // 1047, thread message to the overclocking worker
    UM_TRAY_NOTIFY = WM_USER + 45,    // 1069, tray icon callback
    // WM_USER + 46 is the start-up worker's thread message, kUmHardwareReady
    // (HardwareObject.h).
};

// The BIOS update's worker asks the interface thread to release the BIOS
// button (the program's own range, not one of the controls' messages).
const UINT UM_RELEASE_BIOS_BUTTON = WM_APP + 1;
// Posted to the main window when it shows: tells once why saved clocks were
// left out at a start.
const UINT UM_TELL_CLOCKS_LEFT_OUT = WM_APP + 2;
// From the monitor thread: wParam a card, lParam its GuardEvent mask.
const UINT UM_CARD_ALARM = WM_APP + 3;

// Timer of the 1500 ms fan sync.
const UINT_PTR TIMER_FAN_SYNC = 77;
const UINT kFanSyncPeriodMs = 1500;
// Timer that tries the tray icon again while the shell is not ready.
const UINT_PTR TIMER_TRAY_RETRY = 78;
