// The INI text: the parse tree stays inside the text and keeps its shape,
// the lookups find what an independent search of the tree finds, and the
// number conversion agrees with the C library's on ASCII text.

#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "FuzzInput.h"
#include "IniText.h"

namespace {

bool IsBreak(Utf16Unit c) {
    return c == '\r' || c == '\n';
}

bool Contains(const Utf16Unit* text, const IniNode* node, Utf16Unit a, Utf16Unit b) {
    for (uint32_t i = node->begin; i < node->end; i++)
        if (text[i] == a || text[i] == b) return true;
    return false;
}

void CheckName(const Utf16Unit* text, const IniNode* node, uint32_t after, uint32_t count) {
    FUZZ_CHECK(node->begin >= after && node->begin <= node->end && node->end <= count);
    if (node->end > node->begin) {
        FUZZ_CHECK(text[node->begin] != ' ' && text[node->end - 1] != ' ');
    }
    FUZZ_CHECK(!Contains(text, node, '\r', '\n'));
}

// Walks the tree; answers the number of nodes.
size_t CheckTree(const IniText& ini) {
    const Utf16Unit* text = ini.Text();
    const uint32_t count = ini.UnitCount();
    FUZZ_CHECK(text[count] == 0);
    size_t nodes = 0;
    uint32_t after = 0;
    for (const IniNode* s = ini.Root()->child.get(); s; s = s->next.get()) {
        CheckName(text, s, after, count);
        FUZZ_CHECK(!Contains(text, s, '[', ']'));
        after = s->end + 1;  // past the ']'
        nodes++;
        for (const IniNode* k = s->child.get(); k; k = k->next.get()) {
            CheckName(text, k, after, count);
            // An '=' opening a line starts a key; the next one ends it.
            IniNode rest = {k->begin + 1, k->end, nullptr, nullptr};
            FUZZ_CHECK(k->begin == k->end || !Contains(text, &rest, '=', '='));
            after = k->end + 1;
            nodes++;
            if (const IniNode* v = k->child.get()) {
                FUZZ_CHECK(v->begin >= after && v->begin <= v->end && v->end < count);
                FUZZ_CHECK(IsBreak(text[v->end]) && !Contains(text, v, '\r', '\n'));
                FUZZ_CHECK(v->child == nullptr && v->next == nullptr);
                after = v->end + 1;
                nodes++;
            }
        }
    }
    return nodes;
}

// Independent of IniText's own comparison: ASCII letters differ by 0x20.
bool SameIgnoringAsciiCase(Utf16Unit a, Utf16Unit b) {
    if (a == b) return true;
    Utf16Unit low = a < b ? a : b, high = a < b ? b : a;
    return high - low == 0x20 && low >= 'A' && low <= 'Z';
}

bool SpanBegins(const Utf16Unit* text, const IniNode* node, const std::u16string& name) {
    if (node->end - node->begin < name.size()) return false;
    for (size_t i = 0; i < name.size(); i++)
        if (!SameIgnoringAsciiCase(text[node->begin + i], (Utf16Unit)name[i])) return false;
    return true;
}

const IniNode* ReferenceFind(const IniText& ini, const std::u16string& section, const std::u16string& key) {
    for (const IniNode* s = ini.Root()->child.get(); s; s = s->next.get()) {
        if (!SpanBegins(ini.Text(), s, section)) continue;
        for (const IniNode* k = s->child.get(); k; k = k->next.get())
            if (SpanBegins(ini.Text(), k, key)) return k->child.get();
        return NULL;
    }
    return NULL;
}

// The C library's strtol on the same text made narrow: ASCII kept, every
// other unit a character that is neither digit, sign nor space.
int32_t ReferenceNumber(const Utf16Unit* text, uint32_t count, int base) {
    std::string narrow;
    for (uint32_t i = 0; i < count; i++)
        narrow.push_back(text[i] < 0x80 ? (char)text[i] : '!');
    errno = 0;
    long long value = strtoll(narrow.c_str(), NULL, base);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return (int32_t)value;
}

std::u16string NameOf(const IniText& ini, const IniNode* node, uint32_t cut, bool flipCase) {
    std::u16string name;
    for (uint32_t i = node->begin; i < node->end && name.size() < cut; i++) {
        Utf16Unit c = ini.Text()[i];
        if (flipCase && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) c ^= 0x20;
        // A name with a zero in it ends there for the lookups.
        if (c == 0) break;
        name.push_back((char16_t)c);
    }
    return name;
}

void CheckLookup(const IniText& ini, const std::u16string& section, const std::u16string& key, uint32_t capacity,
                 int base) {
    std::vector<Utf16Unit> s(section.begin(), section.end()), k(key.begin(), key.end());
    s.push_back(0);
    k.push_back(0);
    const IniNode* expected = ReferenceFind(ini, section, key);

    std::vector<Utf16Unit> out(capacity);
    int found = ini.GetText(s.data(), k.data(), out.data(), capacity);
    FUZZ_CHECK(found == (expected && capacity > 0));
    if (found) {
        uint32_t length = expected->end - expected->begin;
        if (length > capacity - 1) length = capacity - 1;
        FUZZ_CHECK(out[length] == 0);
        FUZZ_CHECK(length == 0 || memcmp(out.data(), ini.Text() + expected->begin, length * sizeof(Utf16Unit)) == 0);
    }

    int32_t number = 12345;
    FUZZ_CHECK(ini.GetInt(s.data(), k.data(), &number, base) == (expected != NULL));
    if (expected) {
        uint32_t count = expected->end - expected->begin;
        if (count > kIniNumberUnits) count = kIniNumberUnits;
        FUZZ_CHECK(number == ReferenceNumber(ini.Text() + expected->begin, count, base));
    } else {
        FUZZ_CHECK(number == 12345);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const uint32_t capacity = input.Byte() % 80;
    const uint8_t baseByte = input.Byte() % 38;  // 0, 2..36 and two refused ones
    const int base = baseByte == 37 ? -1 : baseByte;
    const uint8_t cut = input.Byte();
    std::vector<Utf16Unit> units = input.RestUnits();

    // The conversion on its own, over the whole text, against the library.
    FUZZ_CHECK(Utf16ToInt32(units.data(), (uint32_t)units.size(), base) ==
               ReferenceNumber(units.data(), (uint32_t)units.size(), base < 0 ? 37 : base));

    IniText ini;
    FUZZ_CHECK(ini.SetText(units.data(), (uint32_t)units.size()) == 1);
    FUZZ_CHECK(ini.UnitCount() == units.size());
    FUZZ_CHECK(units.empty() || memcmp(ini.Text(), units.data(), units.size() * sizeof(Utf16Unit)) == 0);
    CheckTree(ini);

    // Names the tree holds, whole, cut and in the other case, and the keys
    // the program looks up.
    int looked = 0;
    for (const IniNode* s = ini.Root()->child.get(); s && looked < 8; s = s->next.get()) {
        for (const IniNode* k = s->child.get(); k && looked < 8; k = k->next.get(), looked++) {
            CheckLookup(ini, NameOf(ini, s, 0xFFFF, false), NameOf(ini, k, 0xFFFF, false), capacity, base);
            CheckLookup(ini, NameOf(ini, s, cut % 8, looked & 1), NameOf(ini, k, cut / 8 % 8, looked & 2), capacity,
                        base);
        }
    }
    CheckLookup(ini, u"", u"", capacity, base);
    CheckLookup(ini, u"0290_Inf", u"MaxSpeed", capacity, base);
    CheckLookup(ini, u"Group0", u"GPU_Id", capacity, base);

    // The same text parsed again gives the same tree.
    IniText again;
    FUZZ_CHECK(again.SetText(ini.Text(), ini.UnitCount()) == 1);
    const IniNode* a = ini.Root()->child.get();
    const IniNode* b = again.Root()->child.get();
    for (; a && b; a = a->next.get(), b = b->next.get())
        FUZZ_CHECK(a->begin == b->begin && a->end == b->end);
    FUZZ_CHECK(a == NULL && b == NULL);
    return 0;
}
