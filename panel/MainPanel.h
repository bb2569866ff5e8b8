#pragma once
// The user-interface half of the application: the main window and the state
// the panel keeps between messages. The panel's controls arrive with the
// panel itself; start-up needs only what is here.

#include <windows.h>
#include <stdint.h>

#include "BitmapShape.h"
#include "ProgramRegistry.h"
#include "StartMode.h"

// The main window's class; a second instance looks for it.
extern const wchar_t kMainWindowClass[];

class MainPanel {
public:
    MainPanel();  // reads the registry options
    MainPanel(const MainPanel&) = delete;
    MainPanel& operator=(const MainPanel&) = delete;

    static bool RegisterClass(HINSTANCE instance);

    // Creates the main window once; later calls return true and do nothing.
    bool CreateMainWindow(HINSTANCE instance);

    HWND window = nullptr;
    StartMode startMode = kStartInteractive;
    uint8_t currentCard = 0;
    DWORD monitorThreadId = 0;
    DWORD workerThreadId = 0;
    bool workerRunning = false;
    bool fanSliderDragging = false;
    RegistryFlags registry;
    BitmapShape shape;  // the skin the window is cut from

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void BuildPanel();
    void Paint();
    void DragTo(int cursorX, int cursorY);

    bool created_ = false;
    POINT pressPoint_ = {0, 0};
};
