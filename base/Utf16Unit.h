#pragma once
// One unit of UTF-16 text, the program's text everywhere. On Windows that is
// wchar_t, so the pure text code takes the program's strings unchanged; where
// wchar_t is wider (the native builds of the pure code), char16_t keeps the
// units 16 bits wide, as the files and the registry hold them. The pure code
// therefore uses none of the wcs* and tow* functions: they work on wchar_t.

#include <stddef.h>
#include <stdint.h>
#include <wchar.h>

#if WCHAR_MAX == 0xFFFF
typedef wchar_t Utf16Unit;
#define UTF16(text) L##text
#else
typedef char16_t Utf16Unit;
#define UTF16(text) u##text
#endif

static_assert(sizeof(Utf16Unit) == 2, "UTF-16 units are 16 bits");

// Units before the terminating zero.
inline size_t Utf16Length(const Utf16Unit* text) {
    size_t n = 0;
    while (text[n] != 0)
        n++;
    return n;
}

// Folds A-Z only: the names, keys and words compared so are ASCII, and a
// locale's folding could make a non-ASCII letter equal one of them.
inline Utf16Unit Utf16AsciiLower(Utf16Unit c) {
    return (c >= 'A' && c <= 'Z') ? (Utf16Unit)(c - 'A' + 'a') : c;
}
