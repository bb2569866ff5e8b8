#include "CenterPlacement.h"

PlacementPoint CenteredPosition(int width, int height, const PlacementRect* reference, int screenWidth,
                                int screenHeight) {
    PlacementPoint p;
    if (reference) {
        p.x = (reference->right - reference->left - width) / 2 + reference->left;
        p.y = (reference->bottom - reference->top - height) / 2 + reference->top;
    } else {
        p.x = (screenWidth - width) / 2;
        p.y = (screenHeight - height) / 2;
    }
    if (p.y < 0) p.y = 0;
    if (p.y > screenHeight - height) p.y = screenHeight - height;
    if (p.x < 0) p.x = 0;
    if (p.x > screenWidth - width) p.x = screenWidth - width;
    return p;
}
