// A system library that one feature alone needs (the BIOS file dialog, the
// news download, the logon task) is loaded when that feature first runs,
// not at start: every imported library, and all it imports in turn, is
// loaded and initialised before the program's first line runs.
#pragma once

#include <windows.h>

// The module of the system library `fileName`, loaded from the system
// folder, never from the program's or the current folder; null when it
// cannot be loaded. A loaded module stays for the life of the process, as
// an imported one would.
HMODULE LoadSystemLibrary(const wchar_t* fileName);

// Looks `name` up in `module` (which may be null) into *function; false
// when it is not there.
template <typename Fn>
bool FindLibraryFunction(HMODULE module, const char* name, Fn* function) {
    *function = module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
    return *function != nullptr;
}
