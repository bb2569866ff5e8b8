#pragma once
// Looking at the running panel from outside: its controls by id, their
// places in the main window's client area, the text of a value display and
// the pixels on the screen.

#include <windows.h>

#include <string>
#include <vector>

// Child windows of the main window with this control id, in creation order.
std::vector<HWND> ControlsWithId(HWND main, int id);
// The child's rectangle in the main window's client coordinates.
RECT PlaceInClient(HWND main, HWND child);
// A value display's text as it would be painted (asked of the display's
// own thread, like a screen reader would).
std::wstring DisplayText(HWND display);
// Waits until the display's text is not empty; "" after the time runs out.
std::wstring WaitForDisplayText(HWND display, DWORD timeoutMs);

// The main window's client area as shown on the screen.
class ScreenPicture {
public:
    explicit ScreenPicture(HWND main);
    COLORREF At(int x, int y) const;
    // Pixels in the rectangle (client coordinates) whose red, green and blue
    // all lie within tolerance of colour.
    int Count(const RECT& area, COLORREF colour, int tolerance = 24) const;
    // The pixels of the rectangle (client coordinates), row by row.
    std::vector<COLORREF> Pixels(const RECT& area) const;
    int width = 0, height = 0;

private:
    std::vector<DWORD> pixels_;
};

// Real input, as a user at the screen gives it: the pointer moves to the
// main window's client point and the left button goes down or up there.
void PointerTo(HWND main, int x, int y);
void PointerToScreen(int x, int y);
void LeftButton(bool down);
void ClickAt(HWND main, int x, int y);
// A click at the middle of a control of any window (a dialog's, say).
void ClickControl(HWND control);
// Whether a dialog's check box or radio button is ticked.
bool Ticked(HWND dialog, int id);
