#pragma once
// Where a dragged main window goes: the cursor's movement, kept so that at
// least kDragMargin pixels of the window stay inside the work area on every
// side. Pure arithmetic in screen coordinates, so it can be tested alone.

struct DragRect {
    int left, top, right, bottom;
};

struct DragPoint {
    int x, y;
};

const int kDragMargin = 10;

// window: the window's rectangle on the screen. workOrigin: the top-left
// corner of the work area on the screen (not 0, 0 when a taskbar sits at the
// top or left). fullWidth, fullHeight: the full-screen client size the
// system reports (SM_CXFULLSCREEN, SM_CYFULLSCREEN). moveX, moveY: how far
// the cursor moved since the button went down.
DragPoint DraggedWindowPosition(const DragRect& window, DragPoint workOrigin, int fullWidth, int fullHeight, int moveX,
                                int moveY);
