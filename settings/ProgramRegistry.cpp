#include "ProgramRegistry.h"

#include "HandleHolders.h"
#include "LogonTask.h"

#include <stdlib.h>
#include <string.h>

const wchar_t kProgramKeyPath[] = L"Software\\VexaPanel";
const wchar_t kRunKeyPath[] = L"Software\\Microsoft\\windows\\CurrentVersion\\Run";
const wchar_t kRunValueName[] = L"VexaPanel";
const wchar_t kRestoreUserSettingsName[] = L"RestoreUserSettings";
const wchar_t kDisplayAboutAtStartupName[] = L"DisplayAboutDialogAtStartup";

namespace {

// The Run value is read into this many bytes; anything longer is not ours.
const DWORD kRunValueReadBytes = 512;

// The key is taken only when the call succeeds: a failed call may leave
// anything in its out-parameter.
bool OpenKey(HKEY root, const wchar_t* path, REGSAM access, RegistryKeyHolder* key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, path, 0, access, &opened) != ERROR_SUCCESS) return false;
    key->Reset(opened);
    return true;
}

// Opens the key, creating it when it is missing.
bool CreateKey(HKEY root, const wchar_t* path, REGSAM access, RegistryKeyHolder* key) {
    HKEY created = nullptr;
    if (RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &created, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    key->Reset(created);
    return true;
}

void LoadFlag(const wchar_t* name, DWORD& flag) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = REG_NONE;
    if (!ReadProgramValue(name, &value, &size, &type)) {
        return;
    }
    // A value of another type or size was not written by us: keep the default.
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        flag = value ? 1 : 0;
    }
}

bool RunningProgramPath(wchar_t (&path)[MAX_PATH + 1]) {
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    // n equal to the buffer size means the path was cut (and, on XP, not
    // terminated); such a path would start nothing.
    if (n == 0 || n >= MAX_PATH + 1) return false;
    path[n] = L'\0';
    return true;
}

bool StoreFlag(const wchar_t* name, DWORD& flag, bool on) {
    flag = on ? 1 : 0;
    DWORD value = flag;
    return WriteProgramValue(name, &value, sizeof(value), REG_DWORD);
}

}  // namespace

bool WriteProgramValue(const wchar_t* name, const void* data, DWORD dataSize, DWORD type, HKEY root) {
    RegistryKeyHolder key;
    if (!OpenKey(root, kProgramKeyPath, KEY_SET_VALUE, &key) &&
        !CreateKey(root, kProgramKeyPath, KEY_SET_VALUE, &key)) {
        return false;
    }
    return RegSetValueExW(key.Get(), name, 0, type, static_cast<const BYTE*>(data), dataSize) == ERROR_SUCCESS;
}

bool ReadProgramValue(const wchar_t* name, void* data, DWORD* dataSize, DWORD* type, HKEY root) {
    if (!data || !dataSize || !type || *dataSize == 0) {
        return false;
    }
    RegistryKeyHolder key;
    if (!OpenKey(root, kProgramKeyPath, KEY_QUERY_VALUE, &key)) {
        return false;
    }
    // The system may scribble over the buffer when the value does not fit, so
    // query into a copy and hand it over only on success.
    DWORD size = *dataSize;
    BYTE* copy = static_cast<BYTE*>(malloc(size));
    if (!copy) {
        return false;
    }
    DWORD valueType = REG_NONE;
    bool ok = RegQueryValueExW(key.Get(), name, nullptr, &valueType, copy, &size) == ERROR_SUCCESS && size <= *dataSize;
    if (ok) {
        memcpy(data, copy, size);
        *dataSize = size;
        *type = valueType;
    }
    free(copy);
    return ok;
}

void LoadRegistryFlags(RegistryFlags& flags) {
    LoadFlag(kRestoreUserSettingsName, flags.restoreUserSettings);
    LoadFlag(kDisplayAboutAtStartupName, flags.displayAboutAtStartup);
}

bool SetRestoreUserSettings(RegistryFlags& flags, bool on) {
    return StoreFlag(kRestoreUserSettingsName, flags.restoreUserSettings, on);
}

bool SetDisplayAboutAtStartup(RegistryFlags& flags, bool on) {
    return StoreFlag(kDisplayAboutAtStartupName, flags.displayAboutAtStartup, on);
}

bool WriteRunValue(int mode) {
    wchar_t path[MAX_PATH + 1];
    return RunModeWord(mode) && RunningProgramPath(path) && WriteRunValue(mode, path);
}

bool WriteRunValue(int mode, const wchar_t* programPath) {
    wchar_t text[kRunValueBufferChars];
    size_t chars = ComposeRunValue(programPath, mode, text, kRunValueBufferChars);
    if (chars == 0) {
        return false;
    }
    RegistryKeyHolder key;
    if (!CreateKey(HKEY_LOCAL_MACHINE, kRunKeyPath, KEY_SET_VALUE, &key)) {
        return false;
    }
    // The length counts the characters only, not the terminating NUL.
    DWORD bytes = static_cast<DWORD>(chars * sizeof(wchar_t));
    return RegSetValueExW(key.Get(), kRunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes) ==
           ERROR_SUCCESS;
}

bool DeleteRunValue() {
    RegistryKeyHolder key;
    if (!OpenKey(HKEY_LOCAL_MACHINE, kRunKeyPath, KEY_SET_VALUE, &key)) {
        return false;
    }
    LONG rc = RegDeleteValueW(key.Get(), kRunValueName);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

void ReadRunValue(RegistryFlags& flags) {
    // One spare character so that text of any length the query returns can
    // be terminated here, whether or not it came with its own NUL.
    wchar_t text[kRunValueReadBytes / sizeof(wchar_t) + 1];
    DWORD size = kRunValueReadBytes;
    DWORD type = REG_NONE;
    {
        // Read access only: users without the right to change the Run key
        // still learn how the program starts.
        RegistryKeyHolder key;
        if (!OpenKey(HKEY_LOCAL_MACHINE, kRunKeyPath, KEY_QUERY_VALUE, &key)) {
            return;
        }
        if (RegQueryValueExW(key.Get(), kRunValueName, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
            ERROR_SUCCESS) {
            return;
        }
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        return;
    }
    if (size > kRunValueReadBytes) {
        size = kRunValueReadBytes;
    }
    size_t chars = size / sizeof(wchar_t);  // an odd last byte is no character
    text[chars] = L'\0';
    int mode = flags.runValueMode;
    switch (ParseRunValueText(text, chars, &mode)) {
        case RunValueWord::None:
            return;
        case RunValueWord::Recognised:
            flags.runValueMode = mode;
            return;
        case RunValueWord::Unrecognised:
            flags.runValueMode = kRunModeNone;
            DeleteRunValue();
            return;
    }
}

void ReadStartChoice(RegistryFlags& flags) {
    ReadRunValue(flags);
    ReadLogonTaskChoice(flags);
}

void ReadLogonTaskChoice(RegistryFlags& flags) {
    wchar_t arguments[kRunValueMaxWordBytes + 2];
    if (!ReadLogonTaskArguments(arguments, sizeof(arguments) / sizeof(arguments[0])) || !arguments[0]) return;
    int mode = flags.runValueMode;
    if (ParseRunModeWord(arguments, lstrlenW(arguments), &mode) == RunValueWord::Recognised) {
        flags.runValueMode = mode;
        return;
    }
    flags.runValueMode = kRunModeNone;
    DeleteLogonTask();
}

bool DeleteStartEntries() {
    bool runValueGone = DeleteRunValue();
    return DeleteLogonTask() && runValueGone;
}

void ApplyRunChoice(RegistryFlags& flags, int mode, const wchar_t* programPath) {
    ApplyRunChoiceTo(flags, mode, programPath, StartsThroughLogonTask() ? StartEntry::LogonTask : StartEntry::RunValue);
}

namespace {

bool WriteStartEntry(int mode, const wchar_t* programPath, StartEntry entry) {
    wchar_t path[MAX_PATH + 1];
    if (!programPath) {
        if (!RunningProgramPath(path)) return false;
        programPath = path;
    }
    // Only one entry may start the program, or a logon would start it twice.
    if (entry == StartEntry::LogonTask && RegisterLogonTask(mode, programPath)) {
        DeleteRunValue();
        return true;
    }
    // A task this user may not delete still starts the program: then the
    // choice did not take.
    return WriteRunValue(mode, programPath) && DeleteLogonTask();
}

}  // namespace

void ApplyRunChoiceTo(RegistryFlags& flags, int mode, const wchar_t* programPath, StartEntry entry) {
    bool done = false;
    if (mode == kRunModeNone) {
        done = DeleteStartEntries();
    } else if (RunModeWord(mode)) {
        done = WriteStartEntry(mode, programPath, entry);
    } else {
        return;
    }
    if (done) {
        flags.runValueMode = mode;
        return;
    }
    // Refused (a path too long to write, no right to the key): whatever is
    // still stored is what will start at logon.
    flags.runValueMode = kRunModeNone;
    ReadStartChoice(flags);
}
