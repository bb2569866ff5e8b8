#pragma once
// The texts the main window paints on its skin: language id, font, where
// the text starts and the first column it must not reach (the next control
// or the skin's edge). Pure data, shared by the painting and the text-fit
// test.

struct PaintedText {
    int textId;
    int font;
    int x, y;
    int right;
};

namespace painted {

// Font 1: the captions beside the value displays.
const PaintedText kFanSpeedLabel = {19, 1, 363, 228, 439};
const PaintedText kGpuClockLabel = {20, 1, 180, 228, 270};
const PaintedText kShaderClockLabel = {21, 1, 180, 253, 270};
const PaintedText kMemoryClockLabel = {22, 1, 180, 278, 270};
const PaintedText kTemperatureLabel = {25, 1, 363, 253, 439};
// The fan section.
const PaintedText kAuto = {27, 2, 90, 136, 130};
const PaintedText kManual = {29, 2, 140, 136, 233};
const PaintedText kMin = {15, 2, 92, 181, 193};
const PaintedText kMax = {16, 2, 193, 181, 233};
const PaintedText kAutoHint1 = {42, 5, 85, 157, 233};
const PaintedText kAutoHint2 = {43, 5, 85, 169, 233};
const PaintedText kFanSetting = {39, 2, 82, 122, 233};
// The clock section.
const PaintedText kClockSetting = {40, 2, 239, 122, 408};
const PaintedText kGpu = {47, 2, 479, 169, 530};
const PaintedText kMemory = {49, 2, 479, 189, 530};
const PaintedText kShader = {48, 2, 479, 149, 530};
const PaintedText k2D = {45, 2, 300, 138, 322};
// A pixel left of where it was, so that it ends inside the frame.
const PaintedText k3D = {46, 2, 321, 138, 337};
const PaintedText kLink = {8, 2, 253, 137, 291};

const PaintedText* const kAll[] = {
    &kFanSpeedLabel,
    &kGpuClockLabel,
    &kShaderClockLabel,
    &kMemoryClockLabel,
    &kTemperatureLabel,
    &kAuto,
    &kManual,
    &kMin,
    &kMax,
    &kAutoHint1,
    &kAutoHint2,
    &kFanSetting,
    &kClockSetting,
    &kGpu,
    &kMemory,
    &kShader,
    &k2D,
    &k3D,
    &kLink,
};

// The slider values: minimum, current and maximum columns, and where each
// must end (the current value, the maximum, the step up button).
const int kValueMinX = 261, kValueMinRight = 343;
const int kValueX = 343, kValueRight = 422;
const int kValueMaxX = 422, kValueMaxRight = 457;

}  // namespace painted
