// Reads resources in their stored form, so that tests see what the file
// carries (a bitmap's own bit depth, a dialog's units) rather than what the
// system makes of it when loading.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct StoredBitmap {
    bool found = false;
    int width = 0;
    int height = 0;
    int bitCount = 0;
    DWORD compression = 0;
};

StoredBitmap ReadStoredBitmap(HMODULE module, WORD id);

// Sizes of the images of an icon group (width x height each).
std::vector<SIZE> ReadIconGroupSizes(HMODULE module, WORD id);

struct DialogItem {
    DWORD id = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    WORD classAtom = 0;      // 0x80 button, 0x82 static, ...; 0 when named
    std::wstring className;  // when not an atom
    std::wstring text;       // empty for an ordinal title
    WORD textOrdinal = 0;    // a resource id given as the title (icons)
};

struct DialogTemplate {
    bool found = false;
    bool extended = false;
    DWORD style = 0;
    short cx = 0, cy = 0;
    std::wstring caption;
    std::wstring fontName;
    WORD pointSize = 0;
    std::vector<DialogItem> items;
    const DialogItem* Find(DWORD id) const;
};

DialogTemplate ReadDialogTemplate(HMODULE module, WORD id);
const void* FindDialogTemplateBytes(HMODULE module, WORD id);
