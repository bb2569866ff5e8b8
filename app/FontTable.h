#pragma once
// The two fonts the skin draws with. A font missing from the system is added
// from its file in the program folder for this run and removed at exit.

#include <windows.h>

struct FontRow {
    const wchar_t* face;
    const wchar_t* file;
    bool addedByThisRun;  // starts set; cleared when the face is found installed
};

class FontTable {
public:
    FontTable();                                // "Arial" from "Arial.ttf", "DigifaceWide" from "digifaw.ttf"
    FontTable(const FontRow* rows, int count);  // for tests; at most kMaxRows

    // Adds every font whose face is not installed. Returns false when a font
    // file could not be added; the other rows are still handled.
    bool AddMissingFonts();
    // Removes what AddMissingFonts added.
    void RemoveAddedFonts();

    int RowCount() const { return count_; }
    const FontRow& Row(int i) const { return rows_[i]; }

    static bool IsFaceInstalled(const wchar_t* face);

    static const int kMaxRows = 4;

private:
    FontRow rows_[kMaxRows];
    int count_;
};
