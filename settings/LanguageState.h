#pragma once

#include "LanguagePick.h"
#include "LanguageTable.h"

// The language of this run and the texts of that language by text id.
// One global instance, made during static initialisation; the language is
// picked from the system's default language and never changes afterwards.
class LanguageState {
public:
    // Picks the language and switches the C runtime's character conversions
    // to the system ANSI code page, which the Run value's mode word and the
    // news page rely on.
    LanguageState();
    LanguageState(const LanguageState&) = delete;
    LanguageState& operator=(const LanguageState&) = delete;

    int LanguageCode() const { return code; }

    // Points every text id at the table column of `code`; codes other than
    // the two Chinese ones select English.
    void SelectLanguage(int code);

    // The text of `id` in the selected language; L"" for ids outside the table.
    const wchar_t* Text(int id) const;

private:
    int code = kLanguageEnglish;
    const wchar_t* texts[kLanguageTextCount] = {};
};

extern LanguageState gLanguageState;

// Shorthand for gLanguageState.Text(id); safe to call even before the global
// is constructed (it then answers in English).
const wchar_t* LangText(int id);
