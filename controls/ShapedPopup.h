// A popup cut to the outline of its bitmap, made by subclassing a system
// "static" window, with an optional caption drawn over the picture.
#pragma once

#include <windows.h>

#include "BitmapShape.h"

class ShapedPopupBase {
public:
    virtual ~ShapedPopupBase() = default;
    virtual int Create(int id, int x, int y, HWND parent, WORD bitmapId) = 0;

    BitmapShape shape;
};

class ShapedPopup : public ShapedPopupBase {
public:
    ShapedPopup() = default;
    ~ShapedPopup() override;
    ShapedPopup(const ShapedPopup&) = delete;
    ShapedPopup& operator=(const ShapedPopup&) = delete;

    // The id is accepted for symmetry with the other controls; the popup
    // gets no control id. Returns 1 on success, 0 on failure.
    int Create(int id, int x, int y, HWND parent, WORD bitmapId) override;

    // The caption string is not copied: the caller keeps it alive.
    void SetCaptionText(const wchar_t* text) { captionText = text; }
    void SetCaptionPosition(int x, int y) {
        captionX = x;
        captionY = y;
    }
    void SetCaptionFont(HFONT font) { captionFont = font; }
    void SetCaptionColour(COLORREF colour) { captionColour = colour; }
    bool ChangeBitmap(WORD bitmapId) { return shape.ChangeBitmap(bitmapId); }
    HWND Window() const { return shape.window; }

    const wchar_t* captionText = nullptr;
    int captionX = 0;
    int captionY = 0;
    COLORREF captionColour = 0xFFFFFF;
    HFONT captionFont = nullptr;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Paint();
};
