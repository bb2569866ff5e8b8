// The program's push button: a bitmap face with a one-pixel 3-D frame and a
// centred caption; optionally repeats its click while held.
#pragma once

#include <windows.h>

#include "GdiHolders.h"

class TextButton {
public:
    TextButton() = default;
    // Destroys the window if it still exists and frees the faces.
    virtual ~TextButton();
    TextButton(const TextButton&) = delete;
    TextButton& operator=(const TextButton&) = delete;

    // Creates the "CDunmoreBtn" child; a face that cannot be loaded stays
    // null. Returns 1 on success, 0 when the window cannot be made.
    virtual int Create(int id, const wchar_t* caption, int x, int y, int width, int height, HWND parent, WORD normalId,
                       WORD hotId, WORD disabledId);
    virtual LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSetFocus();
    virtual LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnKillFocus();
    virtual LRESULT OnPaint();
    virtual LRESULT OnTimer(UINT_PTR timerId);

    void Show(int show);
    void Enable(int enable);
    void SetText(const wchar_t* text);
    void SetFont(HFONT newFont) { font = newFont; }
    void SetAutoRepeat(int on) { autoRepeat = on ? 1 : 0; }
    HWND Window() const { return window; }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND window = nullptr;
    BitmapHolder normalBitmap;
    BitmapHolder hotBitmap;
    BitmapHolder disabledBitmap;
    HFONT font = nullptr;
    int hover = 0;
    int pressed = 0;
    int autoRepeat = 0;
    DWORD pressTime = 0;

    static constexpr UINT_PTR kRepeatTimerId = 2;
    static constexpr UINT kRepeatIntervalMs = 50;
    static constexpr DWORD kRepeatDelayMs = 800;

protected:
    // Makes the child window of the given class and attaches the object.
    int CreateButtonWindow(const wchar_t* className, const wchar_t* property, int id, const wchar_t* caption, int x,
                           int y, int width, int height, HWND parent);
    // The window procedure of the button family; timerHandled is false for
    // classes that leave WM_TIMER to DefWindowProcW.
    static LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, const wchar_t* property,
                            bool timerHandled);
    // The raised, sunken or flat frame around a face.
    static void DrawFrame(HDC dc, int w, int h, bool sunken, bool enabled);

private:
    const wchar_t* property_ = nullptr;
};

extern const wchar_t kTextButtonClass[];
extern const wchar_t kTextButtonProperty[];
