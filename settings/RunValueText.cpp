#include "RunValueText.h"

#include <string.h>

namespace {

struct RunModeEntry {
    int mode;
    const Utf16Unit* wideWord;
    const char* word;
};

const RunModeEntry kRunModes[] = {
    {kRunModeNormal, UTF16("Normal"), "Normal"},
    {kRunModeMinimize, UTF16("Minimize"), "Minimize"},
    {kRunModeSysTray, UTF16("SysTray"), "SysTray"},
    {kRunModeOnlyApplySettings, UTF16("OnlyApplySettings"), "OnlyApplySettings"},
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

size_t BoundedLength(const Utf16Unit* text, size_t limit) {
    size_t n = 0;
    while (n < limit && text[n] != 0) {
        n++;
    }
    return n;
}

// Copies word[0..count) as ASCII bytes; false when a character lies outside
// ASCII or the word is longer than any the format holds.
bool WordToAscii(const Utf16Unit* word, size_t count, char* out, size_t outBytes) {
    if (count > kRunValueMaxWordBytes || count >= outBytes) {
        return false;
    }
    for (size_t i = 0; i < count; i++) {
        if (word[i] >= 0x80) {
            return false;
        }
        out[i] = (char)word[i];
    }
    out[count] = '\0';
    return true;
}

}  // namespace

const Utf16Unit* RunModeWord(int mode) {
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

size_t ComposeRunValue(const Utf16Unit* programPath, int mode, Utf16Unit* out, size_t outChars) {
    if (!out || outChars == 0) {
        return 0;
    }
    out[0] = 0;
    const Utf16Unit* word = RunModeWord(mode);
    if (!word || !programPath) {
        return 0;
    }
    size_t pathChars = BoundedLength(programPath, kRunValueMaxPathChars + 1);
    if (pathChars == 0 || pathChars > kRunValueMaxPathChars) {
        return 0;
    }
    // Unquoted, the shell splits a path with blanks at logon and tries each
    // piece ("C:\Program.exe" first); a quote inside could not be quoted.
    for (size_t i = 0; i < pathChars; i++) {
        if (programPath[i] == '"') {
            return 0;
        }
    }
    size_t wordChars = Utf16Length(word);
    size_t total = 1 + pathChars + 1 + 1 + wordChars;
    if (total + 1 > outChars) {
        return 0;
    }
    out[0] = '"';
    memcpy(out + 1, programPath, pathChars * sizeof(Utf16Unit));
    out[1 + pathChars] = '"';
    out[2 + pathChars] = ' ';
    memcpy(out + 3 + pathChars, word, wordChars * sizeof(Utf16Unit));
    out[total] = 0;
    return total;
}

RunValueWord ParseRunValueText(const Utf16Unit* text, size_t length, int* mode) {
    if (!text) {
        return RunValueWord::None;
    }
    length = BoundedLength(text, length);
    size_t blank = length;
    while (blank > 0 && text[blank - 1] != ' ') {
        blank--;
    }
    // blank is now one past the last blank, or 0 when there is none.
    if (blank <= 1) {
        return RunValueWord::None;
    }
    return ParseRunModeWord(text + blank, length - blank, mode);
}

RunValueWord ParseRunModeWord(const Utf16Unit* text, size_t length, int* mode) {
    char word[kRunValueMaxWordBytes + 1];
    if (!text || !WordToAscii(text, BoundedLength(text, length), word, sizeof(word))) {
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
