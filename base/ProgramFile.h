#pragma once
// The full path of one of the program's own files (the settings file, the
// card database, the fonts, the help, the BIOS backup), in the program's
// folder. Start-up makes that folder the current directory, but an open-file
// dialog or a shell extension can move it later; a full path cannot be led
// elsewhere.

#include <windows.h>

#include <stddef.h>

// The folder of the running program, without a trailing backslash. False
// (and an empty string) when the module path is too long or unreadable.
bool ProgramFolder(wchar_t* out, size_t outChars);

class ProgramFile {
public:
    // Falls back to the bare name when the full path cannot be made, which
    // start-up's current directory still resolves.
    explicit ProgramFile(const wchar_t* name);
    ProgramFile(const ProgramFile&) = delete;
    ProgramFile& operator=(const ProgramFile&) = delete;

    const wchar_t* Path() const { return path_; }

private:
    wchar_t path_[MAX_PATH];
};
