// A label that draws a bitmap or a flat colour with a centred single line of
// text over it; the panel's value displays and logo.
#pragma once

#include <windows.h>

class StaticText {
public:
    static constexpr int kTextCapacity = 45;
    static constexpr int kMaxShownLength = 43;

    StaticText() = default;
    virtual ~StaticText();
    StaticText(const StaticText&) = delete;
    StaticText& operator=(const StaticText&) = delete;

    virtual LRESULT OnPaint();
    virtual LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDestroy();
    virtual LRESULT OnTimer(WPARAM wParam);

    int Create(int id, int x, int y, int width, int height, HWND parent);
    // Keeps at most 43 characters of a text too long for the buffer.
    void SetText(const wchar_t* newText);
    const wchar_t* GetText() const { return text; }
    // The label owns the bitmap from now on; a bitmap set earlier is freed.
    void SetBitmap(WORD resourceId);
    void SetHasBitmap(int on) { hasBitmap = on ? 1 : 0; }
    void SetFont(HFONT newFont) { font = newFont; }
    void SetTextColour(COLORREF colour);
    void SetBackgroundColour(COLORREF colour);
    HWND Window() const { return window; }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND window = nullptr;
    int hasBitmap = 0;
    HBITMAP bitmap = nullptr;
    COLORREF backgroundColour = 0x6F695E;
    volatile COLORREF textColour = 0xFFFFFF;
    wchar_t text[kTextCapacity] = {};
    HFONT font = nullptr;

protected:
    // The text's length, never past the buffer even while another thread
    // writes it.
    int TextLength() const;
};

extern const wchar_t kStaticTextClass[];
extern const wchar_t kStaticTextProperty[];
