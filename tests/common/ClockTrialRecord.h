#pragma once
// A program a test killed may leave its clock trial open in the registry;
// the next test's start would then leave the saved clocks out. Each start
// of the program under test begins from a machine without that record,
// unless the test is about the record itself.

#include <windows.h>

inline void ForgetClockTrial() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\VexaPanel", 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, L"ClocksOnTrial");
    RegDeleteValueW(key, L"ClocksLeftOut");
    RegCloseKey(key);
}
