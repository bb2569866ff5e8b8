#pragma once
// The small "please wait" window shown while the hardware starts. Its
// destruction, posted by the start-up worker, brings up the main window.

#include <windows.h>

class HardwareObject;

extern const wchar_t kWaitWindowClass[];  // "WaitWndCls___"

class WaitWindow {
public:
    WaitWindow() = default;
    ~WaitWindow();
    WaitWindow(const WaitWindow&) = delete;
    WaitWindow& operator=(const WaitWindow&) = delete;

    static bool RegisterClass(HINSTANCE instance);

    // Called when the start-up worker is done; false ends the program.
    typedef bool (*DoneHandler)();

    bool Create(HINSTANCE instance, HardwareObject* hardware, DoneHandler onDone);
    void Destroy();

    HWND window = nullptr;
    const wchar_t* text = nullptr;  // not owned

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Paint();

    HardwareObject* hardware_ = nullptr;
    DoneHandler onDone_ = nullptr;
    bool finishing_ = false;
};
