#include "IniText.h"

#include <string.h>

#include <new>
#include <utility>

namespace {

const Utf16Unit kByteOrderMark = 0xFEFF;

enum ParseState { kIdle, kInSection, kInKey, kInValue };

std::unique_ptr<IniNode> NewNode(uint32_t begin, uint32_t end) {
    std::unique_ptr<IniNode> node(new (std::nothrow) IniNode);
    if (node) {
        node->begin = begin;
        node->end = end;
    }
    return node;
}

// Frees a tree of at most three levels without recursing along the
// (possibly very long) sibling lists: each node is unlinked from its next
// sibling before it goes.
void FreeChildren(IniNode* node) {
    std::unique_ptr<IniNode> section = std::move(node->child);
    while (section) {
        std::unique_ptr<IniNode> key = std::move(section->child);
        while (key) {
            key = std::move(key->next);
        }
        section = std::move(section->next);
    }
}

// Names are written with blanks around them for legibility.
void TrimSpaces(const Utf16Unit* text, uint32_t* begin, uint32_t* end) {
    while (*begin < *end && text[*begin] == ' ') {
        (*begin)++;
    }
    while (*end > *begin && text[*end - 1] == ' ') {
        (*end)--;
    }
}

bool IsAsciiSpace(Utf16Unit c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The digit's value, or 36 for a unit that is no ASCII digit or letter.
int DigitValue(Utf16Unit c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 36;
}

}  // namespace

IniText::~IniText() {
    Clear();
}

void IniText::Clear() {
    FreeChildren(&root_);
    buffer_.reset();
    unitCount_ = 0;
}

Utf16Unit* IniText::Allocate(uint32_t unitCount) {
    Clear();
    if (unitCount > kIniMaxFileBytes / 2) {
        return nullptr;
    }
    buffer_.reset(new (std::nothrow) Utf16Unit[unitCount + 1]);
    if (!buffer_) {
        return nullptr;
    }
    memset(buffer_.get(), 0, (unitCount + 1) * sizeof(Utf16Unit));
    unitCount_ = unitCount;
    return buffer_.get();
}

int IniText::SetText(const Utf16Unit* text, uint32_t unitCount) {
    Utf16Unit* buffer = Allocate(unitCount);
    if (!buffer) {
        return 0;
    }
    if (unitCount > 0) {
        memcpy(buffer, text, unitCount * sizeof(Utf16Unit));
    }
    return Parse();
}

int IniText::Parse() {
    FreeChildren(&root_);
    if (!ParseTree()) {
        Clear();
        return 0;
    }
    return 1;
}

bool IniText::ParseTree() {
    ParseState state = kIdle;
    uint32_t start = 0;
    // The last section and key linked so far, owned by the tree.
    IniNode* lastSection = nullptr;
    IniNode* lastKey = nullptr;
    for (uint32_t i = 0; i < unitCount_; i++) {
        Utf16Unit c = buffer_[i];
        if (c == kByteOrderMark) {
            continue;
        }
        if (c == '[' && (state == kIdle || state == kInSection)) {
            start = i + 1;
            state = kInSection;
        } else if (c == ']' && state == kInSection) {
            uint32_t begin = start, end = i;
            TrimSpaces(buffer_.get(), &begin, &end);
            std::unique_ptr<IniNode> section = NewNode(begin, end);
            if (!section) {
                return false;
            }
            std::unique_ptr<IniNode>& link = lastSection ? lastSection->next : root_.child;
            link = std::move(section);
            lastSection = link.get();
            lastKey = nullptr;
            state = kIdle;
        } else if (c == '=' && state == kInKey && lastSection) {
            uint32_t begin = start, end = i;
            TrimSpaces(buffer_.get(), &begin, &end);
            std::unique_ptr<IniNode> key = NewNode(begin, end);
            if (!key) {
                return false;
            }
            std::unique_ptr<IniNode>& link = lastKey ? lastKey->next : lastSection->child;
            link = std::move(key);
            lastKey = link.get();
            start = i + 1;
            state = kInValue;
        } else if (c == '\r' || c == '\n') {
            if (state == kInValue) {
                lastKey->child = NewNode(start, i);
                if (!lastKey->child) {
                    return false;
                }
            }
            state = kIdle;
        } else if (state == kIdle) {
            start = i;
            state = kInKey;
        }
    }
    return true;
}

bool IniText::SpanStartsWith(const IniNode* node, const Utf16Unit* name) const {
    size_t length = Utf16Length(name);
    if (node->end - node->begin < length) {
        return false;
    }
    const Utf16Unit* text = buffer_.get() + node->begin;
    for (size_t i = 0; i < length; i++) {
        if (Utf16AsciiLower(text[i]) != Utf16AsciiLower(name[i])) {
            return false;
        }
    }
    return true;
}

const IniNode* IniText::FindValue(const Utf16Unit* section, const Utf16Unit* key) const {
    for (const IniNode* s = root_.child.get(); s; s = s->next.get()) {
        if (!SpanStartsWith(s, section)) {
            continue;
        }
        for (const IniNode* k = s->child.get(); k; k = k->next.get()) {
            if (SpanStartsWith(k, key)) {
                return k->child.get();
            }
        }
        // Only the first matching section is searched.
        return nullptr;
    }
    return nullptr;
}

int IniText::GetText(const Utf16Unit* section, const Utf16Unit* key, Utf16Unit* out, uint32_t capacity) const {
    const IniNode* value = FindValue(section, key);
    if (!value || capacity == 0) {
        return 0;
    }
    uint32_t length = value->end - value->begin;
    if (length > capacity - 1) {
        length = capacity - 1;
    }
    memcpy(out, buffer_.get() + value->begin, length * sizeof(Utf16Unit));
    out[length] = 0;
    return 1;
}

int IniText::GetInt(const Utf16Unit* section, const Utf16Unit* key, int32_t* value, int base) const {
    const IniNode* node = FindValue(section, key);
    if (!node) {
        return 0;
    }
    // The conversion stays inside the value: the text runs on into the
    // following lines, and a number there is no part of this one.
    uint32_t count = node->end - node->begin;
    *value = Utf16ToInt32(buffer_.get() + node->begin, count < kIniNumberUnits ? count : kIniNumberUnits, base);
    return 1;
}

int32_t Utf16ToInt32(const Utf16Unit* text, uint32_t count, int base) {
    if (base < 0 || base == 1 || base > 36) {
        return 0;
    }
    uint32_t i = 0;
    while (i < count && IsAsciiSpace(text[i])) {
        i++;
    }
    bool negative = false;
    if (i < count && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        i++;
    }
    // "0x" belongs to the number only when a hexadecimal digit follows;
    // otherwise the "0" alone is read.
    bool hexPrefix =
        i + 2 < count && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') && DigitValue(text[i + 2]) < 16;
    if (base == 0) {
        base = hexPrefix ? 16 : (i < count && text[i] == '0') ? 8 : 10;
    }
    if (base == 16 && hexPrefix) {
        i += 2;
    }
    // Past 2^31 the value is out of range whatever its sign; the magnitude
    // stops growing there so that it cannot wrap.
    const uint64_t kLimit = (uint64_t)1 << 31;
    uint64_t magnitude = 0;
    for (; i < count; i++) {
        int digit = DigitValue(text[i]);
        if (digit >= base) {
            break;
        }
        magnitude = magnitude * (uint64_t)base + (uint64_t)digit;
        if (magnitude > kLimit) {
            magnitude = kLimit + 1;
        }
    }
    if (negative) {
        return magnitude >= kLimit ? INT32_MIN : -(int32_t)magnitude;
    }
    return magnitude >= kLimit ? INT32_MAX : (int32_t)magnitude;
}
