// Every text the panel paints or puts on its buttons fits its place, in each
// of the three languages, measured through the panel's own fonts.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "LanguageState.h"
#include "PaintedTexts.h"
#include "PanelFonts.h"
#include "PanelLayout.h"
#include "PanelTexts.h"

namespace {

class TextFit : public ::testing::Test {
protected:
    // The skin's faces, from the program's folder, as start-up adds them.
    static void SetUpTestSuite() {
        AddFontResourceW(L"Arial.ttf");
        AddFontResourceW(L"digifaw.ttf");
    }
    static void TearDownTestSuite() {
        RemoveFontResourceW(L"Arial.ttf");
        RemoveFontResourceW(L"digifaw.ttf");
    }

    void SetUp() override {
        dc_ = CreateCompatibleDC(NULL);
        for (int i = 0; i < kPanelFontCount; i++) {
            LOGFONTW lf = {};
            lf.lfHeight = kPanelFonts[i].height;
            lf.lfWeight = kPanelFonts[i].weight;
            lf.lfQuality = kPanelFonts[i].proofQuality ? PROOF_QUALITY : 0;
            lstrcpynW(lf.lfFaceName, kPanelFonts[i].face, LF_FACESIZE);
            fonts_[i] = CreateFontIndirectW(&lf);
        }
    }
    void TearDown() override {
        for (HFONT font : fonts_)
            DeleteObject(font);
        DeleteDC(dc_);
        gLanguageState.SelectLanguage(kLanguageEnglish);
    }

    // The widest line of the text in the font.
    int Width(int font, const std::wstring& text) {
        HGDIOBJ old = SelectObject(dc_, fonts_[font - 1]);
        int widest = 0;
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find(L'\n', start);
            if (end == std::wstring::npos) end = text.size();
            SIZE size = {};
            GetTextExtentPoint32W(dc_, text.c_str() + start, static_cast<int>(end - start), &size);
            if (size.cx > widest) widest = size.cx;
            start = end + 1;
        }
        SelectObject(dc_, old);
        return widest;
    }

    HDC dc_ = NULL;
    HFONT fonts_[kPanelFontCount] = {};
};

const int kLanguages[] = {kLanguageEnglish, kLanguageSimplifiedChinese, kLanguageTraditionalChinese};

}  // namespace

TEST_F(TextFit, PaintedTextsEndBeforeTheirNeighbour) {
    for (int language : kLanguages) {
        gLanguageState.SelectLanguage(language);
        for (const PaintedText* t : painted::kAll) {
            EXPECT_LE(t->x + Width(t->font, LangText(t->textId)), t->right)
                << "language " << language << ", text " << t->textId << " \"" << LangText(t->textId) << "\"";
        }
    }
    // The widest four-digit clock a slider can show, in MHz.
    const int value = Width(2, L"8888");
    EXPECT_LE(painted::kValueMinX + value, painted::kValueMinRight);
    EXPECT_LE(painted::kValueX + value, painted::kValueRight);
    EXPECT_LE(painted::kValueMaxX + value, painted::kValueMaxRight);
}

TEST_F(TextFit, ButtonCaptionsFitTheirButtons) {
    using namespace layout;
    const struct {
        const Box& box;
        int textId;
        int font;
    } buttons[] = {
        {kMasterButton, kTextMaster, 1},
        {kSlaveButton, kTextSlave, 1},
        {kBiosButton, kTextBios, 1},
        {kSettingsButton, kTextSettings, 6},
        {kRestoreButton, kTextRestoreDefaults, 7},
        {kAboutButton, kTextAbout, 1},
        {kTestButton, kTextTest, 2},
        {kApplyButton, kTextApply, 2},
    };
    for (int language : kLanguages) {
        gLanguageState.SelectLanguage(language);
        for (const auto& b : buttons) {
            // A pixel of frame on each side.
            EXPECT_LE(Width(b.font, LangText(b.textId)), b.box.width - 2)
                << "language " << language << ", text " << b.textId << " \"" << LangText(b.textId) << "\"";
        }
    }
}
