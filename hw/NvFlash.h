#pragma once
// Runs the flash tool nvflash with a hidden console, answering its questions
// with 'Y' key presses, for the BIOS backup at start-up and the BIOS update.

#include <windows.h>

#include <stdint.h>

const DWORD kNvflashDone = 0;        // nvflash did what it was asked
const DWORD kNvflashNotStarted = 2;  // the exit code when nvflash never ran
const DWORD kNvflashTimeLimitMs = 3 * 60 * 1000;
const DWORD kBackupWindowWaitMs = 400;
const DWORD kUpdateWindowWaitMs = 800;
const size_t kNvflashCommandChars = 500;  // the command buffer holds 1000 bytes

// Starts the command, waits windowWaitMs, hides nvflash's window and the
// console, and posts 'Y' to it until it ends or timeLimitMs pass (the backup
// then ends it). Returns nvflash's exit code: 2 when it did not start or no
// window was found for it, 259 (STILL_ACTIVE) when it outlived the limit.
// When stillRunning is given and the tool outlived the limit without being
// ended, it receives the tool's process handle (the caller closes it).
DWORD RunNvflash(const wchar_t* command, DWORD windowWaitMs, bool terminateOnTimeout,
                 DWORD timeLimitMs = kNvflashTimeLimitMs, HANDLE* stillRunning = nullptr);

// "NVFLASH --index=N -b VPCurr.rom".
void BuildBackupCommand(uint8_t gpu, wchar_t* out, size_t capacity);

// "nvflash --index=N -4 -5 -6 PATH". The path is normally the file's short
// form and has no blanks; where the system has no short names it keeps them,
// and is then quoted. False when the command would not fit in capacity.
bool BuildUpdateCommand(uint8_t card, const wchar_t* path, wchar_t* out, size_t capacity);

// The update command for a chosen image file, named by its short (8.3) form
// where the system has one. False when it would not fit in capacity.
bool BuildBiosUpdateCommand(uint8_t card, const wchar_t* path, wchar_t* out, size_t capacity);

// Writes the image the update command names to the card. Returns nvflash's
// exit code (0 updated); a tool still writing at the limit is left to finish
// and, with stillRunning, handed back as described at RunNvflash.
DWORD RunBiosUpdate(const wchar_t* command, DWORD timeLimitMs = kNvflashTimeLimitMs, HANDLE* stillRunning = nullptr);

// Saves the GPU's BIOS to "VPCurr.rom" and reads its first 600 bytes into
// text (zero-filled past the end of a shorter file). Returns nvflash's exit
// code; text holds the BIOS text only when that is 0 and the file could be
// read.
DWORD BackupImage(uint8_t gpu, uint8_t text[600], bool* textRead, DWORD timeLimitMs = kNvflashTimeLimitMs);
