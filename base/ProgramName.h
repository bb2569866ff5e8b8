#pragma once
// The program's name as the user sees it: window and message-box captions,
// the tray tip, the wait window.

inline const wchar_t kProgramName[] = L"Vexa Panel";
