#include "SystemLibrary.h"

#include <wchar.h>

HMODULE LoadSystemLibrary(const wchar_t* fileName) {
    wchar_t path[MAX_PATH];
    const UINT folder = GetSystemDirectoryW(path, MAX_PATH);
    if (folder == 0 || folder + 1 + wcslen(fileName) >= MAX_PATH) return nullptr;
    path[folder] = L'\\';
    wcscpy(path + folder + 1, fileName);
    return LoadLibraryW(path);
}
