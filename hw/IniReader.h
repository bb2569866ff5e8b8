#pragma once
// Reads UTF-16 files of [sections] and key=value lines, as the card database
// and the saved settings file are written, into an IniText. The card
// database is scrambled on disk and turned back into text by "inicd.dll"'s
// DisCode.

#include <stdint.h>
#include <stdio.h>
#include <windows.h>

#include "HandleHolders.h"
#include "IniText.h"

// DisCode(buffer, unit count): decodes the buffer in place.
typedef int(__cdecl* DisCodeFn)(wchar_t* buffer, int unitCount);

class IniReader {
public:
    IniReader();  // loads "inicd.dll"
    IniReader(const IniReader&) = delete;
    IniReader& operator=(const IniReader&) = delete;

    // 1 when the file was read whole and parsed, else 0 and the reader is
    // empty. With decode set the text is first decoded by DisCode, and a
    // missing DisCode fails the load; plain text needs no decoder. Files
    // above kIniMaxFileBytes are refused.
    int Load(const wchar_t* fileName, bool decode);

    // Parses text already in memory (no decoding). Same result as Load.
    int LoadText(const wchar_t* text, uint32_t unitCount) { return text_.SetText(text, unitCount); }

    // The lookups of IniText.
    int GetInt(const wchar_t* section, const wchar_t* key, int32_t* value, int base) const {
        return text_.GetInt(section, key, value, base);
    }
    int GetText(const wchar_t* section, const wchar_t* key, wchar_t* out, uint32_t capacity) const {
        return text_.GetText(section, key, out, capacity);
    }

    const IniText& Parsed() const { return text_; }
    const IniNode* Root() const { return text_.Root(); }
    const wchar_t* Text() const { return text_.Text(); }
    bool HasDecoder() const { return disCode_ != nullptr; }

private:
    ModuleHolder inicd_;
    DisCodeFn disCode_ = nullptr;
    IniText text_;
};
