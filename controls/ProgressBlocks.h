// How many blocks a segmented progress bar shows. Pure arithmetic.
#pragma once

// Blocks that fit a bar of the given width, a partial block counting whole.
int ProgressBlockCount(int clientWidth, int segmentWidth, int gap);

// Filled blocks for a value, limited to [0, blocks]; none for an empty range.
int ProgressFilledBlocks(int value, int minimum, int maximum, int blocks);
