// The Settings and About dialogs of the built program, opened from the
// panel's buttons and clicked with real mouse input; the registry of the
// tests' Wine prefix is the witness of what OK stores.

#include <wchar.h>

#include <tlhelp32.h>

#include <vector>

#include "AboutDialog.h"
#include "LanguageState.h"
#include "LogonTask.h"
#include "PanelExeFixture.h"
#include "ProgramRegistry.h"
#include "SettingsDialog.h"

namespace {

const RECT kSettingsFace = {324, 303, 371, 328};
const POINT kBiosButton = {301, 315};
const int kHelp = 9;
const int kFileTypeBox = 0x470;  // the open dialog's file type list (cmb1)

// Whether the process has loaded a library of this name.
bool HasModule(DWORD pid, const wchar_t* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    MODULEENTRY32W module = {};
    module.dwSize = sizeof(module);
    bool found = false;
    for (BOOL more = Module32FirstW(snapshot, &module); more && !found; more = Module32NextW(snapshot, &module))
        found = lstrcmpiW(module.szModule, name) == 0;
    CloseHandle(snapshot);
    return found;
}

// A registry value as it was before a test, put back afterwards.
class SavedValue {
public:
    SavedValue(const wchar_t* path, const wchar_t* name) : path_(path), name_(name) {
        HKEY key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
        DWORD size = sizeof(data_);
        present_ = RegQueryValueExW(key, name, NULL, &type_, data_, &size) == ERROR_SUCCESS;
        size_ = size;
        RegCloseKey(key);
    }
    ~SavedValue() {
        HKEY key;
        if (RegCreateKeyW(HKEY_LOCAL_MACHINE, path_, &key) != ERROR_SUCCESS) return;
        if (present_)
            RegSetValueExW(key, name_, 0, type_, data_, size_);
        else
            RegDeleteValueW(key, name_);
        RegCloseKey(key);
    }

private:
    const wchar_t* path_;
    const wchar_t* name_;
    bool present_ = false;
    DWORD type_ = 0, size_ = 0;
    BYTE data_[1024] = {};
};

std::wstring RunValue() {
    wchar_t text[512] = L"";
    DWORD size = sizeof(text) - sizeof(wchar_t);
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return L"";
    RegQueryValueExW(key, kRunValueName, NULL, NULL, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    return text;
}

DWORD ProgramFlag(const wchar_t* name) {
    DWORD value = 99, size = sizeof(value), type;
    ReadProgramValue(name, &value, &size, &type);
    return value;
}

std::wstring Text(HWND window) {
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, 256);
    return text;
}

bool WaitGone(HWND window) {
    for (DWORD start = GetTickCount(); IsWindow(window); Sleep(50))
        if (GetTickCount() - start > 5000) return false;
    return true;
}

// Pixels of the area in the main window's client, as painted on the screen.
std::vector<COLORREF> Pixels(HWND main, const RECT& area) {
    return ScreenPicture(main).Pixels(area);
}

// The About dialog's template as the system lays it out, before it grows.
SIZE AboutTemplateClientSize() {
    SIZE size = {0, 0};
    HMODULE program = LoadLibraryExW(L"VexaPanelForTests.exe", NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!program) return size;
    struct Quiet {
        static INT_PTR CALLBACK Proc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }
    };
    HWND dialog = CreateDialogParamW(program, MAKEINTRESOURCEW(103), NULL, Quiet::Proc, 0);
    RECT r = {0, 0, 0, 0};
    GetClientRect(dialog, &r);
    DestroyWindow(dialog);
    FreeLibrary(program);
    size.cx = r.right;
    size.cy = r.bottom;
    return size;
}

// The help viewer is a process of its own that the panel's shell started;
// it would outlive the test and keep CTest waiting on its output.
void CloseViewer(HWND viewer) {
    if (!viewer) return;
    DWORD pid = 0;
    GetWindowThreadProcessId(viewer, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    if (!process) return;
    if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0) TerminateProcess(process, 1);
    CloseHandle(process);
}

}  // namespace

class DialogsExe : public PanelExe {
protected:
    // Opens a dialog of the panel and waits until it shows.
    HWND Open(HWND main, POINT button) {
        ClickAt(main, button.x, button.y);
        return Shown();
    }
    HWND Shown() {
        for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(50)) {
            HWND dialog = panel_.FindWindowOfClass(L"#32770");
            if (dialog && IsWindowVisible(dialog)) return dialog;
        }
        return NULL;
    }

    // The prefix is the tests' own: no logon task is kept.
    ~DialogsExe() override { DeleteLogonTask(); }

    SavedValue run_{kRunKeyPath, kRunValueName};
    SavedValue restore_{kProgramKeyPath, kRestoreUserSettingsName};
    SavedValue about_{kProgramKeyPath, kDisplayAboutAtStartupName};
};

// The dialog shows what the program holds, OK stores the start choice and
// the options, and Cancel and the close box leave everything as it was.
TEST_F(DialogsExe, SettingsShowAndStoreTheStartChoice) {
    DeleteStartEntries();
    RegistryFlags off;
    SetRestoreUserSettings(off, false);
    SetDisplayAboutAtStartup(off, false);
    HWND main = Start("monitorchip");
    ASSERT_TRUE(main != NULL);
    PointerTo(main, 20, 20);
    ShownAndPainted(main);
    const std::vector<COLORREF> released = Pixels(main, kSettingsFace);

    HWND dialog = Open(main, kSettingsButton);
    ASSERT_TRUE(dialog != NULL);
    EXPECT_EQ(std::wstring(L"Vexa Panel ") + LangText(89), Text(dialog));
    EXPECT_EQ(LangText(95), Text(GetDlgItem(dialog, kRunToTray)));
    EXPECT_TRUE(Ticked(dialog, kDontRun));
    for (int id : {kRun, 1022, kRunToTray, 1024, kSaveBox, kShowAboutBox})
        EXPECT_FALSE(Ticked(dialog, id)) << id;
    ClickControl(GetDlgItem(dialog, kRunToTray));
    ClickControl(GetDlgItem(dialog, kSaveBox));
    ClickControl(GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(WaitGone(dialog));

    wchar_t folder[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, folder);
    wchar_t taskWord[64];
    if (StartsThroughLogonTask()) {
        // An elevated program on Vista and later: the logon task instead.
        EXPECT_TRUE(ReadLogonTaskArguments(taskWord, 64)) << "no logon task";
        EXPECT_EQ(L"", RunValue());
    } else {
        EXPECT_EQ(0, lstrcmpiW((L"\"" + std::wstring(folder) + L"\\VexaPanelForTests.exe\" SysTray").c_str(),
                               RunValue().c_str()))
            << RunValue().c_str();
        EXPECT_FALSE(ReadLogonTaskArguments(taskWord, 64)) << "a logon task beside the Run value";
    }
    EXPECT_EQ(1u, ProgramFlag(kRestoreUserSettingsName));
    EXPECT_EQ(0u, ProgramFlag(kDisplayAboutAtStartupName));
    PointerTo(main, 20, 20);
    ShownAndPainted(main);
    EXPECT_TRUE(released == Pixels(main, kSettingsFace)) << "the Settings button stayed down";

    dialog = Open(main, kSettingsButton);
    ASSERT_TRUE(dialog != NULL);
    EXPECT_TRUE(Ticked(dialog, kRunToTray));
    EXPECT_FALSE(Ticked(dialog, kDontRun));
    EXPECT_TRUE(Ticked(dialog, kSaveBox));
    ClickControl(GetDlgItem(dialog, kRun));
    ClickControl(GetDlgItem(dialog, kSaveBox));
    ClickControl(GetDlgItem(dialog, kShowAboutBox));
    ClickControl(GetDlgItem(dialog, IDCANCEL));
    ASSERT_TRUE(WaitGone(dialog));
    const std::wstring stored = RunValue();
    if (!StartsThroughLogonTask()) {
        EXPECT_NE(std::wstring::npos, stored.find(L" SysTray"));
    }

    dialog = Open(main, kSettingsButton);
    ASSERT_TRUE(dialog != NULL);
    EXPECT_TRUE(Ticked(dialog, kRunToTray)) << "Cancel changed the choice";
    EXPECT_TRUE(Ticked(dialog, kSaveBox));
    EXPECT_FALSE(Ticked(dialog, kShowAboutBox));
    ClickControl(GetDlgItem(dialog, kDontRun));
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
    ASSERT_TRUE(WaitGone(dialog));
    EXPECT_EQ(stored, RunValue());
    EXPECT_EQ(1u, ProgramFlag(kRestoreUserSettingsName));
    EXPECT_EQ(0u, ProgramFlag(kDisplayAboutAtStartupName));
}

// The dialog grows by its news list, if it has one, and the margin; Help
// leaves it open; the system menu's About opens it too, but never a second
// one.
TEST_F(DialogsExe, AboutGrowsAndStaysOpenForHelp) {
    HWND main = Start("monitorchip");
    ASSERT_TRUE(main != NULL);
    HWND dialog = Open(main, kAboutButton);
    ASSERT_TRUE(dialog != NULL);
    EXPECT_EQ(LangText(9), Text(dialog));
    EXPECT_EQ(LangText(56), Text(GetDlgItem(dialog, IDOK)));
    EXPECT_EQ(LangText(87), Text(GetDlgItem(dialog, kHelp)));
    SIZE plain = AboutTemplateClientSize();
    ASSERT_GT(plain.cy, 0);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(plain.cx, client.right);
    // The program's news page is out of the tests' reach: the list holds at
    // most the failure line, and nothing while the download still runs.
    int listHeight = 0;
    if (HWND list = GetDlgItem(dialog, kNewsListId)) {
        RECT r;
        GetWindowRect(list, &r);
        listHeight = r.bottom - r.top;
        EXPECT_EQ(std::wstring(LangText(63)), DisplayText(GetDlgItem(list, 0)));
    }
    EXPECT_EQ(plain.cy + listHeight + kNewsListMargin, client.bottom);

    ClickControl(GetDlgItem(dialog, kHelp));
    HWND viewer = NULL;
    for (DWORD start = GetTickCount(); !viewer && GetTickCount() - start < 15000; Sleep(100))
        viewer = FindWindowW(L"HH Parent", NULL);
    EXPECT_TRUE(viewer != NULL) << "no help viewer";
    CloseViewer(viewer);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "Help closed the dialog";
    ClickControl(GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(WaitGone(dialog));

    PostMessageW(main, WM_SYSCOMMAND, 70, 0);
    dialog = Shown();
    ASSERT_TRUE(dialog != NULL);
    int before = panel_.CountWindows();
    PostMessageW(main, WM_SYSCOMMAND, 70, 0);
    Sleep(1000);
    EXPECT_EQ(before, panel_.CountWindows()) << "a second About dialog";
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitGone(dialog));
}

// The place a news list plugs in: the dialog's bottom edge moves by the
// list's height and the margin.
TEST(AboutDialog, GrowsByTheNewsList) {
    HWND window = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_CAPTION, 100, 100, 300, 120, NULL, NULL,
                                  GetModuleHandleW(NULL), NULL);
    ASSERT_TRUE(window != NULL);
    GrowForNewsList(window, 180);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(100, r.top);
    EXPECT_EQ(120 + 180 + kNewsListMargin, r.bottom - r.top);
    DestroyWindow(window);
}

namespace {

// The room a dialog item leaves its text: a radio's or check box's mark and
// gap, a group box's caption inset, a button's frame.
int TextRoom(HWND item) {
    RECT r;
    GetClientRect(item, &r);
    wchar_t cls[16] = L"";
    GetClassNameW(item, cls, 16);
    if (lstrcmpiW(cls, L"Button") != 0) return r.right;
    const LONG type = GetWindowLongW(item, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_AUTORADIOBUTTON || type == BS_AUTOCHECKBOX) return r.right - GetSystemMetrics(SM_CXMENUCHECK) - 4;
    if (type == BS_GROUPBOX) return r.right - 16;
    return r.right - 4;
}

BOOL CALLBACK ExpectItemFits(HWND item, LPARAM) {
    wchar_t text[256] = L"";
    GetWindowTextW(item, text, 256);
    HWND dialog = GetParent(item);
    RECT inDialog, client;
    GetWindowRect(item, &inDialog);
    MapWindowPoints(NULL, dialog, reinterpret_cast<POINT*>(&inDialog), 2);
    GetClientRect(dialog, &client);
    EXPECT_LE(inDialog.right, client.right) << "item " << GetDlgCtrlID(item) << " runs off the dialog";
    if (!text[0] || (GetWindowLongW(item, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) return TRUE;
    HDC dc = GetDC(item);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(item, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (wchar_t* line = wcstok(text, L"\n"); line; line = wcstok(NULL, L"\n")) {
        SIZE size = {};
        GetTextExtentPoint32W(dc, line, lstrlenW(line), &size);
        if (size.cx > widest) widest = size.cx;
    }
    SelectObject(dc, old);
    ReleaseDC(item, dc);
    EXPECT_LE(widest, TextRoom(item)) << "item " << GetDlgCtrlID(item);
    return TRUE;
}

// Items inside a group box keep clear of its frame.
void ExpectInsideTheirGroups(HWND dialog) {
    for (HWND group = GetWindow(dialog, GW_CHILD); group; group = GetWindow(group, GW_HWNDNEXT)) {
        if ((GetWindowLongW(group, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX) continue;
        RECT frame;
        GetWindowRect(group, &frame);
        for (HWND item = GetWindow(dialog, GW_CHILD); item; item = GetWindow(item, GW_HWNDNEXT)) {
            RECT r;
            GetWindowRect(item, &r);
            if (item == group || r.top < frame.top || r.bottom > frame.bottom || r.left < frame.left - 2 ||
                r.right > frame.right + 2)
                continue;
            EXPECT_GE(r.left, frame.left + 4) << "item " << GetDlgCtrlID(item) << " on its group's frame";
            EXPECT_LE(r.right, frame.right - 2) << "item " << GetDlgCtrlID(item) << " on its group's frame";
        }
    }
}

}  // namespace

// In each language every dialog item's text fits the item, every item the
// dialog, and nothing sits on a group box's frame.
TEST(DialogTexts, FitTheirItemsInEveryLanguage) {
    HMODULE program = LoadLibraryExW(L"VexaPanelForTests.exe", NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(program != NULL);
    struct Quiet {
        static INT_PTR CALLBACK Proc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }
    };
    for (int language : {kLanguageEnglish, kLanguageSimplifiedChinese, kLanguageTraditionalChinese}) {
        SCOPED_TRACE(language);
        gLanguageState.SelectLanguage(language);
        HWND settings = CreateDialogParamW(program, MAKEINTRESOURCEW(452), NULL, Quiet::Proc, 0);
        ASSERT_TRUE(settings != NULL);
        for (int i = 0; i < kSettingsDialogTextCount; i++)
            SetDlgItemTextW(settings, kSettingsDialogTexts[i].controlId, LangText(kSettingsDialogTexts[i].textId));
        EnumChildWindows(settings, ExpectItemFits, 0);
        ExpectInsideTheirGroups(settings);
        DestroyWindow(settings);

        HWND about = CreateDialogParamW(program, MAKEINTRESOURCEW(103), NULL, Quiet::Proc, 0);
        ASSERT_TRUE(about != NULL);
        SetDlgItemTextW(about, IDOK, LangText(56));
        SetDlgItemTextW(about, kHelp, LangText(87));
        EnumChildWindows(about, ExpectItemFits, 0);
        DestroyWindow(about);
    }
    gLanguageState.SelectLanguage(kLanguageEnglish);
    FreeLibrary(program);
}

// The BIOS button asks for a .rom file; the file dialog's library comes
// with the first use, not with every start.
TEST_F(DialogsExe, TheBiosButtonLoadsTheFileDialogWhenFirstUsed) {
    HWND main = Start("monitorchip");
    ASSERT_TRUE(main != NULL);
    EXPECT_FALSE(HasModule(panel_.Id(), L"comdlg32.dll")) << "loaded at start";
    HWND dialog = Open(main, kBiosButton);
    ASSERT_TRUE(dialog != NULL);
    EXPECT_TRUE(HasModule(panel_.Id(), L"comdlg32.dll"));
    wchar_t types[64] = {};
    GetDlgItemTextW(dialog, kFileTypeBox, types, 64);
    EXPECT_EQ(std::wstring(L"BIOS file(*.rom)"), types);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitGone(dialog));
}
