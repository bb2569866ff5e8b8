// Fan reading and control on the three paths: the monitor chip (RPM
// targets), the ADT7473 (PWM duty) and the driver's own cooler control.

#include <string.h>

#include "FanMath.h"
#include "HardwareObject.h"

namespace {

// Monitor chip registers.
const uint8_t kMonRegTachHigh = 0x16;
const uint8_t kMonRegTachLow = 0x17;
const uint8_t kMonRegFanMode = 0x60;
const uint8_t kMonRegTargetHigh = 0x74;
const uint8_t kMonRegTargetLow = 0x75;
const uint8_t kMonRegCurveTemperature = 0xA0;  // four points
const uint8_t kMonRegCurveSpeed = 0xA4;        // five points
const uint8_t kFanModeManual = 0x01;
const uint8_t kFanModeClearOnManual = 0xFB;  // bit 2
const uint8_t kFanModeAutoMask = 0xFA;       // bits 0 and 2 cleared

// ADT7473 registers; PWM output 1 or 2 selects the first or second of a pair.
const uint8_t kAdtRegTachLow = 0x28;
const uint8_t kAdtRegTachHigh = 0x29;
const uint8_t kAdtRegDuty = 0x30;
const uint8_t kAdtRegMaxDuty = 0x38;
const uint8_t kAdtRegConfig = 0x5C;
const uint8_t kAdtConfigManual = 0xE0;     // bits 7..5 = 111
const uint8_t kAdtConfigAutoMask = 0x1F;   // bits 7..5 = 000: follow the temperature

const int kCurveTemperaturePoints = 4;
const int kCurveSpeedPoints = 5;

}  // namespace

uint8_t HardwareObject::AdtPwmOutput(uint8_t gpu) const {
    return fanWiring_[gpu] == kFanWiringAdtPwm2 ? 1 : 0;
}

bool HardwareObject::FanGuardPasses(uint8_t gpu) const {
    if (!ValidGpu(gpu)) {
        return false;
    }
    return HasMonitorChip(gpu) || (coolerCache_[gpu].count != 0 && fanWiring_[gpu] != kFanWiringNone);
}

NvStatus HardwareObject::FindFanCooler(const NvCoolerSettings& record, uint32_t* index) {
    uint32_t count = record.count > (uint32_t)kNvMaxCoolers ? kNvMaxCoolers : record.count;
    for (uint32_t i = 0; i < count; i++) {
        if (record.cooler[i].type == kNvCoolerTypeFan) {
            *index = i;
            return kNvOk;
        }
    }
    return kNvError;
}

NvStatus HardwareObject::ReadCoolerSettings(uint8_t gpu, NvCoolerSettings* record) {
    if (!ValidGpu(gpu)) {
        return kStatusNoSuchDevice;
    }
    NvCoolerSettings reply;
    memset(&reply, 0, sizeof(reply));
    reply.version = kNvCoolerSettingsVersion;
    NvStatus status = nvapi_.GetCoolerSettings(GpuHandle(gpu), kNvAllCoolers, &reply);
    if (status == kNvOk) {
        *(record ? record : &coolerCache_[gpu]) = reply;
    }
    return status;
}

NvStatus HardwareObject::QueryFanCooler(uint8_t gpu, NvCoolerSettings* record, uint32_t* index) {
    NvStatus status = ReadCoolerSettings(gpu, record);
    if (status != kNvOk) {
        return status;
    }
    return FindFanCooler(*record, index);
}

NvStatus HardwareObject::SetDriverCoolerLevel(uint8_t gpu, uint32_t index, uint32_t level, uint32_t policy) {
    NvCoolerLevels levels;
    memset(&levels, 0, sizeof(levels));
    levels.version = kNvCoolerLevelsVersion;
    levels.cooler[0].level = level;
    levels.cooler[0].policy = policy;
    return nvapi_.SetCoolerLevels(GpuHandle(gpu), index, &levels);
}

NvStatus HardwareObject::ReadFanSpeed(uint8_t gpu, uint32_t* value, bool measured) {
    if (!FanGuardPasses(gpu)) {
        return kStatusNoSuchDevice;
    }
    NvStatus status;
    if (HasMonitorChip(gpu)) {
        uint8_t high = 0, low = 0;
        if (measured) {
            if ((status = ReadRegister(gpu, kMonRegTachHigh, &high, true)) != kNvOk ||
                (status = ReadRegister(gpu, kMonRegTachLow, &low, true)) != kNvOk) {
                return status;
            }
            *value = MonitorCountToRpm((uint32_t)high << 8 | low);
            return kNvOk;
        }
        uint8_t mode = 0;
        if ((status = ReadRegister(gpu, kMonRegFanMode, &mode, true)) != kNvOk ||
            (status = ReadRegister(gpu, kMonRegTargetHigh, &high, true)) != kNvOk ||
            (status = ReadRegister(gpu, kMonRegTargetLow, &low, true)) != kNvOk) {
            return status;
        }
        *value = MonitorCountToRpm((uint32_t)high << 8 | low) & 0xFFFF;
        return kNvOk;
    }
    if (HasAdt7473(gpu)) {
        if (measured && HasTachometer(gpu) && fanWiring_[gpu] != kFanWiringAdtPwm2) {
            uint8_t high = 0, low = 0;
            if ((status = ReadRegister(gpu, kAdtRegTachLow, &low, false)) != kNvOk ||
                (status = ReadRegister(gpu, kAdtRegTachHigh, &high, false)) != kNvOk) {
                return status;
            }
            *value = Adt7473CountToRpm((uint32_t)high << 8 | low);
            return kNvOk;
        }
        uint8_t duty = 0;
        if ((status = ReadRegister(gpu, kAdtRegDuty + AdtPwmOutput(gpu), &duty, false)) != kNvOk) {
            return status;
        }
        *value = Adt7473DutyToPercent(duty);
        return kNvOk;
    }
    if (fanWiring_[gpu] != kFanWiringDriver) {
        return kStatusNoSuchDevice;
    }
    NvCoolerSettings record;
    uint32_t index = 0;
    if ((status = QueryFanCooler(gpu, &record, &index)) != kNvOk) {
        return status;
    }
    *value = record.cooler[index].currentLevel;
    return kNvOk;
}

NvStatus HardwareObject::SetFanSpeed(uint8_t gpu, uint32_t value) {
    if (!FanGuardPasses(gpu)) {
        return kStatusNoSuchDevice;
    }
    NvStatus status;
    if (HasMonitorChip(gpu)) {
        uint8_t mode = 0;
        if ((status = ReadRegister(gpu, kMonRegFanMode, &mode, true)) != kNvOk) {
            return status;
        }
        status = WriteRegister(gpu, kMonRegFanMode, (mode & kFanModeClearOnManual) | kFanModeManual, true);
        uint16_t count = MonitorRpmToCount(value);
        NvStatus highStatus = WriteRegister(gpu, kMonRegTargetHigh, (uint8_t)(count >> 8), true);
        NvStatus lowStatus = WriteRegister(gpu, kMonRegTargetLow, (uint8_t)(count & 0xFF), true);
        if (status != kNvOk) {
            return status;
        }
        return highStatus != kNvOk ? highStatus : lowStatus;
    }
    NvCoolerSettings record;
    uint32_t index = 0;
    if (!HasAdt7473(gpu)) {
        if (fanWiring_[gpu] != kFanWiringDriver) {
            return kStatusNoSuchDevice;
        }
        if ((status = QueryFanCooler(gpu, &record, &index)) != kNvOk) {
            return status;
        }
        return SetDriverCoolerLevel(gpu, index, value, kNvCoolerPolicyManual);
    }
    if ((status = QueryFanCooler(gpu, &record, &index)) != kNvOk) {
        return status;
    }
    SetDriverCoolerLevel(gpu, index, value, kNvCoolerPolicyManual);
    uint8_t pwm = AdtPwmOutput(gpu);
    if (savedMaximumDuty_[gpu] != -1) {
        if ((status = WriteRegister(gpu, kAdtRegMaxDuty + pwm, 0xFF, false)) != kNvOk) {
            return status;
        }
    }
    uint8_t config = 0;
    if ((status = ReadRegister(gpu, kAdtRegConfig + pwm, &config, false)) != kNvOk ||
        (status = WriteRegister(gpu, kAdtRegConfig + pwm, config | kAdtConfigManual, false)) != kNvOk) {
        return status;
    }
    return WriteRegister(gpu, kAdtRegDuty + pwm, Adt7473PercentToDuty(value), false);
}

NvStatus HardwareObject::SetFanAuto(uint8_t gpu, const uint32_t* temperatures, const uint32_t* speeds) {
    if (!ValidGpu(gpu)) {
        return kStatusNoSuchDevice;
    }
    NvStatus status;
    if (HasMonitorChip(gpu)) {
        if (!temperatures || !speeds) {
            return kNvError;
        }
        uint8_t mode = 0;
        if ((status = ReadRegister(gpu, kMonRegFanMode, &mode, true)) != kNvOk ||
            (status = WriteRegister(gpu, kMonRegFanMode, mode & kFanModeAutoMask, true)) != kNvOk) {
            return status;
        }
        for (int i = 0; i < kCurveTemperaturePoints; i++) {
            status = WriteRegister(gpu, (uint8_t)(kMonRegCurveTemperature + i), (uint8_t)temperatures[i], true);
            if (status != kNvOk) {
                return status;
            }
        }
        for (int i = 0; i < kCurveSpeedPoints; i++) {
            status = WriteRegister(gpu, (uint8_t)(kMonRegCurveSpeed + i), MonitorCurveSpeedByte(speeds[i]), true);
            if (status != kNvOk) {
                return status;
            }
        }
        return kNvOk;
    }
    int32_t wiring = fanWiring_[gpu];
    int32_t savedDuty = savedMaximumDuty_[gpu];
    if (wiring == kFanWiringAdtPwm2) {
        if (savedDuty != -1 && (status = WriteRegister(gpu, kAdtRegMaxDuty + 1, (uint8_t)savedDuty, false)) != kNvOk) {
            return status;
        }
        uint8_t config = 0;
        if ((status = ReadRegister(gpu, kAdtRegConfig + 1, &config, false)) != kNvOk) {
            return status;
        }
        return WriteRegister(gpu, kAdtRegConfig + 1, config & kAdtConfigAutoMask, false);
    }
    if (wiring == kFanWiringDriver) {
        // On this wiring the driver's cooler control drives the ADT7473's
        // first output; its automatic policy puts the chip back in charge.
        if (HasAdt7473(gpu)) {
            if (savedDuty != -1 && (status = WriteRegister(gpu, kAdtRegMaxDuty, (uint8_t)savedDuty, false)) != kNvOk) {
                return status;
            }
        }
        NvCoolerSettings record;
        uint32_t index = 0;
        if ((status = QueryFanCooler(gpu, &record, &index)) != kNvOk) {
            return status;
        }
        uint32_t policy = record.cooler[index].defaultPolicy;
        if (policy == kNvCoolerPolicyManual) {
            policy = kNvCoolerPolicyAuto;
        }
        return SetDriverCoolerLevel(gpu, index, 0, policy);
    }
    return kStatusNoSuchDevice;
}

NvStatus HardwareObject::IsFanAuto(uint8_t gpu, BOOL* isAuto) {
    if (!ValidGpu(gpu)) {
        return kStatusNoSuchDevice;
    }
    NvStatus status;
    if (HasMonitorChip(gpu)) {
        uint8_t mode = 0;
        if ((status = ReadRegister(gpu, kMonRegFanMode, &mode, true)) != kNvOk) {
            return status;
        }
        *isAuto = (mode & kFanModeManual) == 0;
        return kNvOk;
    }
    if (fanWiring_[gpu] == kFanWiringAdtPwm2) {
        uint8_t config = 0;
        if ((status = ReadRegister(gpu, kAdtRegConfig + 1, &config, false)) != kNvOk) {
            return status;
        }
        *isAuto = (config & kAdtConfigManual) != kAdtConfigManual;
        return kNvOk;
    }
    if (fanWiring_[gpu] == kFanWiringDriver) {
        NvCoolerSettings record;
        uint32_t index = 0;
        if ((status = QueryFanCooler(gpu, &record, &index)) != kNvOk) {
            return status;
        }
        *isAuto = record.cooler[index].currentPolicy != kNvCoolerPolicyManual;
        return kNvOk;
    }
    return kStatusNoSuchDevice;
}
