#include "StartMode.h"

namespace {

struct StartWord {
    const char* word;
    int mode;
};

const StartWord kStartWords[] = {
    {"Normal", kStartNormal},
    {"Minimize", kStartMinimize},
    {"SysTray", kStartSysTray},
    {"OnlyApplySettings", kStartOnlyApplySettings},
};

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Locale-free on purpose: the words are ASCII, and a system code page must not
// make a non-ASCII byte match one of them.
bool EqualsIgnoringAsciiCase(const char* a, const char* b) {
    for (; *a && *b; a++, b++) {
        if (AsciiLower(*a) != AsciiLower(*b)) return false;
    }
    return *a == *b;
}

}  // namespace

int ParseStartMode(const char* commandLine) {
    if (!commandLine || !*commandLine) return kStartInteractive;
    for (const StartWord& w : kStartWords) {
        if (EqualsIgnoringAsciiCase(commandLine, w.word)) return w.mode;
    }
    return kStartInteractive;
}
