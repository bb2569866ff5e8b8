#pragma once

// Every user-visible text of the program, by text id, in three languages.
// Entry = id * kLanguageColumnCount + column; the strings are static.

const int kLanguageTextCount = 104;
const int kLanguageColumnCount = 3;

// Columns of the table.
const int kColumnEnglish = 0;
const int kColumnSimplifiedChinese = 1;
const int kColumnTraditionalChinese = 2;

// Bound left open here so that the definition's static_assert counts rows.
extern const wchar_t* const LanguageTable[];
