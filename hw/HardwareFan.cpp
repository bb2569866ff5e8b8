// Fan reading and control: each GPU's fan is reached through the monitor
// chip (RPM targets), the ADT7473 (PWM duty) or the driver's own cooler
// control, chosen here by what start-up found on the card and how its BIOS
// says the fan is wired. The driver cooler path lives here too.

#include <string.h>

#include "Adt7473.h"
#include "ChipRegisters.h"
#include "HardwareObject.h"
#include "MonitorChip.h"

Adt7473Pwm HardwareObject::AdtPwmOutput(uint8_t gpu) const {
    return fanWiring_[gpu] == kFanWiringAdtPwm2 ? kAdtPwm2 : kAdtPwm1;
}

bool HardwareObject::HasFanControl(uint8_t gpu) const {
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
    if (!HasFanControl(gpu)) {
        return kStatusNoSuchDevice;
    }
    if (HasMonitorChip(gpu)) {
        I2cChipRegisters registers = MonitorChipRegisters(gpu);
        MonitorChip chip(registers);
        return measured ? chip.ReadFanRpm(value) : chip.ReadTargetRpm(value);
    }
    if (HasAdt7473(gpu)) {
        I2cChipRegisters registers = Adt7473Registers(gpu);
        Adt7473 chip(registers);
        // Only the first tachometer is read, and only a fan on the first
        // output reaches it.
        if (measured && HasTachometer(gpu) && fanWiring_[gpu] != kFanWiringAdtPwm2) {
            return chip.ReadTachometerRpm(value);
        }
        return chip.ReadDutyPercent(AdtPwmOutput(gpu), value);
    }
    if (fanWiring_[gpu] != kFanWiringDriver) {
        return kStatusNoSuchDevice;
    }
    NvCoolerSettings record;
    uint32_t index = 0;
    NvStatus status = QueryFanCooler(gpu, &record, &index);
    if (status != kNvOk) {
        return status;
    }
    *value = record.cooler[index].currentLevel;
    return kNvOk;
}

NvStatus HardwareObject::SetFanSpeed(uint8_t gpu, uint32_t value) {
    if (!HasFanControl(gpu)) {
        return kStatusNoSuchDevice;
    }
    // Marked before the write: a write cut short may have landed.
    fanFixed_.fetch_or(1u << gpu);
    if (HasMonitorChip(gpu)) {
        I2cChipRegisters registers = MonitorChipRegisters(gpu);
        return MonitorChip(registers).SetTargetRpm(value);
    }
    NvStatus status;
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
    // The driver's cooler level is set first here too; only a failing cooler
    // query ends the call, the setting's own result is not used.
    if ((status = QueryFanCooler(gpu, &record, &index)) != kNvOk) {
        return status;
    }
    SetDriverCoolerLevel(gpu, index, value, kNvCoolerPolicyManual);
    Adt7473Pwm pwm = AdtPwmOutput(gpu);
    bool liftMaximum = savedMaximumDuty_[gpu] != kAdtNoSavedMaximumDuty;
    I2cChipRegisters registers = Adt7473Registers(gpu);
    return Adt7473(registers).SetManualDuty(pwm, value, liftMaximum);
}

NvStatus HardwareObject::SetFanAuto(uint8_t gpu, const uint32_t* temperatures, const uint32_t* speeds) {
    const NvStatus status = WriteFanAuto(gpu, temperatures, speeds);
    if (status == kNvOk) fanFixed_.fetch_and(~(1u << gpu));
    return status;
}

NvStatus HardwareObject::WriteFanAuto(uint8_t gpu, const uint32_t* temperatures, const uint32_t* speeds) {
    if (!ValidGpu(gpu)) {
        return kStatusNoSuchDevice;
    }
    if (HasMonitorChip(gpu)) {
        if (!temperatures || !speeds) {
            return kNvError;
        }
        I2cChipRegisters registers = MonitorChipRegisters(gpu);
        return MonitorChip(registers).SetCurve(temperatures, speeds);
    }
    NvStatus status;
    int32_t wiring = fanWiring_[gpu];
    int32_t savedDuty = savedMaximumDuty_[gpu];
    if (wiring == kFanWiringAdtPwm2) {
        I2cChipRegisters registers = Adt7473Registers(gpu);
        return Adt7473(registers).SetAutomatic(kAdtPwm2, savedDuty);
    }
    if (wiring == kFanWiringDriver) {
        // On this wiring the driver's cooler control drives the ADT7473's
        // first output; its automatic policy puts the chip back in charge.
        if (HasAdt7473(gpu)) {
            I2cChipRegisters registers = Adt7473Registers(gpu);
            if ((status = Adt7473(registers).RestoreMaximumDuty(kAdtPwm1, savedDuty)) != kNvOk) {
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
    bool automatic = false;
    if (HasMonitorChip(gpu)) {
        I2cChipRegisters registers = MonitorChipRegisters(gpu);
        if ((status = MonitorChip(registers).IsAutomatic(&automatic)) != kNvOk) {
            return status;
        }
        *isAuto = automatic;
        return kNvOk;
    }
    if (fanWiring_[gpu] == kFanWiringAdtPwm2) {
        I2cChipRegisters registers = Adt7473Registers(gpu);
        if ((status = Adt7473(registers).IsAutomatic(kAdtPwm2, &automatic)) != kNvOk) {
            return status;
        }
        *isAuto = automatic;
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
