#pragma once

#include <windows.h>

#include "RunValueText.h"

// The program's registry settings, all under HKEY_LOCAL_MACHINE so that every
// user of the machine shares them: two option flags under "Software\VexaPanel"
// and the start-with-Windows value "VexaPanel" under the Run key. Failures are
// silent for the user; the results exist for callers that care and for tests.

// The in-memory copy of the settings, held by the main panel.
struct RegistryFlags {
    DWORD restoreUserSettings = 0;    // save the hardware settings at close, apply at start
    DWORD displayAboutAtStartup = 0;  // open the About dialog after the start-up news download
    int runValueMode = kRunModeNone;  // 1 (no Run value) or 2..5
};

extern const wchar_t kProgramKeyPath[];  // "Software\VexaPanel"
extern const wchar_t kRunKeyPath[];      // the system's Run key
extern const wchar_t kRunValueName[];    // "VexaPanel"
extern const wchar_t kRestoreUserSettingsName[];
extern const wchar_t kDisplayAboutAtStartupName[];

// Writes a value under "Software\VexaPanel" of root, creating the key when it
// cannot be opened.
bool WriteProgramValue(const wchar_t* name, const void* data, DWORD dataSize, DWORD type,
                       HKEY root = HKEY_LOCAL_MACHINE);

// Reads a value under "Software\VexaPanel" of root (never creating the key).
// On entry *dataSize is the buffer size; on success it is the value's size
// and *type its type. On failure nothing the caller passed is changed.
bool ReadProgramValue(const wchar_t* name, void* data, DWORD* dataSize, DWORD* type, HKEY root = HKEY_LOCAL_MACHINE);

// Loads both option flags; a flag whose value is absent, not a 4-byte
// REG_DWORD or unreadable stays as it was (0 in a fresh RegistryFlags).
void LoadRegistryFlags(RegistryFlags& flags);

// Store the flag in memory and as a REG_DWORD 1 or 0. True when written.
bool SetRestoreUserSettings(RegistryFlags& flags, bool on);
bool SetDisplayAboutAtStartup(RegistryFlags& flags, bool on);

// Writes the Run value for modes 2 to 5 with the running program's path;
// other modes write nothing. True when written.
bool WriteRunValue(int mode);
// The same with the program path given, for callers that know it better.
bool WriteRunValue(int mode, const wchar_t* programPath);

// Deletes the Run value; nothing happens when the Run key cannot be opened.
// True when the value is gone afterwards (deleted or never there).
bool DeleteRunValue();

// Refreshes flags.runValueMode from the Run value. An unreadable or absent
// value, one of another type than text, or text without a word leaves the
// mode as it was; an unrecognised word sets mode 1 and deletes the value.
void ReadRunValue(RegistryFlags& flags);

// Where the start choice goes: the Run value, or the logon task that an
// elevated program on Vista and later needs (see LogonTask.h).
enum class StartEntry { RunValue, LogonTask };

// ReadRunValue, then the logon task, which wins when it is there: the mode
// of whichever entry will start the program. A task with an unrecognised
// word sets mode 1 and is deleted; one whose word cannot be read leaves the
// mode as the Run value left it.
void ReadStartChoice(RegistryFlags& flags);
// The logon task's part of that alone. Reaching the scheduler loads COM and
// its proxies (megabytes), so the panel asks only when the settings dialog
// opens, after the build read the Run value.
void ReadLogonTaskChoice(RegistryFlags& flags);

// The settings dialog's choice of start mode: 1 deletes the Run value and the
// logon task, 2..5 write the entry StartsThroughLogonTask() picks (with
// programPath, or the running program's path when null) and delete the
// other. The in-memory mode is what is then stored, so a reopened dialog
// never shows a choice that could not be written.
void ApplyRunChoice(RegistryFlags& flags, int mode, const wchar_t* programPath = nullptr);
// The same into the entry given. A task the scheduler refuses falls back to
// the Run value, which at least starts the program for other users.
void ApplyRunChoiceTo(RegistryFlags& flags, int mode, const wchar_t* programPath, StartEntry entry);

// Deletes the Run value and the logon task. True when neither is left.
bool DeleteStartEntries();
