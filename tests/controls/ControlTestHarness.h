// The common harness of the control tests: a parent window that records
// every notification in order, a message pump, and mouse and key helpers.
#pragma once

#include <windows.h>

#include <vector>

struct Notification {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A visible top-level window at a fixed screen place; controls are made as
// its children and report to it.
class RecordingParent {
public:
    explicit RecordingParent(int width = 600, int height = 400);
    ~RecordingParent();
    RecordingParent(const RecordingParent&) = delete;
    RecordingParent& operator=(const RecordingParent&) = delete;

    HWND Window() const { return window_; }
    const std::vector<Notification>& Notes() const { return notes_; }
    std::vector<UINT> Messages() const;
    int Count(UINT message) const;
    void Clear() { notes_.clear(); }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    HWND window_ = nullptr;
    std::vector<Notification> notes_;
};

// Registers every control class once per process.
void EnsureControlClasses();

// Dispatches everything pending, a few rounds, since Wine delivers paint
// and input asynchronously.
void Pump();
// Dispatches messages (timers included) for about the given time.
void PumpFor(DWORD milliseconds);

// Posts a mouse message at a client point of the window and pumps.
void PostMouse(HWND window, UINT message, int x, int y, WPARAM keys = 0);
void PostKey(HWND window, UINT message, WPARAM key);

// Whether the window has a pending repaint.
bool NeedsPaint(HWND window);

// Colour of a client pixel as painted on screen.
COLORREF ClientPixel(HWND window, int x, int y);
// How many client pixels have exactly this colour.
int CountClientPixels(HWND window, COLORREF colour);

// A bitmap from raw 24-bit top-down rows (B, G, R per pixel), as a DDB
// like those LoadBitmap returns.
HBITMAP MakeBitmapFromRows(int width, int height, const unsigned char* bgrRows, int bits = 24);
