#include "ProgressBlocks.h"

#include <cstdint>

int ProgressBlockCount(int clientWidth, int segmentWidth, int gap) {
    const int pitch = segmentWidth + gap;
    if (clientWidth <= 0 || pitch <= 0) return 0;
    return clientWidth / pitch + (clientWidth % pitch ? 1 : 0);
}

int ProgressFilledBlocks(int value, int minimum, int maximum, int blocks) {
    if (maximum == minimum) return 0;
    // The share of the blocks in whole numbers: a floating-point share
    // truncates one block short in the i686 build where the exact product is
    // a whole number (1/3 of 3 blocks).
    const std::int64_t filled =
        (static_cast<std::int64_t>(value) - minimum) * blocks / (static_cast<std::int64_t>(maximum) - minimum);
    if (filled <= 0) return 0;
    if (filled >= blocks) return blocks;
    return static_cast<int>(filled);
}
