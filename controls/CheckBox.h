// A tiny bitmap square that draws a tick when checked. A click only checks
// it (the owner unchecks it, so two boxes can act as exclusive options)
// unless the box is in toggle mode, where clicks check and uncheck it.
#pragma once

#include <windows.h>

#include "GdiHolders.h"

class CheckBox {
public:
    CheckBox() = default;
    ~CheckBox();
    CheckBox(const CheckBox&) = delete;
    CheckBox& operator=(const CheckBox&) = delete;

    // Faces that cannot be loaded stay null. Returns 1, or 0 when the window
    // cannot be made.
    int Create(int id, int x, int y, int width, int height, HWND parent, WORD normalId, WORD hotId, WORD disabledId);
    void SetCheck(int check);
    void SetToggleMode(int on) { toggleMode = on ? 1 : 0; }
    int GetCheck() const { return checked; }
    int IsEnabled() const { return IsWindowEnabled(window) ? 1 : 0; }
    void Enable(int enable);
    HWND Window() const { return window; }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND window = nullptr;
    COLORREF tickColour = 0x0000FF;
    int checked = 0;
    BitmapHolder normalBitmap;
    BitmapHolder hotBitmap;
    BitmapHolder disabledBitmap;
    int hover = 0;
    int toggleMode = 0;

private:
    void OnClick();
    void OnMouseMove(WPARAM wParam, LPARAM lParam);
    void Paint();
};

extern const wchar_t kCheckBoxClass[];
extern const wchar_t kCheckBoxProperty[];
