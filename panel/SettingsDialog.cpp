#include "SettingsDialog.h"

#include <wchar.h>

#include "LanguageState.h"
#include "ProgramName.h"
#include "WindowUtils.h"
#include "resource.h"

const DialogItemText kSettingsDialogTexts[] = {
    {IDC_SETTINGS_RESTART_GROUP, 97},
    {IDC_SETTINGS_DONT_RUN, 92},
    {IDC_SETTINGS_RUN, 93},
    {IDC_SETTINGS_RUN_MINIMIZED, 94},
    {IDC_SETTINGS_RUN_TRAY, 95},
    {IDC_SETTINGS_APPLY_QUIT, 96},
    {IDC_SETTINGS_SAVE_GROUP, 99},
    {IDC_SETTINGS_SAVE_HW, 86},
    {IDC_SETTINGS_ABOUT_GROUP, 98},
    {IDC_SETTINGS_SHOW_ABOUT, 85},
    {IDOK, 56},
    {IDCANCEL, 57},
};
const int kSettingsDialogTextCount = sizeof(kSettingsDialogTexts) / sizeof(kSettingsDialogTexts[0]);

namespace {

const int kTextSettings = 89;

// The radio buttons in the order OK looks at them, with the start mode each
// stands for.
const struct {
    int controlId;
    int mode;
} kRunChoices[] = {
    {IDC_SETTINGS_DONT_RUN, kRunModeNone},
    {IDC_SETTINGS_RUN, kRunModeNormal},
    {IDC_SETTINGS_RUN_MINIMIZED, kRunModeMinimize},
    {IDC_SETTINGS_RUN_TRAY, kRunModeSysTray},
    {IDC_SETTINGS_APPLY_QUIT, kRunModeOnlyApplySettings},
};

bool IsTicked(HWND dialog, int id) {
    return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Tick(HWND dialog, int id, bool on) {
    SendDlgItemMessageW(dialog, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void InitDialog(HWND dialog, const RegistryFlags& flags) {
    CenterWindowOnScreen(dialog, GetWindow(dialog, GW_OWNER));
    wchar_t caption[128];
    _snwprintf(caption, 128, L"%s %s", kProgramName, LangText(kTextSettings));
    caption[127] = 0;
    SetWindowTextW(dialog, caption);
    for (int i = 0; i < kSettingsDialogTextCount; i++)
        SetDlgItemTextW(dialog, kSettingsDialogTexts[i].controlId, LangText(kSettingsDialogTexts[i].textId));
    Tick(dialog, IDC_SETTINGS_SAVE_HW, flags.restoreUserSettings != 0);
    Tick(dialog, IDC_SETTINGS_SHOW_ABOUT, flags.displayAboutAtStartup != 0);
    for (const auto& choice : kRunChoices)
        Tick(dialog, choice.controlId, choice.mode == flags.runValueMode);
}

void StoreChoices(HWND dialog, RegistryFlags& flags) {
    SetRestoreUserSettings(flags, IsTicked(dialog, IDC_SETTINGS_SAVE_HW));
    SetDisplayAboutAtStartup(flags, IsTicked(dialog, IDC_SETTINGS_SHOW_ABOUT));
    for (const auto& choice : kRunChoices) {
        if (IsTicked(dialog, choice.controlId)) {
            ApplyRunChoice(flags, choice.mode);
            return;
        }
    }
    // No radio ticked (a mode outside the five): the Run value stays.
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            InitDialog(dialog, *reinterpret_cast<RegistryFlags*>(lParam));
            return TRUE;
        case WM_COMMAND: {
            const WORD id = LOWORD(wParam);
            if (id != IDOK && id != IDCANCEL) return FALSE;
            if (id == IDOK)
                StoreChoices(dialog, *reinterpret_cast<RegistryFlags*>(GetWindowLongPtrW(dialog, DWLP_USER)));
            EndDialog(dialog, id);
            return TRUE;
        }
    }
    return FALSE;
}

}  // namespace

INT_PTR ShowSettingsDialogBox(HWND owner, RegistryFlags* flags) {
    if (!flags) return 0;
    return DialogBoxParamW(GetModuleHandleW(NULL), MAKEINTRESOURCEW(IDD_SETTINGS), owner, SettingsDialogProc,
                           reinterpret_cast<LPARAM>(flags));
}
