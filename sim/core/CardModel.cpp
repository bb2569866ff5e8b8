#include "CardModel.h"

#include <math.h>

#include "ChipModels.h"
#include "DriverAbi.h"

namespace vcard {

namespace {

const double kStallPercent = 10;  // below this drive the fan does not turn
const uint32_t kMaxStepMs = 100;
const double kDieCeiling = 125;

double PercentToRpm(const GpuState& gpu, double percent) {
    if (percent < kStallPercent) return 0;
    if (percent > 100) percent = 100;
    return gpu.fan.maxRpm * percent / 100;
}

// The driver's automatic fan policy: the minimum level up to 50 °C, the
// maximum from 85 °C, a straight line between.
uint32_t AutoCoolerLevel(const GpuState& gpu) {
    const CoolerState& c = gpu.cooler;
    double t = gpu.thermal.die;
    double level = c.minLevel + (t - 50) * ((double)c.maxLevel - c.minLevel) / 35;
    if (level < c.minLevel) level = c.minLevel;
    if (level > c.maxLevel) level = c.maxLevel;
    return (uint32_t)(level + 0.5);
}

double HeatWatts(const GpuState& gpu) {
    const ThermalState& t = gpu.thermal;
    double load = gpu.perf.busy ? 1.0 : t.idleLoad;
    const uint32_t ids[3] = {kDomainCore, kDomainShader, kDomainMemory};
    double watts = 0;
    for (int i = 0; i < 3; ++i)
        watts += t.heatPerMHz[i] * RunningClock(gpu, ids[i]) / 1000.0;
    return watts * load;
}

void StepGpu(GpuState& gpu, double ms) {
    FanState& fan = gpu.fan;
    fan.targetRpm = fan.stalled ? 0 : FanTargetRpm(gpu, &fan.dutyPercent);
    fan.rpm += (fan.targetRpm - fan.rpm) * (1 - exp(-ms / fan.timeConstantMs));
    if (fabs(fan.rpm - fan.targetRpm) < 0.01) fan.rpm = fan.targetRpm;

    ThermalState& t = gpu.thermal;
    if (t.held) return;
    double spin = fan.maxRpm > 0 ? fan.rpm / fan.maxRpm : 0;
    double resistance = t.resistanceFull + (t.resistanceStill - t.resistanceFull) * (1 - spin) * (1 - spin);
    double settled = t.ambient + HeatWatts(gpu) * resistance;
    t.die += (settled - t.die) * (1 - exp(-ms / t.timeConstantMs));
    if (t.die > kDieCeiling) t.die = kDieCeiling;
}

}  // namespace

double FanTargetRpm(const GpuState& gpu, double* dutyPercent) {
    double percent = 0;
    double rpm = 0;
    switch (gpu.fan.drive) {
        case kFanMonitorChip:
            rpm = MonitorTargetRpm(gpu);
            percent = gpu.fan.maxRpm > 0 ? rpm * 100 / gpu.fan.maxRpm : 0;
            break;
        case kFanAdtPwm1:
        case kFanAdtPwm2:
            percent = AdtDuty(gpu, gpu.fan.drive == kFanAdtPwm1 ? 0 : 1) * 100.0 / 255;
            rpm = PercentToRpm(gpu, percent);
            break;
        case kFanDriver:
            percent = CoolerLevel(gpu);
            rpm = PercentToRpm(gpu, percent);
            break;
        default:
            percent = gpu.fan.fixedPercent;
            rpm = PercentToRpm(gpu, percent);
            break;
    }
    if (dutyPercent) *dutyPercent = percent;
    return rpm;
}

void StepModel(CardState& state, uint32_t ms) {
    while (ms > 0) {
        uint32_t step = ms < kMaxStepMs ? ms : kMaxStepMs;
        for (int g = 0; g < state.gpuCount && g < kMaxGpus; ++g)
            StepGpu(state.gpu[g], step);
        ms -= step;
        state.modelTimeMs += step;
    }
    for (int g = 0; g < state.gpuCount && g < kMaxGpus; ++g) {
        state.gpu[g].fan.targetRpm = FanTargetRpm(state.gpu[g], &state.gpu[g].fan.dutyPercent);
    }
}

int RunningLevel(const GpuState& gpu) {
    const PerfState& p = gpu.perf;
    if (p.trialLevel >= 0 && p.trialLevel < (int)p.levelCount) return p.trialLevel;
    for (uint32_t i = 0; i < p.levelCount; ++i) {
        bool is3d = (p.levelFlags[i] & 4) != 0;
        bool is2d = p.levelFlags[i] <= 1;
        if (p.busy ? is3d : is2d) return (int)i;
    }
    return p.busy && p.levelCount > 0 ? (int)p.levelCount - 1 : 0;
}

int DomainIndex(const GpuState& gpu, uint32_t domainId) {
    for (uint32_t i = 0; i < gpu.perf.domainCount; ++i) {
        if (gpu.perf.domainId[i] == domainId) return (int)i;
    }
    return -1;
}

uint32_t LevelFrequency(const GpuState& gpu, int level, int domain) {
    uint32_t trial = gpu.perf.trial[level][domain];
    return trial ? trial : gpu.perf.frequency[level][domain];
}

uint32_t RunningClock(const GpuState& gpu, uint32_t domainId) {
    int d = DomainIndex(gpu, domainId);
    if (d < 0 || gpu.perf.levelCount == 0) return 0;
    return LevelFrequency(gpu, RunningLevel(gpu), d);
}

bool CoolerListed(const GpuState& gpu) {
    return gpu.cooler.backend != kCoolerNone;
}

uint32_t CoolerLevel(const GpuState& gpu) {
    const CoolerState& c = gpu.cooler;
    if (c.backend == kCoolerAdtPwm1 && gpu.adt.present) {
        return (uint32_t)(AdtDuty(gpu, 0) * 100 / 255.0 + 0.5);
    }
    return c.policy == kCoolerPolicyManual ? c.manualLevel : AutoCoolerLevel(gpu);
}

uint32_t CoolerPolicy(const GpuState& gpu) {
    const CoolerState& c = gpu.cooler;
    if (c.backend == kCoolerAdtPwm1 && gpu.adt.present) {
        // The chip is the truth: another program may have switched it.
        return AdtManual(gpu, 0) ? kCoolerPolicyManual : (c.policy == kCoolerPolicyManual ? c.defaultPolicy : c.policy);
    }
    return c.policy;
}

int32_t SetCoolerLevel(GpuState& gpu, uint32_t level, uint32_t policy) {
    CoolerState& c = gpu.cooler;
    if (c.backend == kCoolerNone) return kStatusNotSupported;
    if (policy == 0) return kStatusInvalidArgument;
    if (policy == kCoolerPolicyManual && (level < c.minLevel || level > c.maxLevel)) {
        return kStatusInvalidArgument;
    }
    c.policy = policy;
    if (policy == kCoolerPolicyManual) c.manualLevel = level;
    if (c.backend == kCoolerAdtPwm1 && gpu.adt.present) {
        uint8_t* reg = gpu.adt.reg;
        if (policy == kCoolerPolicyManual) {
            AdtWrite(gpu, adt::kPwmConfig1, (uint8_t)(reg[adt::kPwmConfig1] | 0xE0));
            AdtWrite(gpu, adt::kDuty1, (uint8_t)(level * 255 / 100));
        } else {
            AdtWrite(gpu, adt::kPwmConfig1, gpu.adt.bootConfig);
        }
    }
    return kStatusOk;
}

int DriverTemperature(const GpuState& gpu) {
    // Whole degrees, cut as the chips cut them.
    return (int)floor(gpu.thermal.die);
}

}  // namespace vcard
