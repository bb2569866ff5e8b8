#include "RunValueText.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

namespace {

struct RunModeEntry {
    int mode;
    const wchar_t* wideWord;
    const char* word;
};

const RunModeEntry kRunModes[] = {
    {kRunModeNormal, L"Normal", "Normal"},
    {kRunModeMinimize, L"Minimize", "Minimize"},
    {kRunModeSysTray, L"SysTray", "SysTray"},
    {kRunModeOnlyApplySettings, L"OnlyApplySettings", "OnlyApplySettings"},
};

// ASCII-only folding: the words are ASCII, and folding by the current locale
// could make a non-ASCII letter equal to one of them.
char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

bool EqualIgnoringAsciiCase(const char* a, const char* b) {
    for (; *a && *b; a++, b++) {
        if (AsciiLower(*a) != AsciiLower(*b)) {
            return false;
        }
    }
    return *a == *b;
}

size_t BoundedLength(const wchar_t* text, size_t limit) {
    size_t n = 0;
    while (n < limit && text[n] != L'\0') {
        n++;
    }
    return n;
}

// Converts word[0..count) to multibyte text, at most kRunValueMaxWordBytes
// bytes; false when a character has no form in the code page or the word is
// too long.
bool WordToMultibyte(const wchar_t* word, size_t count, char* out, size_t outBytes) {
    size_t used = 0;
    char one[MB_LEN_MAX];
    wctomb(nullptr, L'\0');  // reset any shift state
    for (size_t i = 0; i < count; i++) {
        int n = wctomb(one, word[i]);
        if (n < 0 || used + (size_t)n > kRunValueMaxWordBytes || used + (size_t)n >= outBytes) {
            return false;
        }
        memcpy(out + used, one, (size_t)n);
        used += (size_t)n;
    }
    out[used] = '\0';
    return true;
}

}  // namespace

const wchar_t* RunModeWord(int mode) {
    for (const RunModeEntry& entry : kRunModes) {
        if (entry.mode == mode) {
            return entry.wideWord;
        }
    }
    return nullptr;
}

int RunModeForWord(const char* word) {
    if (!word) {
        return 0;
    }
    for (const RunModeEntry& entry : kRunModes) {
        if (EqualIgnoringAsciiCase(word, entry.word)) {
            return entry.mode;
        }
    }
    return 0;
}

size_t ComposeRunValue(const wchar_t* programPath, int mode, wchar_t* out, size_t outChars) {
    if (!out || outChars == 0) {
        return 0;
    }
    out[0] = L'\0';
    const wchar_t* word = RunModeWord(mode);
    if (!word || !programPath) {
        return 0;
    }
    size_t pathChars = BoundedLength(programPath, kRunValueMaxPathChars + 1);
    if (pathChars == 0 || pathChars > kRunValueMaxPathChars) {
        return 0;
    }
    size_t wordChars = wcslen(word);
    size_t total = pathChars + 1 + wordChars;
    if (total + 1 > outChars) {
        return 0;
    }
    memcpy(out, programPath, pathChars * sizeof(wchar_t));
    out[pathChars] = L' ';
    memcpy(out + pathChars + 1, word, wordChars * sizeof(wchar_t));
    out[total] = L'\0';
    return total;
}

RunValueWord ParseRunValueText(const wchar_t* text, size_t length, int* mode) {
    if (!text) {
        return RunValueWord::None;
    }
    length = BoundedLength(text, length);
    size_t blank = length;
    while (blank > 0 && text[blank - 1] != L' ') {
        blank--;
    }
    // blank is now one past the last blank, or 0 when there is none.
    if (blank <= 1) {
        return RunValueWord::None;
    }
    char word[kRunValueMaxWordBytes + 1];
    if (!WordToMultibyte(text + blank, length - blank, word, sizeof(word))) {
        return RunValueWord::Unrecognised;
    }
    int found = RunModeForWord(word);
    if (found == 0) {
        return RunValueWord::Unrecognised;
    }
    if (mode) {
        *mode = found;
    }
    return RunValueWord::Recognised;
}
