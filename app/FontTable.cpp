#include "FontTable.h"

#include <string.h>

#include "GdiHolders.h"
#include "ProgramFile.h"

namespace {

const FontRow kSkinFonts[] = {
    {L"Arial", L"Arial.ttf", true},
    {L"DigifaceWide", L"digifaw.ttf", true},
};

int CALLBACK MatchFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM param) {
    const wchar_t* wanted = reinterpret_cast<const wchar_t*>(param);
    // The system may offer a substitute family under another name; only the
    // exact face counts as installed.
    return wcscmp(font->lfFaceName, wanted) == 0 ? 0 : 1;
}

// Every top-level window learns about the change without the start waiting
// for each to answer: a notification needs no reply, and a hung or slow
// window must not hold up start-up.
void AnnounceFontChange() {
    SendNotifyMessageW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0);
}

}  // namespace

FontTable::FontTable() : FontTable(kSkinFonts, 2) {}

FontTable::FontTable(const FontRow* rows, int count) : count_(0) {
    for (int i = 0; i < count && i < kMaxRows; i++)
        rows_[count_++] = rows[i];
}

bool FontTable::IsFaceInstalled(const wchar_t* face) {
    MemoryDC dc;
    if (!dc.Get()) return false;
    // EnumFontFamiliesW returns the callback's last result: 0 means a match
    // stopped the enumeration.
    return EnumFontFamiliesW(dc.Get(), face, MatchFace, reinterpret_cast<LPARAM>(face)) == 0;
}

bool FontTable::AddMissingFonts() {
    bool allAdded = true;
    for (int i = 0; i < count_; i++) {
        FontRow& row = rows_[i];
        if (IsFaceInstalled(row.face)) row.addedByThisRun = false;
        if (!row.addedByThisRun) continue;
        if (AddFontResourceW(ProgramFile(row.file).Path()) == 0) {
            // Nothing was added, so nothing may be removed at exit.
            row.addedByThisRun = false;
            allAdded = false;
        }
        AnnounceFontChange();
    }
    return allAdded;
}

void FontTable::RemoveAddedFonts() {
    for (int i = 0; i < count_; i++) {
        FontRow& row = rows_[i];
        if (!row.addedByThisRun) continue;
        RemoveFontResourceW(ProgramFile(row.file).Path());
        row.addedByThisRun = false;
    }
}
