#pragma once
// Conversions between the fan chips' register values and speeds. Pure.

#include <stdint.h>

// Monitor chip: RPM = 1,500,000 / tachometer count, both ways. A count of 0
// reads as 0 RPM. The chip's count register has 16 bits, so a target of 0
// RPM (no count exists) or below about 23 RPM asks for the slowest count the
// chip can hold rather than a wrapped, much faster one.
uint32_t MonitorCountToRpm(uint32_t count);
uint16_t MonitorRpmToCount(uint32_t rpm);

// Monitor chip automatic-curve speed byte: (1,500,000 / RPM) >> 4, which
// only fits a byte from about 368 RPM up. Slower speeds (and 0) take the
// slowest byte, 0xFF, instead of wrapping to a faster one.
uint8_t MonitorCurveSpeedByte(uint32_t rpm);

// ADT7473 tachometer: RPM = 5,400,000 / count; below 100 RPM (a stalled
// fan reads 0xFFFF) or a count of 0 reads as 0.
uint32_t Adt7473CountToRpm(uint32_t count);

// ADT7473 duty register (0..255) and percent.
uint32_t Adt7473DutyToPercent(uint8_t duty);
uint8_t Adt7473PercentToDuty(uint32_t percent);
