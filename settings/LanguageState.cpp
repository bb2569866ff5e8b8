#include "LanguageState.h"

#include <locale.h>
#include <windows.h>

LanguageState gLanguageState;

LanguageState::LanguageState() {
    // Fill the texts at once so that lookups made before the entry function
    // selects the language already find real strings.
    SelectLanguage(LanguageCodeForLangId(GetSystemDefaultLangID()));
    setlocale(LC_CTYPE, ".ACP");
}

void LanguageState::SelectLanguage(int newCode) {
    int column = LanguageColumnForCode(newCode);
    code = column == kColumnEnglish ? kLanguageEnglish : newCode;
    for (int id = 0; id < kLanguageTextCount; id++) {
        texts[id] = LanguageTable[id * kLanguageColumnCount + column];
    }
}

const wchar_t* LanguageState::Text(int id) const {
    if (id < 0 || id >= kLanguageTextCount) {
        return L"";
    }
    // Still null only while static initialisation has not reached us.
    const wchar_t* text = texts[id];
    return text ? text : LanguageTable[id * kLanguageColumnCount + kColumnEnglish];
}

const wchar_t* LangText(int id) {
    return gLanguageState.Text(id);
}
