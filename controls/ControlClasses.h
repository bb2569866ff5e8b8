// Registration of the skinned control classes. Start-up calls these in this
// order (the news window class goes between the group button and the
// progress bar), stopping at the first that returns false.
#pragma once

#include <windows.h>

bool RegisterRoundRadioClass(HINSTANCE instance);    // "NonFrameRadioBtn_cls"
bool RegisterCheckBoxClass(HINSTANCE instance);      // "VexaPanelCheck"
bool RegisterSliderHandleClass(HINSTANCE instance);  // "DMSliderHandle"
bool RegisterTextButtonClass(HINSTANCE instance);    // "CDunmoreBtn"
bool RegisterBitmapButtonClass(HINSTANCE instance);  // "DMBmpBtnCls"
bool RegisterStaticTextClass(HINSTANCE instance);    // "DMStc_Cls"
bool RegisterGroupButtonClass(HINSTANCE instance);   // "DMGrpBtn_Cls"
bool RegisterProgressBarClass(HINSTANCE instance);   // "CDunmoreProgress_cls"
// Takes the system "static" class's window procedure, which the slider
// track passes unhandled messages to.
bool CaptureStaticClassProc(HINSTANCE instance);
