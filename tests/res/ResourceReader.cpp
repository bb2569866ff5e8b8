#include "ResourceReader.h"

#include <cstring>

namespace {

const void* LockedResource(HMODULE module, WORD id, const wchar_t* type, DWORD* size) {
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!info) return nullptr;
    HGLOBAL data = LoadResource(module, info);
    if (!data) return nullptr;
    if (size) *size = SizeofResource(module, info);
    return LockResource(data);
}

// Walks the packed, WORD-aligned fields of a dialog template.
class TemplateCursor {
public:
    explicit TemplateCursor(const BYTE* start) : p_(start) {}
    WORD Word() {
        WORD w;
        std::memcpy(&w, p_, sizeof(w));
        p_ += sizeof(w);
        return w;
    }
    DWORD Dword() {
        DWORD d;
        std::memcpy(&d, p_, sizeof(d));
        p_ += sizeof(d);
        return d;
    }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte() { return *p_++; }
    std::wstring String() {
        std::wstring s;
        for (WORD c = Word(); c; c = Word())
            s.push_back(static_cast<wchar_t>(c));
        return s;
    }
    // A string, or 0xFFFF followed by an ordinal.
    void StringOrOrdinal(std::wstring* text, WORD* ordinal) {
        WORD first = Word();
        if (first == 0xFFFF) {
            *ordinal = Word();
            return;
        }
        *ordinal = 0;
        text->clear();
        for (WORD c = first; c; c = Word())
            text->push_back(static_cast<wchar_t>(c));
    }
    void AlignDword(const BYTE* base) {
        while ((p_ - base) % 4)
            ++p_;
    }
    void Skip(size_t n) { p_ += n; }

private:
    const BYTE* p_;
};

}  // namespace

StoredBitmap ReadStoredBitmap(HMODULE module, WORD id) {
    StoredBitmap out;
    DWORD size = 0;
    const void* data = LockedResource(module, id, MAKEINTRESOURCEW(2) /* RT_BITMAP */, &size);
    if (!data || size < sizeof(BITMAPINFOHEADER)) return out;
    BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof(header));
    out.found = true;
    out.width = header.biWidth;
    out.height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    out.bitCount = header.biBitCount;
    out.compression = header.biCompression;
    return out;
}

#pragma pack(push, 2)
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)
static_assert(sizeof(GroupIconEntry) == 14, "icon directory entries are packed");

std::vector<SIZE> ReadIconGroupSizes(HMODULE module, WORD id) {
    std::vector<SIZE> sizes;
    DWORD size = 0;
    const BYTE* data =
        static_cast<const BYTE*>(LockedResource(module, id, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, &size));
    if (!data || size < sizeof(GroupIconHeader)) return sizes;
    GroupIconHeader header;
    std::memcpy(&header, data, sizeof(header));
    for (WORD i = 0; i < header.count; ++i) {
        size_t at = sizeof(header) + i * sizeof(GroupIconEntry);
        if (at + sizeof(GroupIconEntry) > size) break;
        GroupIconEntry e;
        std::memcpy(&e, data + at, sizeof(e));
        // A width byte of 0 stands for 256.
        SIZE s = {e.width ? e.width : 256, e.height ? e.height : 256};
        sizes.push_back(s);
    }
    return sizes;
}

const DialogItem* DialogTemplate::Find(DWORD id) const {
    for (const DialogItem& item : items)
        if (item.id == id) return &item;
    return nullptr;
}

const void* FindDialogTemplateBytes(HMODULE module, WORD id) {
    return LockedResource(module, id, MAKEINTRESOURCEW(5) /* RT_DIALOG */, nullptr);
}

DialogTemplate ReadDialogTemplate(HMODULE module, WORD id) {
    DialogTemplate out;
    const BYTE* base = static_cast<const BYTE*>(FindDialogTemplateBytes(module, id));
    if (!base) return out;
    out.found = true;
    TemplateCursor c(base);
    WORD version = c.Word();
    WORD signature = c.Word();
    out.extended = version == 1 && signature == 0xFFFF;
    WORD count = 0;
    if (out.extended) {
        c.Dword();  // help id
        c.Dword();  // extended style
        out.style = c.Dword();
    } else {
        // The two words just read were the style's low and high halves.
        out.style = MAKELONG(version, signature);
        c.Dword();  // extended style
    }
    count = c.Word();
    c.Short();
    c.Short();
    out.cx = c.Short();
    out.cy = c.Short();
    std::wstring ignored;
    WORD ordinal = 0;
    c.StringOrOrdinal(&ignored, &ordinal);  // menu
    c.StringOrOrdinal(&ignored, &ordinal);  // class
    out.caption = c.String();
    if (out.style & DS_SETFONT) {
        out.pointSize = c.Word();
        if (out.extended) {
            c.Word();  // weight
            c.Byte();  // italic
            c.Byte();  // character set
        }
        out.fontName = c.String();
    }
    for (WORD i = 0; i < count; ++i) {
        c.AlignDword(base);
        DialogItem item;
        if (out.extended) {
            c.Dword();  // help id
            c.Dword();  // extended style
            item.style = c.Dword();
        } else {
            item.style = c.Dword();
            c.Dword();  // extended style
        }
        item.x = c.Short();
        item.y = c.Short();
        item.cx = c.Short();
        item.cy = c.Short();
        item.id = out.extended ? c.Dword() : c.Word();
        c.StringOrOrdinal(&item.className, &item.classAtom);
        c.StringOrOrdinal(&item.text, &item.textOrdinal);
        WORD extra = c.Word();
        c.Skip(extra);
        out.items.push_back(item);
    }
    return out;
}
