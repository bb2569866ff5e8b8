// Drives the built program through what the README shows: the panel, the
// tray menu, the Settings and the About dialog. At each view it writes
// "<folder>\<view>.ready" and waits for "<folder>\<view>.taken", which the
// screenshot script writes once it has the picture.
//   screenshot_tour.exe FOLDER
#include <windows.h>

#include <string>

#include "PanelProcess.h"
#include "PanelWindow.h"
#include "vcard/VirtualCardControl.h"

namespace {

const wchar_t kMainClass[] = L"VexaPanelMainWnd_Cls";
const UINT kTrayNotify = WM_USER + 45;

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// False when the script never took the picture.
bool Show(const std::wstring& folder, const wchar_t* view) {
    const std::wstring ready = folder + L"\\" + view + L".ready";
    const std::wstring taken = folder + L"\\" + view + L".taken";
    DeleteFileW(taken.c_str());
    HANDLE file = CreateFileW(ready.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    for (DWORD start = GetTickCount(); !Exists(taken); Sleep(100))
        if (GetTickCount() - start > 60000) return false;
    DeleteFileW(ready.c_str());
    DeleteFileW(taken.c_str());
    return true;
}

void PressEscape() {
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    Sleep(300);
}

void CloseDialog(PanelProcess& panel, int button) {
    HWND dialog = panel.FindWindowOfClass(L"#32770");
    if (dialog) PostMessageW(dialog, WM_COMMAND, button, 0);
    Sleep(500);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    const std::wstring folder = argv[1];
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    if (!VcardUseState((std::wstring(temp) + L"vexa-screenshots.state").c_str()) || !VcardReset("monitorchip"))
        return 1;
    VcardSetTimeMode(kVcardTimeRealtime);
    SetEnvironmentVariableW(L"VEXA_TEST_PRIVILEGE", L"2");
    PanelProcess panel;
    if (!panel.Start(L"", L"monitorchip", L"VexaPanelForTests.exe")) return 1;
    HWND main = panel.WaitForWindow(kMainClass, 60000);
    if (!main) return 1;
    Sleep(4000);  // the readings and the gauges settle
    bool shown = Show(folder, L"panel");

    PointerTo(main, 420, 120);
    SetForegroundWindow(main);
    PostMessageW(main, kTrayNotify, 0, WM_RBUTTONDOWN);
    Sleep(800);
    shown = shown && Show(folder, L"tray-menu");
    PressEscape();

    ClickAt(main, 347, 315);  // Settings
    Sleep(1000);
    shown = shown && Show(folder, L"settings");
    CloseDialog(panel, IDCANCEL);

    ClickAt(main, 454, 315);  // About; the news download fails at once here
    Sleep(2500);
    shown = shown && Show(folder, L"about");
    CloseDialog(panel, IDOK);
    panel.Kill();
    return shown ? 0 : 1;
}
