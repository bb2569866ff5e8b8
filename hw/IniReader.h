#pragma once
// Reads UTF-16 files of [sections] and key=value lines, as the card database
// and the saved settings file are written. The card database is scrambled on
// disk and turned back into text by "inicd.dll"'s DisCode.

#include <stdint.h>
#include <stdio.h>
#include <windows.h>

#include "HandleHolders.h"

// A span of the reader's text: units [begin, end). The root's children are
// the sections, a section's children its keys, a key's child its value.
struct IniNode {
    uint32_t begin;
    uint32_t end;
    IniNode* next;
    IniNode* child;
};

// DisCode(buffer, unit count): decodes the buffer in place.
typedef int(__cdecl* DisCodeFn)(wchar_t* buffer, int unitCount);

// Files above this size are refused: the real ones hold a few kilobytes, and
// the parse tree grows with the text.
const uint32_t kIniMaxFileBytes = 1u << 20;

class IniReader {
public:
    IniReader();  // loads "inicd.dll"
    ~IniReader();

    // 1 when the file was read whole and parsed, else 0 and the reader is
    // empty. With decode set the text is first decoded by DisCode, and a
    // missing DisCode fails the load; plain text needs no decoder.
    int Load(const wchar_t* fileName, bool decode);

    // Parses text already in memory (no decoding). Same result as Load.
    int LoadText(const wchar_t* text, uint32_t unitCount);

    // The first section whose name begins with section, then the first of
    // its keys that begins with key, both ignoring case. Returns 1 when found.
    int GetInt(const wchar_t* section, const wchar_t* key, long* value, int base) const;
    // Copies at most capacity - 1 units of the value and terminates them.
    int GetText(const wchar_t* section, const wchar_t* key, wchar_t* out, uint32_t capacity) const;

    const IniNode* Root() const { return &root_; }
    const wchar_t* Text() const { return buffer_; }
    bool HasDecoder() const { return disCode_ != NULL; }

private:
    IniReader(const IniReader&);
    IniReader& operator=(const IniReader&);

    void Clear();
    bool Parse();
    const IniNode* FindValue(const wchar_t* section, const wchar_t* key) const;
    bool SpanStartsWith(const IniNode* node, const wchar_t* name) const;

    FILE* file_;
    wchar_t* buffer_;
    uint32_t unitCount_;
    int caseSensitive_;  // always 0
    int trimNames_;      // always 1
    ModuleHolder inicd_;
    DisCodeFn disCode_;
    IniNode root_;
};
