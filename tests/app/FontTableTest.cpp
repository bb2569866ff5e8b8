#include "FontTable.h"

#include <gtest/gtest.h>

namespace {

int CALLBACK TakeInstalledFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM param) {
    // Vertical ("@") and substituted families do not enumerate under their
    // own name; keep looking until one does.
    if (!FontTable::IsFaceInstalled(font->lfFaceName)) return 1;
    *reinterpret_cast<std::wstring*>(param) = font->lfFaceName;
    return 0;
}

// A face the system really has.
std::wstring InstalledFace() {
    std::wstring face;
    HDC dc = CreateCompatibleDC(nullptr);
    EnumFontFamiliesW(dc, nullptr, TakeInstalledFamily, reinterpret_cast<LPARAM>(&face));
    DeleteDC(dc);
    return face;
}

}  // namespace

TEST(FontTable, InstalledFaceIsNeitherAddedNorRemoved) {
    std::wstring face = InstalledFace();
    ASSERT_FALSE(face.empty());
    // The file does not exist: an attempt to add it would fail the call.
    FontRow rows[] = {{face.c_str(), L"no-such-font-file.ttf", true}};
    FontTable table(rows, 1);
    EXPECT_TRUE(table.AddMissingFonts());
    EXPECT_FALSE(table.Row(0).addedByThisRun);
    table.RemoveAddedFonts();
    EXPECT_TRUE(FontTable::IsFaceInstalled(face.c_str()));
}

TEST(FontTable, MissingFaceIsAddedFromItsFileAndRemovedAtExit) {
    // The tests run in the bin folder, where the build puts the skin fonts.
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(L"digifaw.ttf"));
    ASSERT_FALSE(FontTable::IsFaceInstalled(L"DigifaceWide"));
    FontRow rows[] = {{L"DigifaceWide", L"digifaw.ttf", true}};
    FontTable table(rows, 1);
    EXPECT_TRUE(table.AddMissingFonts());
    EXPECT_TRUE(table.Row(0).addedByThisRun);
    EXPECT_TRUE(FontTable::IsFaceInstalled(L"DigifaceWide"));
    table.RemoveAddedFonts();
    EXPECT_FALSE(table.Row(0).addedByThisRun);
    EXPECT_FALSE(FontTable::IsFaceInstalled(L"DigifaceWide"));
}

TEST(FontTable, UnreadableFileFailsAndIsNotRemovedLater) {
    FontRow rows[] = {
        {L"VexaNoSuchFace", L"no-such-font-file.ttf", true},
        {L"DigifaceWide", L"digifaw.ttf", true},
    };
    FontTable table(rows, 2);
    EXPECT_FALSE(table.AddMissingFonts());
    EXPECT_FALSE(table.Row(0).addedByThisRun);
    // A failure does not stop the rows after it.
    EXPECT_TRUE(table.Row(1).addedByThisRun);
    table.RemoveAddedFonts();
    EXPECT_FALSE(FontTable::IsFaceInstalled(L"DigifaceWide"));
}

TEST(FontTable, SkinTableNamesBothFonts) {
    FontTable table;
    ASSERT_EQ(2, table.RowCount());
    EXPECT_STREQ(L"Arial", table.Row(0).face);
    EXPECT_STREQ(L"Arial.ttf", table.Row(0).file);
    EXPECT_STREQ(L"DigifaceWide", table.Row(1).face);
    EXPECT_STREQ(L"digifaw.ttf", table.Row(1).file);
    EXPECT_TRUE(table.Row(0).addedByThisRun);
    EXPECT_TRUE(table.Row(1).addedByThisRun);
}
