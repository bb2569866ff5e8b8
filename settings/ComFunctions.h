// COM for the logon task, bound when the task is first reached rather than
// imported: ole32 and oleaut32 would otherwise be loaded and initialised at
// every start, for a settings dialog most starts never open.
#pragma once

#include <windows.h>

#include <oleauto.h>

struct ComFunctions {
    decltype(&::CoInitializeEx) CoInitializeEx;
    decltype(&::CoUninitialize) CoUninitialize;
    decltype(&::CoCreateInstance) CoCreateInstance;
    decltype(&::SysAllocString) SysAllocString;
    decltype(&::SysFreeString) SysFreeString;
    decltype(&::SysStringLen) SysStringLen;
};

// Every function, resolved once; null when a library or a function is
// missing.
const ComFunctions* Com();
