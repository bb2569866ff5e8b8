#pragma once
// The settings dialog (resource 452): how the program starts with Windows
// and the two options kept in the registry. It shows the in-memory flags,
// not the registry, and changes both only on OK.

#include <windows.h>

#include "ProgramRegistry.h"

// Runs the dialog modally over owner. OK stores the choices into flags and
// the registry; Cancel and the close box leave both alone. Returns IDOK or
// IDCANCEL, or 0 or -1 when the dialog could not be made.
INT_PTR ShowSettingsDialogBox(HWND owner, RegistryFlags* flags);

// Which language text each of the dialog's items shows.
struct DialogItemText {
    int controlId;
    int textId;
};
extern const DialogItemText kSettingsDialogTexts[];
extern const int kSettingsDialogTextCount;
