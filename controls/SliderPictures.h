// The popup pictures a slider shows as its handle moves, by handle position
// from the left end to the right end of the track.
#pragma once

#include <windows.h>

const WORD kSliderPictures[] = {
    242, 240, 282, 328, 284, 285, 286, 287, 288, 289, 290, 291, 292, 293, 294, 295, 296, 297, 298, 299, 300,
    301, 302, 303, 304, 305, 306, 307, 311, 312, 313, 314, 315, 316, 317, 318, 319, 320, 321, 322, 323, 308,
};

const WORD kAlternateSliderPictures[] = {
    407, 438, 429, 418, 415, 414, 374, 413, 412, 408, 409, 443, 444, 445, 446, 442,
    441, 440, 439, 437, 436, 435, 434, 411, 410, 433, 432, 431, 430, 428, 427,
};

const int kSliderPictureCount = sizeof(kSliderPictures) / sizeof(kSliderPictures[0]);
const int kAlternateSliderPictureCount = sizeof(kAlternateSliderPictures) / sizeof(kAlternateSliderPictures[0]);
static_assert(kSliderPictureCount == 42, "the standard table has 42 pictures");
static_assert(kAlternateSliderPictureCount == 31, "the alternate table has 31 pictures");

// The track's picture.
const WORD kSliderTrackBitmap = 245;
