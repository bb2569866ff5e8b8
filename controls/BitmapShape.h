// Ties a window to a bitmap: sizes the window to the bitmap and cuts its
// region to the outline of the picture, so that the key-coloured background
// around the picture is not part of the window.
#pragma once

#include <windows.h>

#include "GdiHolders.h"

enum BitmapShapeResult {
    kShapeDone = 0,
    kShapeOutOfMemory = 2,
    kShapeNoBitmap = 3,
};

class BitmapShape {
public:
    BitmapShape() = default;
    BitmapShape(const BitmapShape&) = delete;
    BitmapShape& operator=(const BitmapShape&) = delete;

    // Takes ownership of the bitmap (the previous one is deleted) and gives
    // the window its size and outline region.
    BitmapShapeResult ApplyBitmapShape(HBITMAP bitmap);
    // Loads the resource in its own pixel format, not the screen's, so the
    // outline is the same on a 16- or 8-bit screen as on a 24-bit one.
    BitmapShapeResult ApplyBitmapShape(WORD resourceId);
    // Swaps the picture only: the region and the stored size stay; a picture
    // that cannot be loaded leaves none. False, with nothing changed, once
    // the window is gone.
    bool ChangeBitmap(WORD resourceId);

    HWND window = nullptr;
    BitmapHolder bitmap;
    COLORREF keyColour = 0xFFFFFF;
    int width = 0;
    int height = 0;

private:
    // resourceId, when not 0, names the resource the bitmap was loaded
    // from: its rows are traced where the module holds them.
    BitmapShapeResult Apply(HBITMAP newBitmap, WORD resourceId);
};
