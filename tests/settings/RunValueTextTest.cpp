#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "RunValueText.h"

std::ostream& operator<<(std::ostream& os, RunValueWord word) {
    switch (word) {
        case RunValueWord::None:
            return os << "None";
        case RunValueWord::Unrecognised:
            return os << "Unrecognised";
        case RunValueWord::Recognised:
            return os << "Recognised";
    }
    return os << "?";
}

namespace {

struct ParseResult {
    RunValueWord word;
    int mode;
};

ParseResult Parse(const std::wstring& text, int startMode = kRunModeNone) {
    int mode = startMode;
    RunValueWord word = ParseRunValueText(text.data(), text.size(), &mode);
    return {word, mode};
}

std::wstring Compose(const wchar_t* path, int mode) {
    wchar_t out[kRunValueBufferChars];
    size_t n = ComposeRunValue(path, mode, out, kRunValueBufferChars);
    EXPECT_EQ(wcslen(out), n);
    return std::wstring(out, n);
}

}  // namespace

TEST(RunModeWords, WordsAndModesMatchBothWays) {
    struct Case {
        int mode;
        const wchar_t* wide;
        const char* narrow;
    } cases[] = {
        {kRunModeNormal, L"Normal", "Normal"},
        {kRunModeMinimize, L"Minimize", "Minimize"},
        {kRunModeSysTray, L"SysTray", "SysTray"},
        {kRunModeOnlyApplySettings, L"OnlyApplySettings", "OnlyApplySettings"},
    };
    for (const Case& c : cases) {
        ASSERT_NE(nullptr, RunModeWord(c.mode));
        EXPECT_STREQ(c.wide, RunModeWord(c.mode));
        EXPECT_EQ(c.mode, RunModeForWord(c.narrow));
    }
    for (int mode : {-1, 0, kRunModeNone, 6, 100}) {
        EXPECT_EQ(nullptr, RunModeWord(mode)) << mode;
    }
}

TEST(RunModeWords, CaseIsIgnoredButNothingElse) {
    struct Case {
        const char* word;
        int mode;
    } cases[] = {
        {"normal", 2},   {"MINIMIZE", 3}, {"sYsTrAy", 4},     {"onlyapplysettings", 5}, {"", 0},
        {" Normal", 0},  {"Normal ", 0},  {"Norma", 0},       {"Normals", 0},           {"/SysTray", 0},
        {"Sys Tray", 0}, {"\xCE\xCF", 0}, {"Minimize\tx", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.mode, RunModeForWord(c.word)) << "'" << c.word << "'";
    }
    EXPECT_EQ(0, RunModeForWord(nullptr));
}

TEST(ComposeRunValue, QuotedPathBlankWord) {
    EXPECT_EQ(L"\"C:\\Program Files\\Vexa Panel\\VexaPanel.exe\" SysTray",
              Compose(L"C:\\Program Files\\Vexa Panel\\VexaPanel.exe", kRunModeSysTray));
    EXPECT_EQ(L"\"C:\\V.exe\" Normal", Compose(L"C:\\V.exe", kRunModeNormal));
    EXPECT_EQ(L"\"C:\\V.exe\" Minimize", Compose(L"C:\\V.exe", kRunModeMinimize));
    EXPECT_EQ(L"\"C:\\V.exe\" OnlyApplySettings", Compose(L"C:\\V.exe", kRunModeOnlyApplySettings));
}

TEST(ComposeRunValue, RefusesWhatCannotBeWritten) {
    EXPECT_EQ(L"", Compose(L"C:\\V.exe", kRunModeNone));
    EXPECT_EQ(L"", Compose(L"C:\\V.exe", 0));
    EXPECT_EQ(L"", Compose(L"C:\\V.exe", 6));
    EXPECT_EQ(L"", Compose(L"", kRunModeNormal));
    EXPECT_EQ(L"", Compose(nullptr, kRunModeNormal));
    EXPECT_EQ(L"", Compose(L"C:\\a\"b.exe", kRunModeNormal)) << "a quote cannot be quoted";

    // The longest path still fits with the longest word; one more character
    // is refused instead of cut.
    std::wstring longest = L"C:\\" + std::wstring(kRunValueMaxPathChars - 3, L'a');
    EXPECT_EQ(L"\"" + longest + L"\" OnlyApplySettings", Compose(longest.c_str(), kRunModeOnlyApplySettings));
    std::wstring tooLong = longest + L"a";
    EXPECT_EQ(L"", Compose(tooLong.c_str(), kRunModeNormal));

    // An output buffer too small for the text gets an empty string.
    wchar_t small[17] = {L'x', L'x'};
    EXPECT_EQ(0u, ComposeRunValue(L"C:\\V.exe", kRunModeNormal, small, 17));
    EXPECT_EQ(L'\0', small[0]);
    wchar_t exact[18];
    EXPECT_EQ(17u, ComposeRunValue(L"C:\\V.exe", kRunModeNormal, exact, 18));
    EXPECT_EQ(0u, ComposeRunValue(L"C:\\V.exe", kRunModeNormal, nullptr, 16));
}

TEST(ParseRunValueText, ComposedValuesReadBack) {
    for (int mode = kRunModeNormal; mode <= kRunModeOnlyApplySettings; mode++) {
        for (const wchar_t* path : {L"C:\\V.exe", L"C:\\Program Files\\My Tools\\Vexa Panel.exe"}) {
            ParseResult r = Parse(Compose(path, mode));
            EXPECT_EQ(RunValueWord::Recognised, r.word) << mode;
            EXPECT_EQ(mode, r.mode);
        }
    }
}

TEST(ParseRunValueText, JudgesTheWordAfterTheLastBlank) {
    struct Case {
        const wchar_t* text;
        RunValueWord word;
        int mode;  // starting from 4, so "unchanged" is visible
    } cases[] = {
        {L"C:\\V.exe minimize", RunValueWord::Recognised, 3},
        {L"C:\\Program Files\\V.exe SysTray", RunValueWord::Recognised, 4},
        {L"C:\\a b c\\V.exe NORMAL", RunValueWord::Recognised, 2},
        {L"\"C:\\Program Files\\V.exe\" SysTray", RunValueWord::Recognised, 4},
        {L"\"C:\\V.exe\" Fast", RunValueWord::Unrecognised, 4},
        {L"\"C:\\Program Files\\V.exe\"", RunValueWord::Unrecognised, 4},
        {L"C:\\V.exe Fast", RunValueWord::Unrecognised, 4},
        {L"C:\\V.exe ", RunValueWord::Unrecognised, 4},
        {L"C:\\V.exe Normal ", RunValueWord::Unrecognised, 4},
        {L"C:\\V.exe  Normal", RunValueWord::Recognised, 2},
        {L"C:\\V.exe\tNormal", RunValueWord::None, 4},
        {L"C:\\V.exe", RunValueWord::None, 4},
        {L"", RunValueWord::None, 4},
        {L" ", RunValueWord::None, 4},
        {L" Normal", RunValueWord::None, 4},
        {L"  ", RunValueWord::Unrecognised, 4},
        {L"x Normal", RunValueWord::Recognised, 2},
        {L"C:\\V.exe 正常", RunValueWord::Unrecognised, 4},
        // Outside ASCII: never a word the program writes, whatever a code
        // page's best fit would make of it.
        {L"C:\\V.exe \xFF2Eormal", RunValueWord::Unrecognised, 4},
        {L"C:\\V.exe Minimiz\x00E9", RunValueWord::Unrecognised, 4},
        {L"C:\\V.exe SysTray\x0300", RunValueWord::Unrecognised, 4},
    };
    for (const Case& c : cases) {
        ParseResult r = Parse(c.text, 4);
        EXPECT_EQ(c.word, r.word) << "'" << c.text << "'";
        EXPECT_EQ(c.mode, r.mode);
    }
}

TEST(ParseRunValueText, StaysInsideTheGivenLength) {
    // Text without a terminator: only the given characters count.
    const wchar_t unterminated[] = {L'C', L' ', L'S', L'y', L's', L'T', L'r', L'a', L'y', L'X'};
    int mode = kRunModeNone;
    EXPECT_EQ(RunValueWord::Recognised, ParseRunValueText(unterminated, 9, &mode));
    EXPECT_EQ(kRunModeSysTray, mode);
    EXPECT_EQ(RunValueWord::Unrecognised, ParseRunValueText(unterminated, 10, &mode));
    EXPECT_EQ(RunValueWord::None, ParseRunValueText(unterminated, 1, &mode));
    EXPECT_EQ(RunValueWord::None, ParseRunValueText(unterminated, 0, &mode));

    // An embedded NUL ends the text.
    std::wstring withNul(L"C:\\V.exe Normal\0 Junk", 21);
    EXPECT_EQ(RunValueWord::Recognised, ParseRunValueText(withNul.data(), withNul.size(), &mode));
    EXPECT_EQ(kRunModeNormal, mode);

    EXPECT_EQ(RunValueWord::None, ParseRunValueText(nullptr, 10, &mode));
}

TEST(ParseRunValueText, OverlongWordsAreUnrecognised) {
    std::wstring word47(kRunValueMaxWordBytes, L'a');
    std::wstring word48(kRunValueMaxWordBytes + 1, L'a');
    std::wstring huge(5000, L'a');
    int mode = kRunModeSysTray;
    for (const std::wstring& word : {word47, word48, huge}) {
        std::wstring text = L"C:\\V.exe " + word;
        EXPECT_EQ(RunValueWord::Unrecognised, ParseRunValueText(text.data(), text.size(), &mode));
        EXPECT_EQ(kRunModeSysTray, mode);
    }
    // Padding before the blank does not matter, only the word's length.
    std::wstring longPath = std::wstring(5000, L'p') + L" Minimize";
    EXPECT_EQ(RunValueWord::Recognised, ParseRunValueText(longPath.data(), longPath.size(), &mode));
    EXPECT_EQ(kRunModeMinimize, mode);
}
