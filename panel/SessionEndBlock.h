#pragma once
// Asks Windows not to end the session while something must not be cut
// short (a BIOS being written), with the reason Vista and later show the
// user. On XP refusing WM_QUERYENDSESSION is all there is; the functions
// are looked up at run time so that XP still starts.

#include <windows.h>

void BlockSessionEnd(HWND window, const wchar_t* reason);
void UnblockSessionEnd(HWND window);
