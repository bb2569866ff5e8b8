// A round, caption-less button drawn from two bitmaps. The panel's
// minimise (id 68) and close (id 69) buttons act on their parent directly.
#pragma once

#include "TextButton.h"

class BitmapButton : public TextButton {
public:
    using TextButton::Create;

    static constexpr int kMinimiseId = 68;
    static constexpr int kCloseId = 69;

    LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnPaint() override;
    // The bitmaps come from the parent's module. Returns 0 before making any
    // window when the normal bitmap cannot be loaded.
    virtual int Create(int id, const void* unused, int x, int y, int width, int height, HWND parent, WORD normalId,
                       WORD hotId);

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

extern const wchar_t kBitmapButtonClass[];
extern const wchar_t kBitmapButtonProperty[];
