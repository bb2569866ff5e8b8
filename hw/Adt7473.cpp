#include "Adt7473.h"

#include "FanMath.h"

namespace {

// Registers (8-bit), as in the ADT7473 datasheet.
// The first tachometer's count. Reading the low byte freezes the high byte
// until it is read, so the low byte always comes first.
const uint8_t kRegTach1Low = 0x28;
const uint8_t kRegTach1High = 0x29;
const uint8_t kRegCurrentDuty = 0x30;  // PWM 1; PWM 2 at 0x31. 0..255
// The highest duty automatic mode may reach (PWM 1; PWM 2 at 0x39).
const uint8_t kRegMaximumDuty = 0x38;
const uint8_t kRegDeviceId = 0x3D;
const uint8_t kRegCompanyId = 0x3E;
// PWM configuration (PWM 1; PWM 2 at 0x5D). Bits 7..5 choose what drives
// the output: 111 the current-duty register (manual), 000 the first remote
// temperature channel (automatic).
const uint8_t kRegPwmConfig = 0x5C;
// Tachometer pulses per fan revolution, two bits per input.
const uint8_t kRegPulsesPerRevolution = 0x7B;

const uint8_t kDeviceId = 0x73;
const uint8_t kCompanyId = 0x41;  // Analog Devices
const uint8_t kTwoPulsesOnEveryInput = 0x55;

const uint8_t kConfigManual = 0xE0;            // bits 7..5 = 111
const uint8_t kConfigKeepForAutomatic = 0x1F;  // bits 7..5 = 000

// A tachometer input with no fan on it, or a stalled fan, counts all ones.
const uint8_t kTachNoPulses = 0xFF;
const uint8_t kFullDuty = 0xFF;
// Start-up keeps a maximum duty only with bit 7 set (half duty or more);
// lower values are left as they are.
const uint8_t kSavedMaximumDutyBit = 0x80;

uint8_t ForPwm(uint8_t reg, Adt7473Pwm pwm) {
    return (uint8_t)(reg + pwm);
}

}  // namespace

bool Adt7473::Identify() {
    uint8_t id = 0;
    if (registers_.Read(kRegDeviceId, &id) != kNvOk || id != kDeviceId) {
        return false;
    }
    if (registers_.Read(kRegCompanyId, &id) != kNvOk || id != kCompanyId) {
        return false;
    }
    registers_.Write(kRegPulsesPerRevolution, kTwoPulsesOnEveryInput);
    return true;
}

NvStatus Adt7473::ReadTachometerRpm(uint32_t* rpm) {
    uint8_t low = 0, high = 0;
    NvStatus status;
    if ((status = registers_.Read(kRegTach1Low, &low)) != kNvOk ||
        (status = registers_.Read(kRegTach1High, &high)) != kNvOk) {
        return status;
    }
    *rpm = Adt7473CountToRpm((uint32_t)high << 8 | low);
    return kNvOk;
}

bool Adt7473::TachometerAnswers() {
    uint8_t low = 0, high = 0;
    return registers_.Read(kRegTach1Low, &low) == kNvOk && registers_.Read(kRegTach1High, &high) == kNvOk &&
           low != kTachNoPulses && high != kTachNoPulses;
}

NvStatus Adt7473::ReadDutyPercent(Adt7473Pwm pwm, uint32_t* percent) {
    uint8_t duty = 0;
    NvStatus status = registers_.Read(ForPwm(kRegCurrentDuty, pwm), &duty);
    if (status != kNvOk) {
        return status;
    }
    *percent = Adt7473DutyToPercent(duty);
    return kNvOk;
}

NvStatus Adt7473::SetManualDuty(Adt7473Pwm pwm, uint32_t percent, bool liftMaximum) {
    NvStatus status;
    if (liftMaximum && (status = registers_.Write(ForPwm(kRegMaximumDuty, pwm), kFullDuty)) != kNvOk) {
        return status;
    }
    uint8_t config = 0;
    if ((status = registers_.Read(ForPwm(kRegPwmConfig, pwm), &config)) != kNvOk ||
        (status = registers_.Write(ForPwm(kRegPwmConfig, pwm), config | kConfigManual)) != kNvOk) {
        return status;
    }
    return registers_.Write(ForPwm(kRegCurrentDuty, pwm), Adt7473PercentToDuty(percent));
}

NvStatus Adt7473::SetAutomatic(Adt7473Pwm pwm, int32_t savedMaximumDuty) {
    NvStatus status = RestoreMaximumDuty(pwm, savedMaximumDuty);
    if (status != kNvOk) {
        return status;
    }
    uint8_t config = 0;
    if ((status = registers_.Read(ForPwm(kRegPwmConfig, pwm), &config)) != kNvOk) {
        return status;
    }
    return registers_.Write(ForPwm(kRegPwmConfig, pwm), config & kConfigKeepForAutomatic);
}

NvStatus Adt7473::RestoreMaximumDuty(Adt7473Pwm pwm, int32_t savedMaximumDuty) {
    if (savedMaximumDuty == kAdtNoSavedMaximumDuty) {
        return kNvOk;
    }
    return registers_.Write(ForPwm(kRegMaximumDuty, pwm), (uint8_t)savedMaximumDuty);
}

NvStatus Adt7473::IsAutomatic(Adt7473Pwm pwm, bool* automatic) {
    uint8_t config = 0;
    NvStatus status = registers_.Read(ForPwm(kRegPwmConfig, pwm), &config);
    if (status != kNvOk) {
        return status;
    }
    *automatic = (config & kConfigManual) != kConfigManual;
    return kNvOk;
}

bool Adt7473::ReadBiosMaximumDuty(Adt7473Pwm pwm, uint8_t* duty) {
    uint8_t value = 0;
    if (registers_.Read(ForPwm(kRegMaximumDuty, pwm), &value) != kNvOk || !(value & kSavedMaximumDutyBit)) {
        return false;
    }
    *duty = value;
    return true;
}
