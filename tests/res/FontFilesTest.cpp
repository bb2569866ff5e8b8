// The two font files the program adds at start must give the faces it asks
// for by name, with every character the panel draws in them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

int CALLBACK ExactFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM param) {
    return wcscmp(font->lfFaceName, reinterpret_cast<const wchar_t*>(param)) == 0 ? 0 : 1;
}

bool FaceInstalled(HDC dc, const wchar_t* face) {
    return EnumFontFamiliesW(dc, face, ExactFace, reinterpret_cast<LPARAM>(face)) == 0;
}

// Adds a font file from the bin folder for the life of the object.
class AddedFont {
public:
    explicit AddedFont(const wchar_t* file) : file_(file), added_(AddFontResourceW(file)) {}
    ~AddedFont() {
        if (added_) RemoveFontResourceW(file_);
    }
    AddedFont(const AddedFont&) = delete;
    AddedFont& operator=(const AddedFont&) = delete;
    int Count() const { return added_; }

private:
    const wchar_t* file_;
    int added_;
};

class FontInDc {
public:
    FontInDc(const wchar_t* face, LONG height, LONG weight) : dc_(CreateCompatibleDC(nullptr)) {
        LOGFONTW lf = {};
        lf.lfHeight = height;
        lf.lfWeight = weight;
        lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
        font_ = CreateFontIndirectW(&lf);
        old_ = SelectObject(dc_, font_);
    }
    ~FontInDc() {
        SelectObject(dc_, old_);
        DeleteObject(font_);
        DeleteDC(dc_);
    }
    FontInDc(const FontInDc&) = delete;
    FontInDc& operator=(const FontInDc&) = delete;
    HDC Dc() const { return dc_; }
    std::wstring FaceName() const {
        wchar_t name[LF_FACESIZE] = {};
        GetTextFaceW(dc_, LF_FACESIZE, name);
        return name;
    }

private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ old_;
};

TEST(FontFiles, DigifaceWideHasEveryCharacterTheDisplaysShow) {
    AddedFont added(L"digifaw.ttf");
    ASSERT_EQ(added.Count(), 1);
    FontInDc f(L"DigifaceWide", 16, 0);
    EXPECT_TRUE(FaceInstalled(f.Dc(), L"DigifaceWide"));
    EXPECT_EQ(f.FaceName(), L"DigifaceWide");
    const wchar_t kShown[] = L"0123456789%. -:ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const int n = static_cast<int>(wcslen(kShown));
    WORD glyphs[80];
    ASSERT_EQ(GetGlyphIndicesW(f.Dc(), kShown, n, glyphs, GGI_MARK_NONEXISTING_GLYPHS), static_cast<DWORD>(n));
    for (int i = 0; i < n; ++i)
        EXPECT_NE(glyphs[i], 0xFFFF) << "no glyph for '" << static_cast<char>(kShown[i]) << "'";
    // Digits share one advance, so a changing value does not jitter.
    SIZE one = {}, eight = {};
    GetTextExtentPoint32W(f.Dc(), L"1111", 4, &one);
    GetTextExtentPoint32W(f.Dc(), L"8888", 4, &eight);
    EXPECT_EQ(one.cx, eight.cx);
    // The 16-pixel font fills most of the 20-pixel display's height.
    TEXTMETRICW tm = {};
    GetTextMetricsW(f.Dc(), &tm);
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_GE(tm.tmAscent, 13);
}

TEST(FontFiles, ArialStandInMeasuresLikeArial) {
    AddedFont added(L"Arial.ttf");
    ASSERT_EQ(added.Count(), 2);  // regular and bold
    // Measured at a 100-pixel em, where hinting cannot bend the advances.
    FontInDc f(L"Arial", -100, 0);
    EXPECT_TRUE(FaceInstalled(f.Dc(), L"Arial"));
    EXPECT_EQ(f.FaceName(), L"Arial");
    // Arial's advance widths in units of 2048 per em: 'W' 1933, 'i' 455,
    // digits 1139. A metric-compatible face keeps these ratios.
    ABC w = {}, i = {}, zero = {};
    ASSERT_TRUE(GetCharABCWidthsW(f.Dc(), L'W', L'W', &w));
    ASSERT_TRUE(GetCharABCWidthsW(f.Dc(), L'i', L'i', &i));
    ASSERT_TRUE(GetCharABCWidthsW(f.Dc(), L'0', L'0', &zero));
    auto advance = [](const ABC& a) { return a.abcA + static_cast<int>(a.abcB) + a.abcC; };
    const double em = 100;
    EXPECT_NEAR(advance(w), em * 1933 / 2048, 1.0);
    EXPECT_NEAR(advance(i), em * 455 / 2048, 1.0);
    EXPECT_NEAR(advance(zero), em * 1139 / 2048, 1.0);
}

// Bold captions need a real bold face: an emboldened regular one is wider
// and clips the captions of the narrow group buttons.
TEST(FontFiles, ArialStandInHasARealBoldFace) {
    AddedFont added(L"Arial.ttf");
    ASSERT_EQ(added.Count(), 2);
    {
        FontInDc f(L"Arial", -100, FW_BOLD);
        ABC i = {};
        ASSERT_TRUE(GetCharABCWidthsW(f.Dc(), L'i', L'i', &i));
        EXPECT_NEAR(i.abcA + static_cast<int>(i.abcB) + i.abcC, 100.0 * 569 / 2048, 1.0);
    }
    FontInDc caption(L"Arial", 14, FW_BOLD);
    SIZE master = {};
    GetTextExtentPoint32W(caption.Dc(), L"Master", 6, &master);
    // The "Master" button is 43 pixels wide, its frame takes one on each side.
    EXPECT_LE(master.cx, 41);
}

}  // namespace
