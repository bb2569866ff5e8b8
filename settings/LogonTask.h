#pragma once

#include <windows.h>

// Start with Windows for an administrator on Vista and later. There, at
// logon, Windows starts no Run-key program that asks for elevation, and the
// program's manifest asks for the highest level the user has: an
// administrator's Run value silently never starts. An elevated program
// registers a Task Scheduler 2.0 logon task instead, with the highest
// privileges and the Run value's start-mode word as its argument. The
// scheduler is reached through COM at run time: where it is missing (XP),
// every call here fails quietly.

extern const wchar_t kLogonTaskName[];  // "VexaPanel", in the root task folder

// True on Vista and later when this process runs elevated: the start choice
// then goes to the logon task.
bool StartsThroughLogonTask();

// Creates or replaces the task for modes 2 to 5 with the program path given.
// True when registered.
bool RegisterLogonTask(int mode, const wchar_t* programPath);

// Deletes the task. True when none is left (deleted or never there).
bool DeleteLogonTask();

// True when the task exists. Its arguments (the start-mode word) go into
// out; empty when the scheduler does not report them or they do not fit.
bool ReadLogonTaskArguments(wchar_t* out, size_t outChars);
