#pragma once
// Where every control of the panel sits on the skin: ids, positions and
// sizes in the main window's client area, and the bitmaps of each face.
// Pure data, shared by the build, the painting and the tests.

#include <windows.h>

namespace layout {

struct Box {
    int id;
    int x, y, width, height;
};

struct Faces {
    unsigned short normal, hot, disabled;
};

// Check boxes.
const Box kAutoBox = {21, 80, 138, 8, 8};
const Box kManualBox = {23, 130, 138, 8, 8};
const Box kLinkBox = {100, 235, 140, 8, 8};
const Faces kCheckFaces = {259, 272, 359};

// The 2D/3D radio buttons.
const Box kRadio2D = {46, 294, 140, 0, 0};
const Box kRadio3D = {47, 315, 140, 0, 0};

// Text buttons.
const Box kTestButton = {48, 408, 125, 35, 14};
const Box kApplyButton = {49, 446, 125, 35, 14};
const Faces kButtonFaces = {258, 267, 330};

// Clock step buttons: up and down share an id per slider, as they always
// have; the tests tell them apart by position.
const Box kGpuUp = {230, 457, 172, 17, 11};
const Box kGpuDown = {230, 233, 172, 17, 11};
const Box kShaderUp = {235, 457, 152, 17, 11};
const Box kShaderDown = {235, 233, 152, 17, 11};
const Box kMemoryUp = {239, 457, 192, 17, 11};
const Box kMemoryDown = {239, 233, 192, 17, 11};
const Faces kStepUpFaces = {456, 458, 457};
const Faces kStepDownFaces = {453, 455, 454};

// Group buttons along the bottom.
const Box kMasterButton = {50, 192, 304, 43, 25};
const Box kSlaveButton = {51, 235, 304, 45, 25};
const Box kBiosButton = {54, 279, 303, 45, 25};
const Box kSettingsButton = {220, 324, 303, 47, 25};
const Box kRestoreButton = {55, 371, 303, 62, 25};
const Box kAboutButton = {53, 433, 303, 42, 25};
const Faces kGroupFaces = {333, 335, 333};

// Value displays and the logo.
const Box kGpuClockDisplay = {63, 270, 225, 68, 20};
const Box kShaderClockDisplay = {95, 270, 250, 68, 20};
const Box kMemoryClockDisplay = {64, 270, 275, 68, 20};
const Box kFanSpeedDisplay = {67, 439, 225, 68, 20};
const Box kTemperatureDisplay = {65, 439, 250, 68, 20};
const Box kLogo = {1, 55, 230, 123, 44};
const unsigned short kLogoSimplifiedChinese = 352;
const unsigned short kLogoOther = 353;

// The Test walk's progress bar, made while a walk runs.
const Box kProgressBar = {71, 325, 124, 80, 10};

// What redraws when a value painted on the skin changes: each slider's
// current value, the clock rows' end and current values (the memory row's
// lies below the clock section), the fan section's texts, and the sections
// a card switch or a Test walk repaints.
const RECT kGpuValueRect = {343, 181, 373, 196};
const RECT kShaderValueRect = {343, 161, 373, 176};
const RECT kMemoryValueRect = {343, 201, 373, 216};
const RECT kAux1ValueRect = {243, 206, 273, 221};
const RECT kAux2ValueRect = {403, 206, 433, 221};
const RECT kClockValuesRect = {255, 159, 456, 217};
const RECT kFanTextsRect = {60, 126, 249, 257};
const RECT kFanSectionRect = {62, 122, 239, 198};
const RECT kClockSectionRect = {229, 122, 452, 198};
const RECT kOverclockRect = {251, 117, 471, 220};

// Minimise and close.
const Box kMinimiseButton = {68, 435, 18, 30, 30};
const Box kCloseButton = {69, 450, 22, 30, 30};
const unsigned short kMinimiseFaces[2] = {264, 270};
const unsigned short kCloseFaces[2] = {265, 269};

// Sliders: track, handle and popup ids, track and popup positions, track
// width, the popup's first picture and where its caption goes.
struct SliderPlace {
    int trackId, handleId, popupId;
    int x, y;
    int popupX, popupY;
    int trackWidth;
    unsigned short popupBitmap;  // 0: no popup
    int captionX, captionY;
};

const SliderPlace kGpuSlider = {31, 40, 32, 261, 175, 230, 53, 185, 308, 43, 50};
const SliderPlace kShaderSlider = {90, 92, 91, 261, 155, 255, 78, 185, 427, 20, 15};
const SliderPlace kMemorySlider = {33, 41, 34, 261, 195, 380, 53, 185, 308, 43, 50};
const SliderPlace kFanSlider = {35, 42, 36, 90, 175, 84, 53, 125, 308, 43, 50};
const SliderPlace kAuxSlider1 = {37, 43, 0, 195, 200, 0, 0, 100, 0, 0, 0};
const SliderPlace kAuxSlider2 = {38, 44, 0, 355, 200, 0, 0, 100, 0, 0, 0};
const Faces kHandleFaces = {250, 271, 358};

// The first auxiliary slider holds what goes into each monitor chip's
// full-speed temperature register; the second writes nothing.
const int kAux1Minimum = 90;
const int kAux1Maximum = 110;
const int kAux2Minimum = 110;
const int kAux2Maximum = 120;
const int kClockSliderStep = 1000;

// Slider show modes.
const int kShowAll = 1;
const int kHideAll = 2;
const int kShowPopupOnly = 3;

}  // namespace layout
