#pragma once

#include <stdint.h>

class HardwareObject;

const int kCalibrationSamples = 8;

// The new offset from the differences (driver minus chip, °C) of the good
// samples: the mean without the smallest and the largest difference, added
// to the old offset as a two's-complement byte. False (write nothing) with
// 2 or fewer samples.
bool ComputeThermalOffset(const int32_t* differences, int count, int8_t oldOffset, uint8_t* newOffset);

// Sets each card's thermal-chip offset so that its reading agrees with the
// driver's GPU temperature. Cards without the monitor chip are left alone.
void CalibrateThermalOffset(HardwareObject& hw);
