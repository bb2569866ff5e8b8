#include "IniReader.h"

#include <new>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <wctype.h>

namespace {

const wchar_t kByteOrderMark = 0xFEFF;

enum ParseState { kIdle, kInSection, kInKey, kInValue };

IniNode* NewNode(uint32_t begin, uint32_t end) {
    IniNode* node = new (std::nothrow) IniNode;
    if (node) {
        node->begin = begin;
        node->end = end;
        node->next = NULL;
        node->child = NULL;
    }
    return node;
}

// Frees a tree of at most three levels without recursing along the
// (possibly very long) sibling lists.
void FreeChildren(IniNode* node) {
    IniNode* section = node->child;
    while (section) {
        IniNode* key = section->child;
        while (key) {
            delete key->child;
            IniNode* nextKey = key->next;
            delete key;
            key = nextKey;
        }
        IniNode* nextSection = section->next;
        delete section;
        section = nextSection;
    }
    node->child = NULL;
}

void TrimSpaces(const wchar_t* text, uint32_t* begin, uint32_t* end) {
    while (*begin < *end && text[*begin] == L' ') {
        (*begin)++;
    }
    while (*end > *begin && text[*end - 1] == L' ') {
        (*end)--;
    }
}

}  // namespace

IniReader::IniReader() : file_(NULL), buffer_(NULL), unitCount_(0), caseSensitive_(0), trimNames_(1), disCode_(NULL) {
    root_.begin = 0;
    root_.end = 0;
    root_.next = NULL;
    root_.child = NULL;
    inicd_.Reset(LoadLibraryW(L"inicd.dll"));
    if (inicd_) {
        disCode_ = (DisCodeFn)(void*)GetProcAddress(inicd_.Get(), "DisCode");
    }
}

IniReader::~IniReader() {
    Clear();
}

void IniReader::Clear() {
    FreeChildren(&root_);
    if (file_) {
        fclose(file_);
        file_ = NULL;
    }
    delete[] buffer_;
    buffer_ = NULL;
    unitCount_ = 0;
}

int IniReader::Load(const wchar_t* fileName, bool decode) {
    Clear();
    FILE* probe = _wfopen(fileName, L"rb");
    if (!probe) {
        return 0;
    }
    int64_t length = -1;
    if (_fseeki64(probe, 0, SEEK_END) == 0) {
        length = _ftelli64(probe);
    }
    fclose(probe);
    if (length < 0 || length > (int64_t)kIniMaxFileBytes) {
        return 0;
    }
    file_ = _wfopen(fileName, L"rb");
    if (!file_) {
        return 0;
    }
    size_t bytes = (size_t)length;
    // One spare unit keeps the buffer valid for an empty or one-byte file.
    buffer_ = new (std::nothrow) wchar_t[bytes / 2 + 1];
    if (!buffer_) {
        Clear();
        return 0;
    }
    memset(buffer_, 0, (bytes / 2 + 1) * sizeof(wchar_t));
    size_t read = fread(buffer_, 1, bytes, file_);
    unitCount_ = (uint32_t)(read / 2);
    bool whole = read == bytes;
    if (decode) {
        if (!disCode_ || !whole) {
            Clear();
            return 0;
        }
        disCode_(buffer_, (int)unitCount_);
    }
    if (!whole || !Parse()) {
        Clear();
        return 0;
    }
    return 1;
}

int IniReader::LoadText(const wchar_t* text, uint32_t unitCount) {
    Clear();
    if (unitCount > kIniMaxFileBytes / 2) {
        return 0;
    }
    buffer_ = new (std::nothrow) wchar_t[unitCount + 1];
    if (!buffer_) {
        return 0;
    }
    memcpy(buffer_, text, unitCount * sizeof(wchar_t));
    buffer_[unitCount] = 0;
    unitCount_ = unitCount;
    if (!Parse()) {
        Clear();
        return 0;
    }
    return 1;
}

bool IniReader::Parse() {
    ParseState state = kIdle;
    uint32_t start = 0;
    IniNode* lastSection = NULL;
    IniNode* lastKey = NULL;
    for (uint32_t i = 0; i < unitCount_; i++) {
        wchar_t c = buffer_[i];
        if (c == kByteOrderMark) {
            continue;
        }
        if (c == L'[' && (state == kIdle || state == kInSection)) {
            start = i + 1;
            state = kInSection;
        } else if (c == L']' && state == kInSection) {
            uint32_t begin = start, end = i;
            if (trimNames_) {
                TrimSpaces(buffer_, &begin, &end);
            }
            IniNode* section = NewNode(begin, end);
            if (!section) {
                return false;
            }
            if (lastSection) {
                lastSection->next = section;
            } else {
                root_.child = section;
            }
            lastSection = section;
            lastKey = NULL;
            state = kIdle;
        } else if (c == L'=' && state == kInKey && lastSection) {
            uint32_t begin = start, end = i;
            if (trimNames_) {
                TrimSpaces(buffer_, &begin, &end);
            }
            IniNode* key = NewNode(begin, end);
            if (!key) {
                return false;
            }
            if (lastKey) {
                lastKey->next = key;
            } else {
                lastSection->child = key;
            }
            lastKey = key;
            start = i + 1;
            state = kInValue;
        } else if (c == L'\r' || c == L'\n') {
            if (state == kInValue) {
                IniNode* value = NewNode(start, i);
                if (!value) {
                    return false;
                }
                lastKey->child = value;
            }
            state = kIdle;
        } else if (state == kIdle) {
            start = i;
            state = kInKey;
        }
    }
    return true;
}

bool IniReader::SpanStartsWith(const IniNode* node, const wchar_t* name) const {
    size_t length = wcslen(name);
    if (node->end - node->begin < length) {
        return false;
    }
    const wchar_t* text = buffer_ + node->begin;
    for (size_t i = 0; i < length; i++) {
        wchar_t a = text[i], b = name[i];
        if (!caseSensitive_) {
            a = (wchar_t)towlower(a);
            b = (wchar_t)towlower(b);
        }
        if (a != b) {
            return false;
        }
    }
    return true;
}

const IniNode* IniReader::FindValue(const wchar_t* section, const wchar_t* key) const {
    for (const IniNode* s = root_.child; s; s = s->next) {
        if (!SpanStartsWith(s, section)) {
            continue;
        }
        for (const IniNode* k = s->child; k; k = k->next) {
            if (SpanStartsWith(k, key)) {
                return k->child;
            }
        }
        // Only the first matching section is searched.
        return NULL;
    }
    return NULL;
}

int IniReader::GetText(const wchar_t* section, const wchar_t* key, wchar_t* out, uint32_t capacity) const {
    const IniNode* value = FindValue(section, key);
    if (!value || capacity == 0) {
        return 0;
    }
    uint32_t length = value->end - value->begin;
    if (length > capacity - 1) {
        length = capacity - 1;
    }
    memcpy(out, buffer_ + value->begin, length * sizeof(wchar_t));
    out[length] = 0;
    return 1;
}

int IniReader::GetInt(const wchar_t* section, const wchar_t* key, long* value, int base) const {
    // Converting from a terminated copy keeps the conversion inside the
    // value: the buffer itself runs on into the following lines.
    wchar_t text[64];
    if (!GetText(section, key, text, sizeof(text) / sizeof(text[0]))) {
        return 0;
    }
    *value = wcstol(text, NULL, base);
    return 1;
}
