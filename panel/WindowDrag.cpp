#include "WindowDrag.h"

namespace {

int KeepInside(int position, int size, int origin, int extent) {
    int highest = origin + extent - kDragMargin;
    int lowest = origin + kDragMargin - size;
    if (position > highest) return highest;
    return position < lowest ? lowest : position;
}

}  // namespace

DragPoint DraggedWindowPosition(const DragRect& window, DragPoint workOrigin, int fullWidth, int fullHeight, int moveX,
                                int moveY) {
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    DragPoint to;
    to.x = KeepInside(window.left + moveX, width, workOrigin.x, fullWidth);
    to.y = KeepInside(window.top + moveY, height, workOrigin.y, fullHeight);
    return to;
}
