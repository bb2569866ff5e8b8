#include "FlashCommand.h"

#include <stdio.h>
#include <wchar.h>

namespace {

bool ParseIndex(const wchar_t* text, int* index) {
    if (!*text) return false;
    int value = 0;
    for (const wchar_t* p = text; *p; ++p) {
        if (*p < L'0' || *p > L'9' || value > 1000) return false;
        value = value * 10 + (*p - L'0');
    }
    *index = value;
    return true;
}

}  // namespace

bool ParseFlashCommand(int count, const wchar_t* const* args, FlashCommand* command, char* error, size_t errorSize) {
    FlashCommand c = {};
    bool backup = false;
    bool list = false;
    for (int i = 0; i < count; ++i) {
        const wchar_t* a = args[i];
        if (wcsncmp(a, L"--index=", 8) == 0) {
            if (!ParseIndex(a + 8, &c.index)) {
                snprintf(error, errorSize, "bad adapter index '%ls'", a + 8);
                return false;
            }
        } else if (wcscmp(a, L"--index") == 0 || wcscmp(a, L"-i") == 0) {
            if (i + 1 >= count || !ParseIndex(args[i + 1], &c.index)) {
                snprintf(error, errorSize, "%ls needs an adapter index", a);
                return false;
            }
            ++i;
        } else if (wcscmp(a, L"-b") == 0 || wcscmp(a, L"--save") == 0) {
            if (i + 1 >= count) {
                snprintf(error, errorSize, "%ls needs a file name", a);
                return false;
            }
            if (c.file) {
                snprintf(error, errorSize, "more than one file named");
                return false;
            }
            backup = true;
            c.file = args[++i];
        } else if (wcscmp(a, L"-4") == 0) {
            c.allowSubsystemMismatch = true;
        } else if (wcscmp(a, L"-5") == 0) {
            c.allowDeviceMismatch = true;
        } else if (wcscmp(a, L"-6") == 0) {
            c.allowBoardMismatch = true;
        } else if (wcscmp(a, L"--list") == 0 || wcscmp(a, L"-a") == 0) {
            list = true;
        } else if (wcscmp(a, L"-h") == 0 || wcscmp(a, L"--help") == 0 || wcscmp(a, L"-?") == 0) {
            c.action = kFlashHelp;
            *command = c;
            return true;
        } else if (a[0] == L'-' && a[1] != L'\0') {
            snprintf(error, errorSize, "unknown option '%ls'", a);
            return false;
        } else {
            if (c.file) {
                snprintf(error, errorSize, "more than one file named ('%ls')", a);
                return false;
            }
            c.file = a;
        }
    }
    if (list) {
        c.action = kFlashList;
    } else if (backup) {
        c.action = kFlashBackup;
    } else if (c.file) {
        c.action = kFlashUpdate;
    } else {
        c.action = kFlashHelp;
    }
    *command = c;
    return true;
}
