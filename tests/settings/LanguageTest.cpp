#include <gtest/gtest.h>

#include <locale.h>
#include <string.h>
#include <wchar.h>
#include <windows.h>

#include <set>

#include "LanguageState.h"
#include "LanguageTable.h"

namespace {

const wchar_t* Entry(int id, int column) {
    return LanguageTable[id * kLanguageColumnCount + column];
}

int CountLineBreaks(const wchar_t* text) {
    int n = 0;
    for (; *text; text++) {
        n += *text == L'\n';
    }
    return n;
}

// Puts the global's language back after a test switched it.
class LanguageSwitch : public ::testing::Test {
protected:
    void TearDown() override { gLanguageState.SelectLanguage(savedCode); }
    int savedCode = gLanguageState.LanguageCode();
};

}  // namespace

TEST(LanguagePick, SystemLanguageIdsPickTheirCode) {
    struct Case {
        unsigned short langId;
        int code;
    } cases[] = {
        {0x0404, kLanguageTraditionalChinese},  // Chinese, Taiwan
        {0x0C04, kLanguageTraditionalChinese},  // Chinese, Hong Kong
        {0x1004, kLanguageTraditionalChinese},  // Chinese, Singapore
        {0x1404, kLanguageTraditionalChinese},  // Chinese, Macao
        {0x0804, kLanguageSimplifiedChinese},   // Chinese, PRC
        {0x0409, kLanguageEnglish},             // English, US
        {0x0809, kLanguageEnglish},             // English, UK
        {0x0411, kLanguageEnglish},             // Japanese
        {0x0407, kLanguageEnglish},             // German
        {0x0004, kLanguageEnglish},             // Chinese without a region
        {0x7C04, kLanguageEnglish},             // Chinese (Traditional) neutral
        {0x0000, kLanguageEnglish},
        {0xFFFF, kLanguageEnglish},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.code, LanguageCodeForLangId(c.langId)) << "language id 0x" << std::hex << c.langId;
    }
}

TEST(LanguageTable, EveryEntryIsPresentAndNotEmpty) {
    for (int i = 0; i < kLanguageTextCount * kLanguageColumnCount; i++) {
        ASSERT_NE(nullptr, LanguageTable[i]) << "entry " << i;
        EXPECT_NE(L'\0', LanguageTable[i][0]) << "entry " << i;
    }
}

TEST(LanguageTable, TechnicalTermsReadTheSameInEveryLanguage) {
    for (int id : {14, 34, 35, 45, 46, 47, 100}) {
        for (int column = 1; column < kLanguageColumnCount; column++) {
            EXPECT_STREQ(Entry(id, 0), Entry(id, column)) << "id " << id << " column " << column;
        }
    }
    EXPECT_STREQ(L"Vexa\nBIOS", Entry(14, kColumnEnglish));
    EXPECT_STREQ(L"Vexa BIOS", Entry(100, kColumnEnglish));
}

TEST(LanguageTable, EveryOtherTextIsTranslated) {
    const std::set<int> sameEverywhere = {14, 34, 35, 45, 46, 47, 100};
    for (int id = 0; id < kLanguageTextCount; id++) {
        if (sameEverywhere.count(id)) {
            continue;
        }
        EXPECT_STRNE(Entry(id, 0), Entry(id, kColumnSimplifiedChinese)) << "id " << id;
        EXPECT_STRNE(Entry(id, 0), Entry(id, kColumnTraditionalChinese)) << "id " << id;
    }
}

// Button captions are laid out by their line breaks, so a translation must
// keep the same number of lines.
TEST(LanguageTable, TranslationsKeepTheLineBreaks) {
    for (int id = 0; id < kLanguageTextCount; id++) {
        int english = CountLineBreaks(Entry(id, 0));
        EXPECT_EQ(english, CountLineBreaks(Entry(id, kColumnSimplifiedChinese))) << "id " << id;
        EXPECT_EQ(english, CountLineBreaks(Entry(id, kColumnTraditionalChinese))) << "id " << id;
    }
}

TEST(LanguageTable, RowsLineUpWithTheirIds) {
    // Spot checks across the table: a missing or extra string would shift
    // every later row.
    EXPECT_STREQ(L"Add font failed!", Entry(1, 0));
    EXPECT_STREQ(L"Overclocking test completed!", Entry(4, 0));
    EXPECT_STREQ(L"OK", Entry(56, 0));
    EXPECT_STREQ(L"Vexa Panel has been started by other user.", Entry(72, 0));
    EXPECT_STREQ(L"Initializing, please wait...", Entry(90, 0));
    EXPECT_STREQ(L"Save Hardware Settings", Entry(99, 0));
    EXPECT_STREQ(L"Fan Speed Setting: ", Entry(39, 0));
    EXPECT_STREQ(L"设置", Entry(89, kColumnSimplifiedChinese));
    EXPECT_STREQ(L"設定", Entry(89, kColumnTraditionalChinese));
}

TEST(LanguageState, GlobalPicksTheSystemLanguageAtStart) {
    EXPECT_EQ(LanguageCodeForLangId(GetSystemDefaultLangID()), gLanguageState.LanguageCode());
    int column = LanguageColumnForCode(gLanguageState.LanguageCode());
    EXPECT_STREQ(Entry(90, column), LangText(90));
}

TEST(LanguageState, ConversionsUseTheAnsiCodePage) {
    const char* locale = setlocale(LC_CTYPE, nullptr);
    ASSERT_NE(nullptr, locale);
    EXPECT_STRNE("C", locale);
    char expected[16];
    snprintf(expected, sizeof(expected), ".%u", GetACP());
    EXPECT_NE(nullptr, strstr(locale, expected)) << locale;
}

TEST_F(LanguageSwitch, SelectLanguageSwitchesEveryText) {
    struct Case {
        int code;
        int expectedCode;
        int column;
    } cases[] = {
        {kLanguageSimplifiedChinese, kLanguageSimplifiedChinese, kColumnSimplifiedChinese},
        {kLanguageTraditionalChinese, kLanguageTraditionalChinese, kColumnTraditionalChinese},
        {kLanguageEnglish, kLanguageEnglish, kColumnEnglish},
        {0, kLanguageEnglish, kColumnEnglish},
        {4, kLanguageEnglish, kColumnEnglish},
        {-1, kLanguageEnglish, kColumnEnglish},
    };
    for (const Case& c : cases) {
        gLanguageState.SelectLanguage(c.code);
        EXPECT_EQ(c.expectedCode, gLanguageState.LanguageCode()) << "code " << c.code;
        for (int id = 0; id < kLanguageTextCount; id++) {
            ASSERT_EQ(Entry(id, c.column), gLanguageState.Text(id)) << "code " << c.code << " id " << id;
            ASSERT_EQ(Entry(id, c.column), LangText(id));
        }
    }
}

TEST_F(LanguageSwitch, IdsOutsideTheTableGiveEmptyText) {
    for (int code : {kLanguageEnglish, kLanguageSimplifiedChinese, kLanguageTraditionalChinese}) {
        gLanguageState.SelectLanguage(code);
        for (int id : {-1, kLanguageTextCount, 303, -2147483647 - 1, 2147483647}) {
            ASSERT_NE(nullptr, LangText(id));
            EXPECT_STREQ(L"", LangText(id)) << "id " << id;
        }
    }
}

TEST_F(LanguageSwitch, SingaporeChineseShowsTraditionalTexts) {
    gLanguageState.SelectLanguage(LanguageCodeForLangId(0x1004));
    EXPECT_STREQ(L"說明", LangText(87));
    EXPECT_STREQ(L"Vexa BIOS", LangText(100));
    EXPECT_STREQ(L"Vexa\nBIOS", LangText(14));
}

TEST_F(LanguageSwitch, GermanShowsEnglishTexts) {
    gLanguageState.SelectLanguage(LanguageCodeForLangId(0x0407));
    EXPECT_STREQ(L"Help", LangText(87));
}
