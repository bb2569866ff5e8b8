#include "MonitorChip.h"

#include "FanMath.h"

namespace {

// Registers (8-bit).
const uint8_t kRegControl = 0x01;
const uint8_t kRegStatus = 0x02;
const uint8_t kRegAddressEcho = 0x04;  // the chip's own 8-bit bus address
const uint8_t kRegTemperature = 0x14;  // whole °C, unsigned, offset included
const uint8_t kRegTachHigh = 0x16;     // read before the low byte, which it latches
const uint8_t kRegTachLow = 0x17;
// The fraction of a degree belonging to 0x14. It is read after 0x14 to end
// the reading as the chip expects; the program does not use its value.
const uint8_t kRegTemperatureFraction = 0x1A;
const uint8_t kRegLimit = 0x28;  // °C above which the fan runs at full speed
const uint8_t kRegFanMode = 0x60;
const uint8_t kRegOffset = 0x64;      // signed, added to the temperature
const uint8_t kRegTargetHigh = 0x74;  // manual target: a tachometer count
const uint8_t kRegTargetLow = 0x75;
const uint8_t kRegRevision = 0x92;
const uint8_t kRegCurveTemperature = 0xA0;  // four points, °C, falling
const uint8_t kRegCurveSpeed = 0xA4;        // five points, count >> 4 (FanMath)

// Control bit 2 starts a one-shot conversion of the temperature channel;
// 0x14 holds the result of the last conversion, so each reading starts one.
const uint8_t kControlConvert = 0x04;

// Status: when bit 0 is set, bit 7 is cleared by writing the byte back.
const uint8_t kStatusPrepareTest = 0x01;
const uint8_t kStatusPrepareKeep = 0x7F;

// Fan mode. Bit 0 selects the manual target over the curve. Bit 1 forces
// full speed; a BIOS may leave it set, and start-up clears it. Bit 2 is
// cleared whenever the program changes the mode.
const uint8_t kFanModeManual = 0x01;
const uint8_t kFanModeKeepAtStart = 0xFD;    // bit 1 cleared
const uint8_t kFanModeKeepForManual = 0xFB;  // bit 2 cleared
const uint8_t kFanModeKeepForCurve = 0xFA;   // bits 0 and 2 cleared

}  // namespace

bool MonitorChip::EchoesAddress(uint8_t address) {
    uint8_t echo = 0;
    return registers_.Read(kRegAddressEcho, &echo) == kNvOk && echo == address;
}

NvStatus MonitorChip::ClearForcedFullSpeed() {
    uint8_t mode = 0;
    NvStatus status = registers_.Read(kRegFanMode, &mode);
    if (status != kNvOk) {
        return status;
    }
    return registers_.Write(kRegFanMode, mode & kFanModeKeepAtStart);
}

NvStatus MonitorChip::ReadTemperature(uint8_t* celsius) {
    uint8_t control = 0;
    NvStatus status = registers_.Read(kRegControl, &control);
    if (status != kNvOk) {
        return status;
    }
    status = registers_.Write(kRegControl, control | kControlConvert);
    if (status != kNvOk) {
        return status;
    }
    uint8_t temperature = 0;
    status = registers_.Read(kRegTemperature, &temperature);
    if (status != kNvOk) {
        return status;
    }
    uint8_t fraction = 0;
    status = registers_.Read(kRegTemperatureFraction, &fraction);
    if (status != kNvOk) {
        return status;
    }
    *celsius = temperature;
    return kNvOk;
}

NvStatus MonitorChip::ReadOffset(uint8_t* offset) {
    return registers_.Read(kRegOffset, offset);
}

NvStatus MonitorChip::WriteOffset(uint8_t offset) {
    return registers_.Write(kRegOffset, offset);
}

NvStatus MonitorChip::WriteLimit(uint8_t celsius) {
    return registers_.Write(kRegLimit, celsius);
}

NvStatus MonitorChip::Prepare() {
    uint8_t value = 0;
    NvStatus status = registers_.Read(kRegStatus, &value);
    if (status != kNvOk) {
        return status;
    }
    if (value & kStatusPrepareTest) {
        status = registers_.Write(kRegStatus, value & kStatusPrepareKeep);
        if (status != kNvOk) {
            return status;
        }
    }
    return registers_.Read(kRegRevision, &value);
}

NvStatus MonitorChip::ReadFanRpm(uint32_t* rpm) {
    uint8_t high = 0, low = 0;
    NvStatus status;
    if ((status = registers_.Read(kRegTachHigh, &high)) != kNvOk ||
        (status = registers_.Read(kRegTachLow, &low)) != kNvOk) {
        return status;
    }
    *rpm = MonitorCountToRpm((uint32_t)high << 8 | low);
    return kNvOk;
}

NvStatus MonitorChip::ReadTargetRpm(uint32_t* rpm) {
    uint8_t mode = 0, high = 0, low = 0;
    NvStatus status;
    if ((status = registers_.Read(kRegFanMode, &mode)) != kNvOk ||
        (status = registers_.Read(kRegTargetHigh, &high)) != kNvOk ||
        (status = registers_.Read(kRegTargetLow, &low)) != kNvOk) {
        return status;
    }
    *rpm = MonitorCountToRpm((uint32_t)high << 8 | low) & 0xFFFF;
    return kNvOk;
}

NvStatus MonitorChip::SetTargetRpm(uint32_t rpm) {
    uint8_t mode = 0;
    NvStatus status = registers_.Read(kRegFanMode, &mode);
    if (status != kNvOk) {
        return status;
    }
    NvStatus modeStatus = registers_.Write(kRegFanMode, (mode & kFanModeKeepForManual) | kFanModeManual);
    uint16_t count = MonitorRpmToCount(rpm);
    NvStatus highStatus = registers_.Write(kRegTargetHigh, (uint8_t)(count >> 8));
    NvStatus lowStatus = registers_.Write(kRegTargetLow, (uint8_t)(count & 0xFF));
    if (modeStatus != kNvOk) {
        return modeStatus;
    }
    return highStatus != kNvOk ? highStatus : lowStatus;
}

NvStatus MonitorChip::SetCurve(const uint32_t temperatures[kMonitorCurveTemperatures],
                               const uint32_t speeds[kMonitorCurveSpeeds]) {
    uint8_t mode = 0;
    NvStatus status;
    if ((status = registers_.Read(kRegFanMode, &mode)) != kNvOk ||
        (status = registers_.Write(kRegFanMode, mode & kFanModeKeepForCurve)) != kNvOk) {
        return status;
    }
    for (int i = 0; i < kMonitorCurveTemperatures; i++) {
        status = registers_.Write((uint8_t)(kRegCurveTemperature + i), (uint8_t)temperatures[i]);
        if (status != kNvOk) {
            return status;
        }
    }
    for (int i = 0; i < kMonitorCurveSpeeds; i++) {
        status = registers_.Write((uint8_t)(kRegCurveSpeed + i), MonitorCurveSpeedByte(speeds[i]));
        if (status != kNvOk) {
            return status;
        }
    }
    return kNvOk;
}

NvStatus MonitorChip::IsAutomatic(bool* automatic) {
    uint8_t mode = 0;
    NvStatus status = registers_.Read(kRegFanMode, &mode);
    if (status != kNvOk) {
        return status;
    }
    *automatic = (mode & kFanModeManual) == 0;
    return kNvOk;
}
