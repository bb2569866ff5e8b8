#pragma once

// Language codes of the program; the language is fixed for a whole run.
const int kLanguageEnglish = 1;
const int kLanguageSimplifiedChinese = 2;
const int kLanguageTraditionalChinese = 3;

// The language code for a system default language id (a LANGID).
int LanguageCodeForLangId(unsigned short langId);

// The table column holding the texts of a language code; unknown codes
// fall back to English.
int LanguageColumnForCode(int code);
