// The private messages the skinned controls send to their parent window.
// wParam is always 0. Focus messages carry the control's window handle in
// lParam, action messages its object pointer.
#pragma once

#include <windows.h>

enum : UINT {
    UM_CHECK_CLICKED = WM_USER + 2,      // 1026, check box object
    UM_CHECK_FOCUSED = WM_USER + 6,      // 1030, check box window
    UM_BUTTON_CLICKED = WM_USER + 8,     // 1032, text button object
    UM_BUTTON_FOCUSED = WM_USER + 9,     // 1033, button window
    UM_SLIDER_FOCUSED = WM_USER + 11,    // 1035, slider handle window
    UM_GROUP_CLICKED = WM_USER + 13,     // 1037, group button object
    UM_RADIO_FOCUSED = WM_USER + 14,     // 1038, radio window
    UM_RADIO_CLICKED = WM_USER + 15,     // 1039, radio object
    UM_SLIDER_DRAGGED = WM_USER + 16,    // 1040, slider handle object
    UM_SLIDER_RELEASED = WM_USER + 17,   // 1041, slider handle object
    UM_SLIDER_STEPPED = WM_USER + 18,    // 1042, slider handle object
    UM_SLIDER_KEY_UP = WM_USER + 19,     // 1043, slider handle object
    UM_PROGRESS_DESTROY = WM_USER + 21,  // 1045, sent to the bar itself
};
