// The program as the setup program or the portable zip put it on a machine:
// scripts/run-install-check.sh installs it into a fresh prefix, puts the
// virtual card's stand-ins beside it and runs these with
// VEXA_INSTALLED_PANEL naming its folder.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "../panel/PanelExeFixture.h"
#include "LogonTask.h"

namespace {

std::wstring Environment(const wchar_t* name) {
    wchar_t value[MAX_PATH] = L"";
    DWORD n = GetEnvironmentVariableW(name, value, MAX_PATH);
    return n > 0 && n < MAX_PATH ? value : L"";
}

// The Run value as the 32-bit program sees it, whatever this checker's
// width: under WOW64 the two have different views of the key.
std::wstring RunValueOf32BitPrograms() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) {
        return L"";
    }
    wchar_t text[512] = L"";
    DWORD size = sizeof(text) - sizeof(wchar_t);
    if (RegQueryValueExW(key, kRunValueName, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS) {
        text[0] = L'\0';
    }
    RegCloseKey(key);
    return text;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

class InstalledPanel : public PanelExe {
protected:
    void SetUp() override {
        folder_ = Environment(L"VEXA_INSTALLED_PANEL");
        ASSERT_FALSE(folder_.empty()) << "VEXA_INSTALLED_PANEL names the installed folder";
        program_ = folder_ + L"\\VexaPanel.exe";
        ASSERT_TRUE(Exists(program_));
    }

    // Closes the panel as End task does and waits until it has ended.
    void CloseAndWait(HWND main) {
        PostMessageW(main, WM_CLOSE, 0, 0);
        DWORD code = 0;
        EXPECT_TRUE(panel_.WaitForExit(10000, &code)) << "the panel did not end";
    }

    HWND OpenSettings(HWND main) {
        ClickAt(main, kSettingsButton.x, kSettingsButton.y);
        for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(50)) {
            HWND dialog = panel_.FindWindowOfClass(L"#32770");
            if (dialog && IsWindowVisible(dialog)) return dialog;
        }
        return NULL;
    }

    std::wstring folder_;
};

// The user's path through an installed copy: it starts from its folder under
// Program Files on the card, takes a start-with-Windows choice and saves its
// settings there when it ends.
TEST_F(InstalledPanel, StartsTakesAStartChoiceAndSavesInItsFolder) {
    HWND main = Start("monitorchip");
    ASSERT_TRUE(main != NULL) << "no main window with readings";
    HWND dialog = OpenSettings(main);
    ASSERT_TRUE(dialog != NULL);
    ClickControl(GetDlgItem(dialog, kRunToTray));
    if (!Ticked(dialog, kSaveBox)) ClickControl(GetDlgItem(dialog, kSaveBox));
    ClickControl(GetDlgItem(dialog, IDOK));
    for (DWORD start = GetTickCount(); IsWindow(dialog) && GetTickCount() - start < 5000;)
        Sleep(50);
    ASSERT_FALSE(IsWindow(dialog));

    wchar_t word[64];
    if (StartsThroughLogonTask()) {
        EXPECT_TRUE(ReadLogonTaskArguments(word, 64)) << "no logon task";
        EXPECT_EQ(L"", RunValueOf32BitPrograms());
    } else {
        EXPECT_EQ(0, lstrcmpiW((L"\"" + program_ + L"\" SysTray").c_str(), RunValueOf32BitPrograms().c_str()))
            << RunValueOf32BitPrograms().c_str();
    }
    CloseAndWait(main);
    EXPECT_TRUE(Exists(folder_ + L"\\DM_CurrSettings.txt")) << "the settings were not saved in the program's folder";
}

// The portable zip's folder: the program starts there and ends again.
TEST_F(InstalledPanel, StartsFromAnUnpackedFolder) {
    HWND main = Start("adt7473");
    ASSERT_TRUE(main != NULL) << "no main window with readings";
    CloseAndWait(main);
}
