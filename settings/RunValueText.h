#pragma once

#include <stddef.h>

#include "Utf16Unit.h"

// The start-with-Windows Run value: "\"<program path>\" <mode word>", the
// path in double quotes, one blank, then a word that is also a command-line
// start mode. Values of older versions carry the path unquoted; both forms
// read back, since only the word after the last blank counts.
// Pure text handling; the registry side lives in ProgramRegistry.

// Start modes as the Run value knows them. 1 means "no Run value"; 2 to 5
// are the words, which the command line shares.
const int kRunModeNone = 1;
const int kRunModeNormal = 2;
const int kRunModeMinimize = 3;
const int kRunModeSysTray = 4;
const int kRunModeOnlyApplySettings = 5;

// Longest program path a Run value carries; longer paths are refused rather
// than cut, since a cut path would start nothing.
const size_t kRunValueMaxPathChars = 127;
// Longest Run value text (quoted path, blank, longest word) and the buffer
// for it.
const size_t kRunValueMaxChars = 1 + kRunValueMaxPathChars + 1 + 1 + 17;
const size_t kRunValueBufferChars = kRunValueMaxChars + 1;
// The words are ASCII; longer words are outside the format.
const size_t kRunValueMaxWordBytes = 47;

// The word for modes 2 to 5; null for any other mode.
const Utf16Unit* RunModeWord(int mode);

// The mode of a start-mode word in ANSI text, ignoring ASCII letter case;
// 0 for null, empty or unrecognised text (including surrounding blanks).
int RunModeForWord(const char* word);

// Writes "\"<path>\" <word>" with a terminating NUL into out and returns
// its length in characters (without the NUL). Returns 0 and writes nothing
// but an empty string when the mode has no word, the path is null, empty,
// longer than kRunValueMaxPathChars or holds a double quote, or the text
// would not fit outChars.
size_t ComposeRunValue(const Utf16Unit* programPath, int mode, Utf16Unit* out, size_t outChars);

// What the text of a Run value says.
enum class RunValueWord {
    None,          // no blank, or only a leading one: no word to judge
    Unrecognised,  // a word (maybe empty) that is not a start mode
    Recognised,    // *mode holds 2..5
};

// Judges `length` characters of Run value text; stops early at a NUL. The
// word is the text after the last blank; one with a character outside ASCII
// is no word the program writes, so it is unrecognised.
RunValueWord ParseRunValueText(const Utf16Unit* text, size_t length, int* mode);

// Judges a whole word of `length` characters (stopping at a NUL), as the
// logon task carries it: Recognised or Unrecognised, never None.
RunValueWord ParseRunModeWord(const Utf16Unit* word, size_t length, int* mode);
