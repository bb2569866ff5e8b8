#include <math.h>

#include "ChipModels.h"

namespace vcard {

namespace {

uint8_t ClampByte(double value) {
    if (value < 0) return 0;
    if (value > 255) return 255;
    return (uint8_t)value;
}

double CountToRpm(double count, double maxRpm) {
    // A zero count would be an infinite speed: the chip runs the fan flat out.
    if (count <= 0) return maxRpm;
    return monitor::kTachClock / count;
}

// Channel 1 as the chip converts it: the die as its sensor sees it, plus the
// signed offset register.
double ChannelOne(const GpuState& gpu) {
    return gpu.thermal.die + gpu.monitor.sensorBias + (int8_t)gpu.monitor.reg[monitor::kOffset];
}

void Convert(GpuState& gpu, uint8_t reg, uint8_t fractionReg, double celsius) {
    if (celsius < 0) celsius = 0;
    uint8_t whole = ClampByte(celsius);
    double quarters = (celsius - floor(celsius)) * 4;
    gpu.monitor.reg[reg] = whole;
    gpu.monitor.reg[fractionReg] = whole == 255 ? 0 : (uint8_t)(((int)quarters & 3) << 6);
}

}  // namespace

void MonitorPowerUp(GpuState& gpu) {
    MonitorChipState& chip = gpu.monitor;
    for (int i = 0; i < 256; ++i)
        chip.reg[i] = 0;
    chip.reg[monitor::kStatus] = 0x81;
    chip.reg[monitor::kAddress] = chip.address;
    chip.reg[monitor::kLimit] = 110;
    chip.reg[monitor::kFanMode] = 0x04;
    chip.reg[monitor::kRevision] = 0x23;
    uint16_t target = (uint16_t)(monitor::kTachClock / 1800);
    chip.reg[monitor::kTargetHigh] = (uint8_t)(target >> 8);
    chip.reg[monitor::kTargetLow] = (uint8_t)(target & 0xFF);
    const uint8_t temps[4] = {80, 65, 50, 0};
    const int speeds[5] = {3000, 2400, 1800, 1200, 1200};
    for (int i = 0; i < 4; ++i)
        chip.reg[monitor::kCurveTemperature + i] = temps[i];
    for (int i = 0; i < 5; ++i) {
        chip.reg[monitor::kCurveSpeed + i] = (uint8_t)(((int)monitor::kTachClock / speeds[i]) >> 4);
    }
    chip.tachLatched = 0;
    Convert(gpu, monitor::kTemperature, monitor::kFraction, ChannelOne(gpu));
    Convert(gpu, monitor::kTemperature2, monitor::kFraction2, BoardTemperature(gpu));
}

int MonitorLiveTemperature(const GpuState& gpu) {
    double t = ChannelOne(gpu);
    return t < 0 ? 0 : (int)t;
}

uint16_t MonitorTachCount(const GpuState& gpu) {
    // Below about 23 RPM the count would overflow 16 bits; the chip then sees
    // no pulses at all and reports 0.
    if (gpu.fan.rpm < monitor::kTachClock / 65535.0) return 0;
    return (uint16_t)(monitor::kTachClock / gpu.fan.rpm);
}

double MonitorTargetRpm(const GpuState& gpu) {
    const uint8_t* reg = gpu.monitor.reg;
    double maxRpm = gpu.fan.maxRpm;
    uint8_t mode = reg[monitor::kFanMode];
    int live = MonitorLiveTemperature(gpu);
    double rpm;
    if ((mode & 0x02) || (reg[monitor::kLimit] != 0 && live >= reg[monitor::kLimit])) {
        rpm = maxRpm;
    } else if (mode & 0x01) {
        rpm = CountToRpm(reg[monitor::kTargetHigh] * 256.0 + reg[monitor::kTargetLow], maxRpm);
    } else {
        // The curve's temperature points fall: the first one the chip is at
        // or above picks its speed point; below all four the fifth applies.
        int point = 4;
        for (int i = 0; i < 4; ++i) {
            if (live >= reg[monitor::kCurveTemperature + i]) {
                point = i;
                break;
            }
        }
        rpm = CountToRpm(reg[monitor::kCurveSpeed + point] * 16.0, maxRpm);
    }
    return rpm > maxRpm ? maxRpm : rpm;
}

uint8_t MonitorRead(GpuState& gpu, uint8_t reg, bool sideEffects) {
    MonitorChipState& chip = gpu.monitor;
    uint16_t count = MonitorTachCount(gpu);
    switch (reg) {
        case monitor::kTachHigh:
            if (sideEffects) {
                chip.tachLatched = 1;
                chip.tachLatchLow = (uint8_t)(count & 0xFF);
            }
            return (uint8_t)(count >> 8);
        case monitor::kTachLow:
            if (chip.tachLatched) {
                if (sideEffects) chip.tachLatched = 0;
                return chip.tachLatchLow;
            }
            return (uint8_t)(count & 0xFF);
        default:
            return chip.reg[reg];
    }
}

void MonitorWrite(GpuState& gpu, uint8_t reg, uint8_t value) {
    MonitorChipState& chip = gpu.monitor;
    switch (reg) {
        case monitor::kAddress:
        case monitor::kTemperature:
        case monitor::kTemperature2:
        case monitor::kTachHigh:
        case monitor::kTachLow:
        case monitor::kFraction:
        case monitor::kFraction2:
        case monitor::kRevision:
            return;  // read-only
        case monitor::kControl:
            if (value & 0x04) Convert(gpu, monitor::kTemperature, monitor::kFraction, ChannelOne(gpu));
            if (value & 0x08) Convert(gpu, monitor::kTemperature2, monitor::kFraction2, BoardTemperature(gpu));
            chip.reg[reg] = (uint8_t)(value & ~0x0C);  // conversion bits clear themselves
            return;
        default:
            chip.reg[reg] = value;
    }
}

double BoardTemperature(const GpuState& gpu) {
    const ThermalState& t = gpu.thermal;
    return t.ambient + (t.die - t.ambient) * 0.4;
}

}  // namespace vcard
