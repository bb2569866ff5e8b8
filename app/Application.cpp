#include "Application.h"

#include "ProgramName.h"
#include "CardDatabase.h"
#include "ControlClasses.h"
#include "HardwareObject.h"
#include "LanguageState.h"
#include "Messages.h"
#include "NewsWindow.h"
#include "SavedSettingsRestore.h"
#include "SingleInstance.h"
#include "StartMode.h"
#include "ThermalCalibration.h"
#include "UserPrivilege.h"
#include "WindowUtils.h"
#include "CrashHandBack.h"
#include "PanelFonts.h"
#include "ProgramFile.h"

namespace {

enum StartupText {
    kTextHardwareFailed = 0,
    kTextAddFontFailed = 1,
    kTextDatabaseFailed = 2,
    kTextOldWindows = 59,
    kTextApplicationFailed = 60,
    kTextInstanceFailed = 61,
    kTextOtherUser = 72,
    kTextPleaseWait = 90,
    kTextRunAtNextBoot = 91,
};

const int kAcceleratorTableId = 109;

bool OnStartupWorkerDone() {
    // The card database was loaded while the worker may have held a fan at
    // its test speed; the fan is the card's own again now.
    ReadFanStates(gApp->hardware, gApp->cards);
    if (gApp->CreateMainWindow()) return true;
    ShowStartupError(kTextInstanceFailed);
    return false;
}

// The program folder becomes the current directory: the fonts, the card
// database and the saved settings are opened by bare names.
void EnterProgramFolder() {
    wchar_t path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameW(NULL, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    path[n] = 0;
    SetCurrentDirectoryW(CutToFolder(path));
}

HFONT MakeFont(const wchar_t* face, LONG height, LONG weight, BYTE quality) {
    LOGFONTW lf = {};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfQuality = quality;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectW(&lf);
}

}  // namespace

void ShowStartupError(int textId) {
    MessageBoxW(NULL, LangText(textId), kProgramName, MB_OK | MB_ICONERROR);
}

Application::Application() {
    EnterProgramFolder();
    cards.ClearThresholdsAndFanPresets();
}

Application::~Application() {
    waitWindow.Destroy();
}

HFONT Application::Font(int number) const {
    return (number >= 1 && number <= kPanelFontCount) ? fonts[number - 1].Get() : nullptr;
}

void Application::CreateFonts() {
    for (int i = 0; i < kPanelFontCount; i++) {
        const PanelFontFace& font = kPanelFonts[i];
        fonts[i].Reset(MakeFont(font.face, font.height, font.weight, font.proofQuality ? PROOF_QUALITY : 0));
    }
}

bool Application::RegisterClassesAndFonts(HINSTANCE instance) {
    typedef bool (*RegisterFn)(HINSTANCE);
    // The order is fixed: registration stops at the first failure.
    const RegisterFn steps[] = {
        MainPanel::RegisterClass, RegisterRoundRadioClass,   RegisterCheckBoxClass,   RegisterSliderHandleClass,
        RegisterTextButtonClass,  RegisterBitmapButtonClass, RegisterStaticTextClass, RegisterGroupButtonClass,
        RegisterNewsWindowClass,  RegisterProgressBarClass,  CaptureStaticClassProc,  WaitWindow::RegisterClass,
    };
    for (RegisterFn step : steps) {
        if (!step(instance)) return false;
    }

    userPrivilege = privilegeSource();

    if (!fontTable.AddMissingFonts()) {
        ShowStartupError(kTextAddFontFailed);
        PostQuitMessage(0);
    }
    CreateFonts();
    return true;
}

bool Application::CreateWaitWindow(HINSTANCE instance) {
    return waitWindow.Create(instance, &hardware, OnStartupWorkerDone);
}

bool Application::CreateMainWindow() {
    PanelServices services;
    services.hardware = &hardware;
    services.cards = &cards;
    for (int i = 0; i < kPanelFontCount; i++)
        services.fonts[i] = fonts[i].Get();
    services.privilege = userPrivilege;
    panel.Attach(services);
    return panel.CreateMainWindow(instance_);
}

int Application::FailStart(int textId) {
    if (waitWindow.window) ShowWindow(waitWindow.window, SW_HIDE);
    ShowStartupError(textId);
    if (panel.startMode != kStartInteractive) {
        int answer = MessageBoxW(NULL, LangText(kTextRunAtNextBoot), kProgramName, MB_YESNO | MB_ICONQUESTION);
        if (answer == IDNO) DeleteStartEntries();
    }
    return 0;
}

// Started from the Run value at logon, a missing driver or GPU is often only
// "not yet": the driver may come up after the user's programs. A start by
// the user fails at once.
HardwareStartResult Application::StartHardware() {
    const DWORD kLateDriverWaitMs = 60000;
    const DWORD kLateDriverRetryMs = 2000;
    HardwareStartResult result = hardware.InitializeHardware();
    const bool atLogon = panel.startMode == kStartMinimize || panel.startMode == kStartSysTray ||
                         panel.startMode == kStartOnlyApplySettings;
    const DWORD start = GetTickCount();
    while (atLogon && result == kHardwareUnavailable && GetTickCount() - start < kLateDriverWaitMs) {
        // The wait window stays answered meanwhile.
        for (DWORD pause = GetTickCount(); GetTickCount() - pause < kLateDriverRetryMs;) {
            MsgWaitForMultipleObjects(0, NULL, FALSE, 100, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    // Told to end (the session ends): left for the loop.
                    PostQuitMessage(static_cast<int>(msg.wParam));
                    return result;
                }
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        result = hardware.InitializeHardware();
    }
    return result;
}

void Application::WaitForHardwareReady() {
    // No window exists in this mode; the worker's thread message is the only
    // thing this thread waits for.
    MSG msg;
    while (!PeekMessageW(&msg, NULL, kUmHardwareReady, kUmHardwareReady, PM_REMOVE)) {
        MsgWaitForMultipleObjects(0, NULL, FALSE, 100, QS_POSTMESSAGE);
    }
}

int Application::RunMessageLoop() {
    HACCEL accelerators = LoadAcceleratorsW(instance_, MAKEINTRESOURCEW(kAcceleratorTableId));
    MSG msg;
    int exitCode = 0;
    for (;;) {
        BOOL got = GetMessageW(&msg, NULL, 0, 0);
        if (got == 0) {
            exitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1) break;
        if (accelerators && msg.hwnd && TranslateAcceleratorW(msg.hwnd, accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // Accelerator tables loaded from resources are freed with the module.
    fontTable.RemoveAddedFonts();
    if (!panel.StopBackgroundWork()) {
        // The monitor thread is still inside the hardware: tearing down the
        // objects it uses would pull them from under it, so the process ends
        // here, without running the destructors.
        ExitProcess(static_cast<UINT>(exitCode));
    }
    return exitCode;
}

int Application::Run(HINSTANCE instance, const char* commandLine) {
    instance_ = instance;
    // The start-up worker may post to this thread before any window exists;
    // a thread only receives posted messages once it has a queue.
    MSG probe;
    PeekMessageW(&probe, NULL, WM_USER, WM_USER, PM_NOREMOVE);
    hardware.SetGuiThreadId(GetCurrentThreadId());
    HandCardsBackOnCrash(this);
    gLanguageState.SelectLanguage(gLanguageState.LanguageCode());
    panel.startMode = ParseStartMode(commandLine);

    switch (CheckSingleInstance(instanceMutex.Receive())) {
        case kFirstInstance:
            break;
        case kAnotherInstance:
            return 0;
        case kMutexUnavailable:
            ShowStartupError(kTextOtherUser);
            return 0;
    }

    waitWindow.text = LangText(kTextPleaseWait);
    bool applyOnly = panel.startMode == kStartOnlyApplySettings;
    if (!applyOnly) {
        if (!RegisterClassesAndFonts(instance)) {
            ShowStartupError(kTextApplicationFailed);
            return 0;
        }
        if (!CreateWaitWindow(instance)) {
            ShowStartupError(kTextInstanceFailed);
            return 0;
        }
    }

    switch (StartHardware()) {
        case kHardwareStarted:
            break;
        case kWindowsTooOld:
            return FailStart(kTextOldWindows);
        case kHardwareUnavailable:
            return FailStart(kTextHardwareFailed);
    }
    if (LoadCardDatabase(ProgramFile(L"DMini").Path(), hardware, cards) != kCardDatabaseLoaded)
        return FailStart(kTextDatabaseFailed);
    CalibrateThermalOffset(hardware);

    if (applyOnly) {
        WaitForHardwareReady();
        ReadFanStates(hardware, cards);
        ApplySavedSettingsAtStart(*this);
        return 0;
    }
    if (panel.startMode == kStartMinimize || panel.startMode == kStartSysTray) {
        ShowWindow(waitWindow.window, SW_MINIMIZE);
    }
    return RunMessageLoop();
}
