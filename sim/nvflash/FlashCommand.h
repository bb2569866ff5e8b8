// The flash tool's command line: "--index=N -b FILE" saves the adapter's
// BIOS, "--index=N [-4] [-5] [-6] FILE" writes FILE to it, "--list" lists the
// adapters. -4, -5 and -6 allow an image whose subsystem id, PCI device id or
// board id differs from the adapter's.
#pragma once

#include <stddef.h>

enum FlashAction {
    kFlashHelp = 0,
    kFlashList,
    kFlashBackup,
    kFlashUpdate,
};

struct FlashCommand {
    FlashAction action;
    int index;
    bool allowSubsystemMismatch;  // -4
    bool allowDeviceMismatch;     // -5
    bool allowBoardMismatch;      // -6
    const wchar_t* file;          // points into the arguments
};

// Exit codes of the tool.
const int kFlashExitOk = 0;
const int kFlashExitUsage = 1;
const int kFlashExitFile = 3;       // the file cannot be read or written
const int kFlashExitBadImage = 4;   // not a valid image for these adapters
const int kFlashExitNoAdapter = 5;  // no adapter with that index
const int kFlashExitMismatch = 6;   // the image is for another card and no option allows it
const int kFlashExitDeclined = 7;   // a confirmation was not given

// Parses the arguments after the program name. False with a message on a
// malformed line.
bool ParseFlashCommand(int count, const wchar_t* const* args, FlashCommand* command, char* error, size_t errorSize);
