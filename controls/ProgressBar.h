// A segmented bar of small coloured blocks. Made on the user-interface
// thread, handed to a worker that sets its value and deletes it; the window
// is still destroyed on its own thread.
#pragma once

#include <windows.h>

class ProgressBar {
public:
    ProgressBar() = default;
    // Asks the window, on its own thread, to destroy itself; that thread must
    // keep pumping messages meanwhile.
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    int Create(int id, int x, int y, int width, int height, HWND parent);
    // Safe from any thread: stores the value and invalidates the window.
    void SetValue(int newValue);
    int GetValue() const { return value; }
    HWND Window() const { return window; }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND window = nullptr;
    COLORREF backgroundColour = 0xD2D2D2;
    COLORREF segmentColour = 0x00C800;
    volatile LONG value = 0;
    int minimum = 0;
    int maximum = 100;
    int segmentWidth = 3;
    int gap = 2;

private:
    void Paint();
};

extern const wchar_t kProgressBarClass[];
extern const wchar_t kProgressBarProperty[];
