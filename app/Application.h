#pragma once
// The one application object: everything the process keeps for its whole
// life, created before the entry point runs.

#include <windows.h>

#include "CardSettings.h"
#include "FontTable.h"
#include "GdiHolders.h"
#include "HandleHolders.h"
#include "HardwareObject.h"
#include "MainPanel.h"
#include "PanelFonts.h"
#include "UserPrivilege.h"
#include "WaitWindow.h"

class Application {
public:
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The entry function's work; returns the process exit code.
    int Run(HINSTANCE instance, const char* commandLine);

    // Registers every window class (stopping at the first failure), reads
    // the user's privilege, adds missing fonts and creates the four fonts.
    bool RegisterClassesAndFonts(HINSTANCE instance);

    bool CreateWaitWindow(HINSTANCE instance);
    bool CreateMainWindow();

    HFONT Font(int number) const;  // 1..kPanelFontCount

    MainPanel panel;
    HardwareObject hardware;
    WaitWindow waitWindow;
    FontHolder fonts[kPanelFontCount];
    HandleHolder instanceMutex;
    UserPrivilege userPrivilege = kPrivilegeGuest;
    // Where the privilege comes from: the signed-in user's account, unless
    // the program is the tests' build (WinMainForTests.cpp).
    UserPrivilege (*privilegeSource)() = QueryUserPrivilege;
    CardSettings cards;
    FontTable fontTable;

private:
    void CreateFonts();
    int FailStart(int textId);
    HardwareStartResult StartHardware();
    void WaitForHardwareReady();
    int RunMessageLoop();

    HINSTANCE instance_ = nullptr;
};

extern Application* gApp;

// Shows one of start-up's error boxes: caption "Vexa Panel", no owner.
void ShowStartupError(int textId);
