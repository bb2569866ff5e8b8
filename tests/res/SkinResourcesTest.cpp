// Every resource the program loads must exist with the size and bit depth
// its users draw with: a face of the wrong size shows garbage or gets cut,
// a missing one leaves a control blank. Checked on the test's own copy of the
// resources and, when it is built, on VexaPanel.exe itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ResourceReader.h"
#include "resource.h"

namespace {

struct BitmapSize {
    WORD first;
    WORD last;  // inclusive range of ids
    int width;
    int height;
    int bitCount;
};

const BitmapSize kBitmaps[] = {
    {243, 243, 552, 330, 24}, {240, 240, 139, 71, 24}, {242, 242, 139, 71, 24}, {282, 282, 139, 71, 24},
    {284, 308, 139, 71, 24},  {311, 323, 139, 71, 24}, {328, 328, 139, 71, 24}, {374, 374, 88, 44, 24},
    {407, 415, 88, 44, 24},   {418, 418, 88, 44, 24},  {427, 446, 88, 44, 24},  {245, 245, 242, 7, 24},
    {250, 250, 21, 11, 24},   {271, 271, 21, 11, 24},  {358, 358, 21, 11, 24},  {258, 258, 100, 18, 24},
    {267, 267, 100, 18, 24},  {330, 330, 100, 18, 24}, {333, 335, 66, 33, 24},  {259, 259, 11, 11, 24},
    {272, 272, 11, 11, 24},   {359, 359, 11, 11, 24},  {453, 458, 17, 11, 24},  {264, 265, 16, 17, 24},
    {269, 270, 16, 17, 24},   {352, 352, 100, 40, 24}, {353, 353, 100, 36, 32}, {448, 451, 20, 20, 24},
    {351, 351, 14, 14, 24},
};

// The slider's picture tables in the order the slider indexes them.
const WORD kTable42[] = {242, 240, 282, 328, 284, 285, 286, 287, 288, 289, 290, 291, 292, 293,
                         294, 295, 296, 297, 298, 299, 300, 301, 302, 303, 304, 305, 306, 307,
                         311, 312, 313, 314, 315, 316, 317, 318, 319, 320, 321, 322, 323, 308};
const WORD kTable31[] = {407, 438, 429, 418, 415, 414, 374, 413, 412, 408, 409, 443, 444, 445, 446, 442,
                         441, 440, 439, 437, 436, 435, 434, 411, 410, 433, 432, 431, 430, 428, 427};

std::wstring BinFolderFile(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L"\\/") + 1) + name;
}

std::wstring OwnPath() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, n);
}

// Loads a module the way a resource editor would: data only, no code run.
class DataModule {
public:
    explicit DataModule(const std::wstring& path)
        : module_(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~DataModule() {
        if (module_) FreeLibrary(module_);
    }
    DataModule(const DataModule&) = delete;
    DataModule& operator=(const DataModule&) = delete;
    HMODULE Get() const { return module_; }

private:
    HMODULE module_;
};

class SkinResources : public ::testing::TestWithParam<const wchar_t*> {
protected:
    void SetUp() override {
        std::wstring name = GetParam();
        path_ = name == L"self" ? OwnPath() : BinFolderFile(name.c_str());
        if (GetFileAttributesW(path_.c_str()) == INVALID_FILE_ATTRIBUTES) {
#ifdef VEXA_EXPECT_PANEL_EXE
            FAIL() << "missing " << std::string(path_.begin(), path_.end());
#else
            GTEST_SKIP() << "the program is not part of this build yet";
#endif
        }
        module_.reset(new DataModule(path_));
        ASSERT_NE(module_->Get(), nullptr);
    }
    HMODULE Module() const {
        return module_->Get();
    }

    std::wstring path_;
    std::unique_ptr<DataModule> module_;
};

TEST_P(SkinResources, EveryBitmapHasItsSizeAndDepth) {
    int checked = 0;
    for (const BitmapSize& expected : kBitmaps) {
        for (int id = expected.first; id <= expected.last; ++id) {
            SCOPED_TRACE(id);
            StoredBitmap stored = ReadStoredBitmap(Module(), static_cast<WORD>(id));
            ASSERT_TRUE(stored.found);
            EXPECT_EQ(stored.width, expected.width);
            EXPECT_EQ(stored.height, expected.height);
            EXPECT_EQ(stored.bitCount, expected.bitCount);
            EXPECT_EQ(stored.compression, static_cast<DWORD>(BI_RGB));
            ++checked;
        }
    }
    EXPECT_EQ(checked, 104);
}

// The program loads its pictures with LoadBitmapW; the device bitmap it gets
// must keep the stored size.
TEST_P(SkinResources, BitmapsLoadThroughTheSystem) {
    for (const BitmapSize& expected : kBitmaps) {
        for (int id = expected.first; id <= expected.last; ++id) {
            SCOPED_TRACE(id);
            HBITMAP bitmap = LoadBitmapW(Module(), MAKEINTRESOURCEW(id));
            ASSERT_NE(bitmap, nullptr);
            BITMAP bm = {};
            ASSERT_EQ(GetObjectW(bitmap, sizeof(bm), &bm), static_cast<int>(sizeof(bm)));
            EXPECT_EQ(bm.bmWidth, expected.width);
            EXPECT_EQ(bm.bmHeight, expected.height);
            DeleteObject(bitmap);
        }
    }
}

TEST_P(SkinResources, PopupTablesAreComplete) {
    for (WORD id : kTable42) {
        StoredBitmap b = ReadStoredBitmap(Module(), id);
        EXPECT_TRUE(b.found && b.width == 139 && b.height == 71) << id;
    }
    for (WORD id : kTable31) {
        StoredBitmap b = ReadStoredBitmap(Module(), id);
        EXPECT_TRUE(b.found && b.width == 88 && b.height == 44) << id;
    }
}

TEST_P(SkinResources, IconHasSmallLargeAndExtraLargeImages) {
    std::vector<SIZE> sizes = ReadIconGroupSizes(Module(), IDI_VEXA);
    for (int want : {16, 32, 48}) {
        bool found = false;
        for (const SIZE& s : sizes)
            found = found || (s.cx == want && s.cy == want);
        EXPECT_TRUE(found) << "no " << want << " pixel image";
        HICON icon = static_cast<HICON>(LoadImageW(Module(), MAKEINTRESOURCEW(IDI_VEXA), IMAGE_ICON, want, want, 0));
        EXPECT_NE(icon, nullptr) << want;
        if (icon) DestroyIcon(icon);
    }
}

struct ExpectedItem {
    DWORD id;
    WORD classAtom;  // 0x80 button, 0x82 static
    DWORD type;      // BS_* or SS_* in the low bits
    short x, y, cx, cy;
    bool visible;
};

// A template names a system class by atom or, written as a CONTROL, by name.
bool HasClass(const DialogItem& item, WORD atom) {
    if (item.classAtom) return item.classAtom == atom;
    const wchar_t* name = atom == 0x80 ? L"Button" : L"Static";
    return lstrcmpiW(item.className.c_str(), name) == 0;
}

void ExpectDialog(HMODULE module, WORD id, short cx, short cy, bool systemMenu,
                  const std::vector<ExpectedItem>& expectedItems) {
    SCOPED_TRACE(id);
    DialogTemplate t = ReadDialogTemplate(module, id);
    ASSERT_TRUE(t.found);
    EXPECT_EQ(t.cx, cx);
    EXPECT_EQ(t.cy, cy);
    EXPECT_EQ(t.fontName, L"Arial");
    EXPECT_EQ(t.pointSize, 9);
    EXPECT_TRUE(t.style & DS_MODALFRAME);
    EXPECT_TRUE((t.style & WS_CAPTION) == WS_CAPTION);
    EXPECT_EQ((t.style & WS_SYSMENU) != 0, systemMenu);
    EXPECT_EQ(t.items.size(), expectedItems.size());
    for (const ExpectedItem& s : expectedItems) {
        SCOPED_TRACE(s.id);
        const DialogItem* item = t.Find(s.id);
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(HasClass(*item, s.classAtom)) << "class " << item->classAtom;
        DWORD mask = s.classAtom == 0x80 ? 0x0F : 0x1F;
        EXPECT_EQ(item->style & mask, s.type);
        EXPECT_EQ(item->x, s.x);
        EXPECT_EQ(item->y, s.y);
        EXPECT_EQ(item->cx, s.cx);
        EXPECT_EQ(item->cy, s.cy);
        EXPECT_EQ((item->style & WS_VISIBLE) != 0, s.visible);
    }
}

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// The template must also make a real dialog with every control in it.
void ExpectDialogCreates(HMODULE module, WORD id, const std::vector<ExpectedItem>& expectedItems) {
    SCOPED_TRACE(id);
    const void* bytes = FindDialogTemplateBytes(module, id);
    ASSERT_NE(bytes, nullptr);
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), static_cast<LPCDLGTEMPLATEW>(bytes), nullptr,
                                             NoDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    for (const ExpectedItem& s : expectedItems)
        EXPECT_NE(GetDlgItem(dialog, static_cast<int>(s.id)), nullptr) << s.id;
    DestroyWindow(dialog);
}

const std::vector<ExpectedItem> kAboutItems = {
    {IDC_ABOUT_ICON, 0x82, SS_ICON, 2, 2, 20, 20, true},
    {IDC_ABOUT_VERSION, 0x82, SS_LEFT, 30, 3, 119, 8, true},
    {IDC_ABOUT_LINE2, 0x82, SS_LEFT, 30, 12, 147, 8, true},
    {IDOK, 0x80, BS_DEFPUSHBUTTON, 92, 32, 27, 11, true},
    {IDC_ABOUT_HELP, 0x80, BS_PUSHBUTTON, 58, 32, 27, 11, true},
};

const std::vector<ExpectedItem> kFlashItems = {
    {IDC_FLASH_TEXT, 0x82, SS_LEFT, 2, 4, 143, 18, true},
    {IDCANCEL, 0x80, BS_PUSHBUTTON, 2, 14, 40, 11, false},
    {IDC_FLASH_RESTORE, 0x80, BS_PUSHBUTTON, 54, 14, 40, 11, false},
    {IDC_FLASH_UPDATE, 0x80, BS_PUSHBUTTON, 106, 14, 40, 11, false},
};

const std::vector<ExpectedItem> kSettingsItems = {
    {IDC_SETTINGS_RESTART_GROUP, 0x80, BS_GROUPBOX, 3, 3, 125, 59, true},
    {IDC_SETTINGS_DONT_RUN, 0x80, BS_AUTORADIOBUTTON, 8, 11, 116, 11, true},
    {IDC_SETTINGS_RUN, 0x80, BS_AUTORADIOBUTTON, 8, 20, 116, 12, true},
    {IDC_SETTINGS_RUN_MINIMIZED, 0x80, BS_AUTORADIOBUTTON, 8, 31, 116, 10, true},
    {IDC_SETTINGS_RUN_TRAY, 0x80, BS_AUTORADIOBUTTON, 8, 42, 116, 9, true},
    {IDC_SETTINGS_APPLY_QUIT, 0x80, BS_AUTORADIOBUTTON, 8, 51, 116, 10, true},
    {IDC_SETTINGS_SAVE_GROUP, 0x80, BS_GROUPBOX, 130, 3, 128, 23, true},
    {IDC_SETTINGS_SAVE_HW, 0x80, BS_AUTOCHECKBOX, 135, 12, 120, 11, true},
    {IDC_SETTINGS_ABOUT_GROUP, 0x80, BS_GROUPBOX, 130, 38, 128, 24, true},
    {IDC_SETTINGS_SHOW_ABOUT, 0x80, BS_AUTOCHECKBOX, 135, 47, 120, 11, true},
    {IDOK, 0x80, BS_DEFPUSHBUTTON, 96, 64, 29, 11, true},
    {IDCANCEL, 0x80, BS_PUSHBUTTON, 130, 64, 29, 11, true},  // OK is the only default
};

TEST_P(SkinResources, AboutDialogTemplate) {
    ExpectDialog(Module(), IDD_ABOUT, 179, 44, true, kAboutItems);
    DialogTemplate t = ReadDialogTemplate(Module(), IDD_ABOUT);
    const DialogItem* icon = t.Find(IDC_ABOUT_ICON);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->textOrdinal, IDI_VEXA);
    const DialogItem* version = t.Find(IDC_ABOUT_VERSION);
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text, L"Vexa Panel Version 1.2");
    EXPECT_TRUE(version->style & SS_NOPREFIX);
    ExpectDialogCreates(Module(), IDD_ABOUT, kAboutItems);
}

TEST_P(SkinResources, FlashBiosDialogTemplate) {
    // No system menu: the dialog must not be closable while nvflash writes.
    ExpectDialog(Module(), IDD_FLASH_BIOS, 151, 27, false, kFlashItems);
    DialogTemplate t = ReadDialogTemplate(Module(), IDD_FLASH_BIOS);
    EXPECT_EQ(t.caption, L"Flash BIOS");
    EXPECT_EQ(t.Find(IDC_FLASH_RESTORE)->text, L"Restore");
    EXPECT_EQ(t.Find(IDC_FLASH_UPDATE)->text, L"Update");
    ExpectDialogCreates(Module(), IDD_FLASH_BIOS, kFlashItems);
}

TEST_P(SkinResources, SettingsDialogTemplate) {
    ExpectDialog(Module(), IDD_SETTINGS, 261, 78, true, kSettingsItems);
    DialogTemplate t = ReadDialogTemplate(Module(), IDD_SETTINGS);
    EXPECT_EQ(t.Find(IDOK)->text, L"OK");
    EXPECT_EQ(t.Find(IDCANCEL)->text, L"Cancel");
    // The five start modes form one radio group and nothing else joins it.
    EXPECT_TRUE(t.Find(IDC_SETTINGS_DONT_RUN)->style & WS_GROUP);
    EXPECT_TRUE(t.Find(IDC_SETTINGS_SAVE_GROUP)->style & WS_GROUP);
    for (DWORD id : {IDC_SETTINGS_RUN, IDC_SETTINGS_RUN_MINIMIZED, IDC_SETTINGS_RUN_TRAY, IDC_SETTINGS_APPLY_QUIT})
        EXPECT_FALSE(t.Find(id)->style & WS_GROUP) << id;
    ExpectDialogCreates(Module(), IDD_SETTINGS, kSettingsItems);
}

INSTANTIATE_TEST_SUITE_P(Modules, SkinResources, ::testing::Values(L"self", L"VexaPanel.exe"),
                         [](const ::testing::TestParamInfo<const wchar_t*>& info) {
                             return std::string(info.index == 0 ? "TestCopy" : "VexaPanelExe");
                         });

}  // namespace
