#pragma once
// UTF-16 text of [sections] and key=value lines, as the card database and the
// saved settings file are written: the parse tree, the lookups and the number
// conversion. Pure: the text may come from anywhere, and nothing here reads
// past the units it was given.

#include <stdint.h>

#include <memory>

#include "Utf16Unit.h"

// A span of the text: units [begin, end). The root's children are the
// sections, a section's children its keys, a key's child its value. Each
// node owns its next sibling and its first child.
struct IniNode {
    uint32_t begin = 0;
    uint32_t end = 0;
    std::unique_ptr<IniNode> next;
    std::unique_ptr<IniNode> child;
};

// Texts above this many bytes are refused: the real ones hold a few
// kilobytes, and the parse tree grows with the text.
const uint32_t kIniMaxFileBytes = 1u << 20;

class IniText {
public:
    IniText() = default;
    ~IniText();
    IniText(const IniText&) = delete;
    IniText& operator=(const IniText&) = delete;

    // Frees the text and the tree.
    void Clear();

    // A zeroed buffer of unitCount units and a terminating zero for the
    // caller to fill before Parse; null when refused or out of memory.
    // Replaces any text held before.
    Utf16Unit* Allocate(uint32_t unitCount);
    // Parses the allocated text. 1 when the tree is built, else 0 and
    // everything is freed.
    int Parse();

    // Copies unitCount units and parses them. Same result as Parse.
    int SetText(const Utf16Unit* text, uint32_t unitCount);

    // The first section whose name begins with section, then the first of
    // its keys that begins with key, both ignoring ASCII case. Returns 1
    // when found.
    int GetInt(const Utf16Unit* section, const Utf16Unit* key, int32_t* value, int base) const;
    // Copies at most capacity - 1 units of the value and terminates them.
    int GetText(const Utf16Unit* section, const Utf16Unit* key, Utf16Unit* out, uint32_t capacity) const;

    const IniNode* Root() const { return &root_; }
    const Utf16Unit* Text() const { return buffer_.get(); }
    uint32_t UnitCount() const { return unitCount_; }

private:
    bool ParseTree();
    const IniNode* FindValue(const Utf16Unit* section, const Utf16Unit* key) const;
    bool SpanStartsWith(const IniNode* node, const Utf16Unit* name) const;

    std::unique_ptr<Utf16Unit[]> buffer_;
    uint32_t unitCount_ = 0;
    IniNode root_;
};

// Units of a value GetInt converts: the rest of a longer value is ignored.
const uint32_t kIniNumberUnits = 63;

// The number at the start of text[0, count), as the Windows C library's
// wcstol reads it: white space, a sign, "0x" allowed for base 16 (base 0
// chooses by the prefix), digits up to the first other unit or the count,
// and on overflow the nearest end of the 32-bit range. Only ASCII white
// space and digits count. 0 when there is no number or the base is not 0 or
// 2 to 36.
int32_t Utf16ToInt32(const Utf16Unit* text, uint32_t count, int base);
