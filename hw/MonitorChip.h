#pragma once
// The hardware-monitor chip on a card's I2C bus (8-bit address 0x5C or 0x5A):
// the GPU temperature with a calibration offset, and the fan run by target
// speed, either a manual tachometer count or an automatic temperature curve.
// Each operation is one fixed sequence of register transactions; the first
// failing one ends it with its status (except where noted), and a value is
// delivered only when the whole sequence succeeded.

#include <stdint.h>

#include "ChipRegisters.h"

const int kMonitorCurveTemperatures = 4;
const int kMonitorCurveSpeeds = 5;

class MonitorChip {
public:
    explicit MonitorChip(ChipRegisters& registers) : registers_(registers) {}
    MonitorChip(const MonitorChip&) = delete;
    MonitorChip& operator=(const MonitorChip&) = delete;

    // Detection: the chip answers at address with that address in its echo
    // register. A failed read means no chip.
    bool EchoesAddress(uint8_t address);
    // A BIOS may leave the fan forced to full speed; start-up lifts that.
    // Nothing is written when the mode cannot be read.
    NvStatus ClearForcedFullSpeed();

    // Starts a conversion and reads the result, whole degrees Celsius.
    NvStatus ReadTemperature(uint8_t* celsius);
    // The signed offset the chip adds to its temperature.
    NvStatus ReadOffset(uint8_t* offset);
    NvStatus WriteOffset(uint8_t offset);
    // Above this temperature the chip runs the fan at full speed.
    NvStatus WriteLimit(uint8_t celsius);
    // The status and revision reads made when the card's fan settings are
    // loaded; clears the status's bit 7 when its bit 0 is set.
    NvStatus Prepare();

    // The fan's measured speed, from the tachometer.
    NvStatus ReadFanRpm(uint32_t* rpm);
    // The manual target speed (the mode is read first; its value is unused).
    NvStatus ReadTargetRpm(uint32_t* rpm);
    // Manual mode at rpm. Once the mode is read, all three writes are made
    // whatever their results; the status is the first failing one.
    NvStatus SetTargetRpm(uint32_t rpm);
    // Automatic mode following the curve: four falling temperatures (°C) and
    // five speeds (RPM).
    NvStatus SetCurve(const uint32_t temperatures[kMonitorCurveTemperatures],
                      const uint32_t speeds[kMonitorCurveSpeeds]);
    NvStatus IsAutomatic(bool* automatic);

private:
    ChipRegisters& registers_;
};
