// A label that draws a bitmap or a flat colour with a centred single line of
// text over it; the panel's value displays and logo. The monitor thread
// writes the value displays while the interface thread paints them, so text
// and text colour are handed over under a lock the label owns.
#pragma once

#include <windows.h>

#include "GdiHolders.h"

class StaticText {
public:
    static constexpr int kTextCapacity = 45;
    static constexpr int kMaxShownLength = 43;

    // The text and colour as one write left them, for painting.
    struct Shown {
        wchar_t text[kTextCapacity];
        int length;
        COLORREF colour;
    };

    StaticText();
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
    // For the monitor thread: a new reading, text and colour together, so no
    // paint shows the new text in the old colour or the reverse. Keeps at
    // most 43 characters; allocates nothing.
    void SetTextAndColour(const wchar_t* newText, COLORREF colour);
    // Either half alone, from any thread.
    void SetText(const wchar_t* newText);
    void SetTextColour(COLORREF colour);
    // Safe from any thread while another one writes.
    Shown Snapshot() const;
    // The label's own buffer: only for a label no other thread writes.
    const wchar_t* GetText() const { return text; }
    // The label owns the bitmap from now on; a bitmap set earlier is freed.
    void SetBitmap(WORD resourceId);
    void SetHasBitmap(int on) { hasBitmap = on ? 1 : 0; }
    void SetFont(HFONT newFont) { font = newFont; }
    void SetBackgroundColour(COLORREF colour);
    HWND Window() const { return window; }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND window = nullptr;
    int hasBitmap = 0;
    BitmapHolder bitmap;
    COLORREF backgroundColour = 0x6F695E;
    // Text and colour are guarded by the label's lock; while another thread
    // may write them, read them through Snapshot.
    COLORREF textColour = 0xFFFFFF;
    wchar_t text[kTextCapacity] = {};
    HFONT font = nullptr;

protected:
    // The text's length, never past the buffer.
    int TextLength() const;

private:
    void CopyText(const wchar_t* newText);
    LRESULT CopyShownText(wchar_t* out, WPARAM capacity) const;

    mutable CRITICAL_SECTION textLock;
};

extern const wchar_t kStaticTextClass[];
extern const wchar_t kStaticTextProperty[];
