#include "ProgramFile.h"

#include <wchar.h>

#include "WindowUtils.h"

bool ProgramFolder(wchar_t* out, size_t outChars) {
    if (!out || outChars == 0) return false;
    out[0] = L'\0';
    wchar_t module[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH + 1);
    // A length filling the buffer is a cut path (unterminated on XP).
    if (length == 0 || length > MAX_PATH) return false;
    module[length] = L'\0';
    CutToFolder(module);
    const size_t folder = wcslen(module);
    if (folder + 1 > outChars) return false;
    wmemcpy(out, module, folder + 1);
    return true;
}

ProgramFile::ProgramFile(const wchar_t* name) {
    path_[0] = L'\0';
    if (!name) return;
    const size_t nameLength = wcslen(name);
    const bool folderKnown = ProgramFolder(path_, MAX_PATH);
    const size_t folder = wcslen(path_);
    if (folderKnown && folder + 1 + nameLength < MAX_PATH) {
        path_[folder] = L'\\';
        wmemcpy(path_ + folder + 1, name, nameLength + 1);
        return;
    }
    if (nameLength < MAX_PATH) wmemcpy(path_, name, nameLength + 1);
}
