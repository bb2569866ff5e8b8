// kernel32's functions that not every supported Windows has are looked up by
// name at run time, so that the program still starts where one is missing.
#pragma once

#include <windows.h>

// The function, or null where this Windows's kernel32 lacks it. kernel32 is
// in every process from its start, so it is neither loaded nor freed here.
template <typename Fn>
Fn Kernel32Function(const char* name) {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel) {
        return nullptr;
    }
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(kernel, name)));
}
