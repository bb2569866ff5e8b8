#include "ProgressBlocks.h"

int ProgressBlockCount(int clientWidth, int segmentWidth, int gap) {
    const int pitch = segmentWidth + gap;
    if (clientWidth <= 0 || pitch <= 0) return 0;
    return clientWidth / pitch + (clientWidth % pitch ? 1 : 0);
}

int ProgressFilledBlocks(int value, int minimum, int maximum, int blocks) {
    if (maximum == minimum) return 0;
    const double share = static_cast<double>(value - minimum) / (maximum - minimum);
    const double filled = share * blocks;
    if (filled <= 0) return 0;
    if (filled >= blocks) return blocks;
    return static_cast<int>(filled);
}
