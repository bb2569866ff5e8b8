#include "ChipModels.h"

namespace vcard {

namespace {

// Temperature range of a zone, from bits 7..4 of its range register, in °C.
const double kRanges[16] = {2, 2.5, 3.33, 4, 5, 6.67, 8, 10, 13.33, 16, 20, 26.67, 32, 40, 53.33, 80};

int8_t TemperatureByte(double celsius) {
    if (celsius > 127) return 127;
    if (celsius < -128) return -128;
    return (int8_t)(celsius < 0 ? celsius - 0.5 : celsius + 0.5);
}

double ZoneTemperature(const GpuState& gpu, int zone) {
    switch (zone) {
        case 0:
            return gpu.thermal.die;  // remote 1: the GPU's diode
        case 1:
            return BoardTemperature(gpu);  // the chip itself
        default:
            return gpu.thermal.ambient + 2;  // remote 2: near the inlet
    }
}

int Behaviour(const GpuState& gpu, int pwm) {
    return gpu.adt.reg[adt::kPwmConfig1 + pwm] >> 5;
}

// Automatic duty of one PWM output following one temperature zone: the
// minimum duty up to Tmin, a straight rise to full duty over the zone's
// range, full duty from the zone's THERM limit on.
double ZoneDuty(const GpuState& gpu, int pwm, int zone) {
    const uint8_t* reg = gpu.adt.reg;
    double t = (int8_t)TemperatureByte(ZoneTemperature(gpu, zone));
    double tmin = (int8_t)reg[adt::kTmin1 + zone];
    double therm = (int8_t)reg[adt::kTherm1 + zone];
    double minDuty = reg[adt::kMinDuty1 + pwm];
    double range = kRanges[reg[adt::kRange1 + zone] >> 4];
    if (t >= therm) return 255;
    if (t < tmin) return minDuty;
    double duty = minDuty + (t - tmin) * (255 - minDuty) / range;
    return duty > 255 ? 255 : duty;
}

}  // namespace

void AdtPowerUp(GpuState& gpu) {
    Adt7473State& chip = gpu.adt;
    uint8_t* reg = chip.reg;
    for (int i = 0; i < 256; ++i)
        reg[i] = 0;
    reg[adt::kDeviceId] = 0x73;
    reg[adt::kCompanyId] = 0x41;
    reg[adt::kRevision] = 0x68;
    reg[adt::kConfig1] = 0x05;
    for (int i = 0; i < 3; ++i) {
        // As the board's BIOS leaves it: each output follows the GPU diode.
        reg[adt::kPwmConfig1 + i] = 0x02;
        reg[adt::kMaxDuty1 + i] = 0xFF;
        reg[adt::kMinDuty1 + i] = 0x4D;  // 30 %
        reg[adt::kRange1 + i] = 0xC4;    // 32 °C
        reg[adt::kTmin1 + i] = 50;
        reg[adt::kTherm1 + i] = 100;
    }
    reg[adt::kPulsesPerRev] = 0x55;
    for (int i = 0; i < 4; ++i)
        chip.latched[i] = 0;
}

bool AdtManual(const GpuState& gpu, int pwm) {
    return Behaviour(gpu, pwm) == adt::kBehaviourManual;
}

uint8_t AdtDuty(const GpuState& gpu, int pwm) {
    const uint8_t* reg = gpu.adt.reg;
    double duty;
    switch (Behaviour(gpu, pwm)) {
        case 0:
            duty = ZoneDuty(gpu, pwm, 0);
            break;
        case 1:
            duty = ZoneDuty(gpu, pwm, 1);
            break;
        case 2:
            duty = ZoneDuty(gpu, pwm, 2);
            break;
        case 3:
            return 255;  // full speed
        case 4:
            return 0;  // off
        case 5: {
            double a = ZoneDuty(gpu, pwm, 0), b = ZoneDuty(gpu, pwm, 2);
            duty = a > b ? a : b;
            break;
        }
        case 6: {
            double a = ZoneDuty(gpu, pwm, 0), b = ZoneDuty(gpu, pwm, 1), c = ZoneDuty(gpu, pwm, 2);
            duty = a > b ? a : b;
            duty = duty > c ? duty : c;
            break;
        }
        default:
            return reg[adt::kDuty1 + pwm];  // manual: what was written
    }
    double cap = reg[adt::kMaxDuty1 + pwm];
    if (duty > cap) duty = cap;
    return (uint8_t)(duty + 0.5);
}

uint16_t AdtTachCount(const GpuState& gpu, int tach) {
    // An input the fan's sense wire does not reach, or a fan too slow to
    // measure, reads 0xFFFF.
    if (gpu.adt.tachInput != tach + 1 || gpu.fan.rpm <= 0) return 0xFFFF;
    int pulses = ((gpu.adt.reg[adt::kPulsesPerRev] >> (tach * 2)) & 3) + 1;
    // The count spans `pulses` pulses of a fan that gives two per turn.
    double count = adt::kTachClock / gpu.fan.rpm * pulses / 2;
    return count >= 65535 ? 0xFFFF : (uint16_t)count;
}

uint8_t AdtRead(GpuState& gpu, uint8_t reg, bool sideEffects) {
    Adt7473State& chip = gpu.adt;
    if (reg >= adt::kTach1Low && reg < adt::kTach1Low + 8) {
        int tach = (reg - adt::kTach1Low) / 2;
        bool low = ((reg - adt::kTach1Low) & 1) == 0;
        uint16_t count = AdtTachCount(gpu, tach);
        if (low) {
            if (sideEffects) {
                chip.latched[tach] = 1;
                chip.latchHigh[tach] = (uint8_t)(count >> 8);
            }
            return (uint8_t)(count & 0xFF);
        }
        if (chip.latched[tach]) {
            if (sideEffects) chip.latched[tach] = 0;
            return chip.latchHigh[tach];
        }
        return (uint8_t)(count >> 8);
    }
    switch (reg) {
        case adt::kRemote1:
            return (uint8_t)TemperatureByte(ZoneTemperature(gpu, 0));
        case adt::kLocal:
            return (uint8_t)TemperatureByte(ZoneTemperature(gpu, 1));
        case adt::kRemote2:
            return (uint8_t)TemperatureByte(ZoneTemperature(gpu, 2));
        case adt::kDuty1:
        case adt::kDuty1 + 1:
        case adt::kDuty1 + 2:
            return AdtDuty(gpu, reg - adt::kDuty1);
        default:
            return chip.reg[reg];
    }
}

void AdtWrite(GpuState& gpu, uint8_t reg, uint8_t value) {
    uint8_t* regs = gpu.adt.reg;
    if ((reg >= adt::kRemote1 && reg < adt::kTach1Low + 8) || (reg >= adt::kDeviceId && reg <= adt::kRevision)) {
        return;  // measurements and identification are read-only
    }
    if (reg >= adt::kDuty1 && reg <= adt::kDuty1 + 2) {
        // The duty registers take writes only while their output is manual.
        if (!AdtManual(gpu, reg - adt::kDuty1)) return;
    }
    if (reg >= adt::kPwmConfig1 && reg <= adt::kPwmConfig1 + 2) {
        int pwm = reg - adt::kPwmConfig1;
        // Entering manual mode starts from the duty the output had.
        if ((value >> 5) == adt::kBehaviourManual && !AdtManual(gpu, pwm)) {
            regs[adt::kDuty1 + pwm] = AdtDuty(gpu, pwm);
        }
    }
    regs[reg] = value;
}

}  // namespace vcard
