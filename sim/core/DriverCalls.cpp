#include "DriverCalls.h"

#include <string.h>

#include "CardModel.h"
#include "ChipModels.h"

namespace vcard {

namespace {

const uintptr_t kHandleTag = 0x4E000000;
const uintptr_t kHandleTagMask = 0xFF000000;
const uint32_t kNvidiaVendor = 0x10DE;
const uint32_t kMaxI2cData = 16;
const uint8_t kAdtAddress = 0x5C;

const uint32_t kCallIds[] = {
    kIdInitialize, kIdEnumPhysicalGpus,  kIdGetPciIdentifiers, kIdGetThermalSettings, kIdI2cRead,
    kIdI2cWrite,   kIdGetCoolerSettings, kIdSetCoolerLevels,   kIdGetPerfClocks,      kIdSetPerfClocks,
};

void Count(CardState& state, CallIndex call) {
    state.counters.driverCalls++;
    state.counters.calls[call]++;
}

// The injected status for this call, if one is armed for it (it fires once).
bool TakeInjectedStatus(CardState& state, CallIndex call, int gpu, int32_t* status) {
    Faults& f = state.faults;
    if (f.nthCall > 0 && --f.nthCall == 0) {
        *status = f.nthStatus;
        return true;
    }
    if (!f.statusOnceArmed) return false;
    if (f.statusOnceId == 0 ? call == kCallInitialize : f.statusOnceId != kCallIds[call]) return false;
    if (f.statusOnceGpu >= 0 && f.statusOnceGpu != gpu) return false;
    f.statusOnceArmed = 0;
    *status = f.statusOnceValue;
    return true;
}

// Common entry of every call that takes a GPU handle: counting, the
// initialisation check, the handle and an injected status. Returns the GPU
// index or -1 with the status to return.
int Enter(CardState& state, DriverSession& session, CallIndex call, GpuHandle handle, int32_t* status) {
    Count(state, call);
    if (!session.initialized) {
        *status = kStatusNotInitialized;
        return -1;
    }
    int gpu = DecodeGpuHandle(state, handle, status);
    if (gpu < 0) return -1;
    if (TakeInjectedStatus(state, call, gpu, status)) return -1;
    return gpu;
}

bool I2cFaultMatches(const I2cFault& f, int gpu, uint8_t address, uint8_t reg, bool write) {
    if (!f.active) return false;
    if (f.gpu >= 0 && f.gpu != gpu) return false;
    if (f.address != address) return false;
    if (f.reg >= 0 && f.reg != reg) return false;
    return (f.ops & (write ? 2 : 1)) != 0;
}

void FillPerfLevel(const GpuState& gpu, int level, PerfLevel& out) {
    const PerfState& perf = gpu.perf;
    out.levelId = perf.levelId[level];
    out.flags = perf.levelFlags[level];
    for (uint32_t d = 0; d < perf.domainCount; ++d) {
        PerfDomain& domain = out.domain[d];
        domain.domainId = perf.domainId[d];
        domain.frequency = LevelFrequency(gpu, level, (int)d);
        domain.defaultFrequency = perf.defaultFrequency[level][d];
        domain.lowerLimit = perf.lower[level][d];
        domain.upperLimit = perf.upper[level][d];
    }
}

}  // namespace

GpuHandle MakeGpuHandle(uint32_t generation, int index) {
    uintptr_t value = kHandleTag | ((uintptr_t)(generation & 0xFFFF) << 8) | (uintptr_t)(0x10 + index);
    return (GpuHandle)value;
}

int DecodeGpuHandle(const CardState& state, GpuHandle handle, int32_t* status) {
    uintptr_t value = (uintptr_t)handle;
    int index = (int)(value & 0xFF) - 0x10;
    if ((value & kHandleTagMask) != kHandleTag || ((uint64_t)value >> 32) != 0 || index < 0 ||
        index >= state.gpuCount) {
        *status = kStatusExpectedPhysicalGpu;
        return -1;
    }
    if (((value >> 8) & 0xFFFF) != (state.handleGeneration & 0xFFFF)) {
        *status = kStatusHandleInvalidated;
        return -1;
    }
    return index;
}

int32_t CallInitialize(CardState& state, DriverSession& session) {
    Count(state, kCallInitialize);
    int32_t status;
    if (TakeInjectedStatus(state, kCallInitialize, -1, &status)) return status;
    if (!state.driverPresent) return kStatusError;
    session.initialized = true;
    return kStatusOk;
}

int32_t CallEnumPhysicalGpus(CardState& state, DriverSession& session, GpuHandle* handles, uint32_t* count) {
    Count(state, kCallEnumGpus);
    if (!session.initialized) return kStatusNotInitialized;
    if (!handles || !count) return kStatusInvalidArgument;
    int32_t status;
    if (TakeInjectedStatus(state, kCallEnumGpus, -1, &status)) return status;
    int listed = state.gpuCount;
    if (state.faults.shortEnumerations > 0) {
        state.faults.shortEnumerations--;
        if (state.faults.shortGpuCount < listed) listed = state.faults.shortGpuCount;
    }
    if (listed <= 0) {
        *count = 0;
        return kStatusDeviceNotFound;
    }
    for (int i = 0; i < listed; ++i)
        handles[i] = MakeGpuHandle(state.handleGeneration, i);
    *count = (uint32_t)listed;
    return kStatusOk;
}

int32_t CallGetPciIdentifiers(CardState& state, DriverSession& session, GpuHandle handle, uint32_t* deviceId,
                              uint32_t* subsystemId, uint32_t* revisionId, uint32_t* extDeviceId) {
    int32_t status;
    int g = Enter(state, session, kCallPciIds, handle, &status);
    if (g < 0) return status;
    if (!deviceId || !subsystemId || !revisionId || !extDeviceId) return kStatusInvalidArgument;
    const GpuState& gpu = state.gpu[g];
    *deviceId = ((uint32_t)gpu.deviceId << 16) | kNvidiaVendor;
    *subsystemId = ((uint32_t)gpu.subsystemDevice << 16) | gpu.subsystemVendor;
    *revisionId = gpu.revision;
    *extDeviceId = gpu.deviceId;
    return kStatusOk;
}

int32_t CallGetThermalSettings(CardState& state, DriverSession& session, GpuHandle handle, uint32_t sensorIndex,
                               ThermalSettings* settings) {
    int32_t status;
    int g = Enter(state, session, kCallThermal, handle, &status);
    if (g < 0) return status;
    if (!settings) return kStatusInvalidArgument;
    if (settings->version != kThermalSettingsVersion) return kStatusIncompatibleVersion;
    const GpuState& gpu = state.gpu[g];

    ThermalSettings all = {};
    all.version = kThermalSettingsVersion;
    int board = (int)(BoardTemperature(gpu) + 0.5);
    if (gpu.thermal.boardSensorFirst) {
        all.sensor[all.count].controller = 2;
        all.sensor[all.count].defaultMinTemp = 0;
        all.sensor[all.count].defaultMaxTemp = 95;
        all.sensor[all.count].currentTemp = board;
        all.sensor[all.count].target = kThermalTargetBoard;
        all.count++;
    }
    all.sensor[all.count].controller = 1;
    all.sensor[all.count].defaultMinTemp = 0;
    all.sensor[all.count].defaultMaxTemp = 127;
    all.sensor[all.count].currentTemp = DriverTemperature(gpu);
    all.sensor[all.count].target = kThermalTargetGpu;
    all.count++;

    if (sensorIndex == kAllSensors) {
        *settings = all;
        return kStatusOk;
    }
    if (sensorIndex >= all.count) return kStatusInvalidArgument;
    ThermalSettings one = {};
    one.version = kThermalSettingsVersion;
    one.count = 1;
    one.sensor[0] = all.sensor[sensorIndex];
    *settings = one;
    return kStatusOk;
}

int32_t BusTransfer(CardState& state, int g, uint8_t address, uint8_t reg, uint8_t* data, uint32_t count, bool write,
                    bool bus) {
    if (g < 0 || g >= state.gpuCount) return kStatusInvalidArgument;
    GpuState& gpu = state.gpu[g];
    if (bus) {
        state.counters.i2cTransactions++;
        if (state.faults.nthI2c > 0 && --state.faults.nthI2c == 0) {
            state.counters.i2cFailures++;
            return state.faults.nthStatus;
        }
        for (int i = 0; i < kMaxI2cFaults; ++i) {
            I2cFault& f = state.faults.i2c[i];
            if (!I2cFaultMatches(f, g, address, reg, write)) continue;
            if (!f.always) f.active = 0;
            state.counters.i2cFailures++;
            return f.status;
        }
    }
    bool monitorChip = gpu.monitor.present && address == gpu.monitor.address;
    bool adtChip = !monitorChip && gpu.adt.present && address == kAdtAddress;
    if (!monitorChip && !adtChip) {
        // Nobody acknowledges the address.
        if (bus) state.counters.i2cFailures++;
        return kStatusError;
    }
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t r = (uint8_t)(reg + i);  // the chips step through registers on multi-byte transfers
        if (monitorChip) {
            if (write)
                MonitorWrite(gpu, r, data[i]);
            else
                data[i] = MonitorRead(gpu, r, bus);
        } else {
            if (write)
                AdtWrite(gpu, r, data[i]);
            else
                data[i] = AdtRead(gpu, r, bus);
        }
    }
    return kStatusOk;
}

int32_t CallI2c(CardState& state, DriverSession& session, GpuHandle handle, I2cInfo* info, bool write) {
    int32_t status;
    int g = Enter(state, session, write ? kCallI2cWrite : kCallI2cRead, handle, &status);
    if (g < 0) return status;
    if (!info) return kStatusInvalidArgument;
    if (info->version != kI2cInfoVersion) return kStatusIncompatibleVersion;
    // Registers are addressed by one byte on these chips.
    if (info->registerCount != 1 || !info->registerBytes) return kStatusInvalidArgument;
    if (info->dataCount == 0 || info->dataCount > kMaxI2cData || !info->data) {
        return kStatusInvalidArgument;
    }
    return BusTransfer(state, g, info->deviceAddress, info->registerBytes[0], info->data, info->dataCount, write, true);
}

int32_t CallGetCoolerSettings(CardState& state, DriverSession& session, GpuHandle handle, uint32_t coolerIndex,
                              CoolerSettings* settings) {
    int32_t status;
    int g = Enter(state, session, kCallCoolerGet, handle, &status);
    if (g < 0) return status;
    if (!settings) return kStatusInvalidArgument;
    if (settings->version != kCoolerSettingsVersion) return kStatusIncompatibleVersion;
    const GpuState& gpu = state.gpu[g];
    if (!CoolerListed(gpu)) return kStatusNotSupported;
    if (coolerIndex != kAllCoolers && coolerIndex != 0) return kStatusInvalidArgument;

    CoolerSettings out = {};
    out.version = kCoolerSettingsVersion;
    out.count = 1;
    CoolerEntry& c = out.cooler[0];
    c.type = 1;
    c.controller = gpu.cooler.controller;
    c.defaultMinLevel = gpu.cooler.minLevel;
    c.defaultMaxLevel = gpu.cooler.maxLevel;
    c.minLevel = gpu.cooler.minLevel;
    c.maxLevel = gpu.cooler.maxLevel;
    c.currentLevel = CoolerLevel(gpu);
    c.defaultPolicy = gpu.cooler.defaultPolicy;
    c.currentPolicy = CoolerPolicy(gpu);
    c.target = kThermalTargetGpu;
    c.controlType = 1;  // variable speed
    c.active = 1;
    *settings = out;
    return kStatusOk;
}

int32_t CallSetCoolerLevels(CardState& state, DriverSession& session, GpuHandle handle, uint32_t coolerIndex,
                            CoolerLevels* levels) {
    int32_t status;
    int g = Enter(state, session, kCallCoolerSet, handle, &status);
    if (g < 0) return status;
    if (!levels) return kStatusInvalidArgument;
    if (levels->version != kCoolerLevelsVersion) return kStatusIncompatibleVersion;
    GpuState& gpu = state.gpu[g];
    if (!CoolerListed(gpu)) return kStatusNotSupported;
    if (coolerIndex != kAllCoolers && coolerIndex != 0) return kStatusInvalidArgument;
    return SetCoolerLevel(gpu, levels->cooler[0].level, levels->cooler[0].policy);
}

int32_t CallGetPerfClocks(CardState& state, DriverSession& session, GpuHandle handle, int32_t level,
                          PerfClocks* clocks) {
    int32_t status;
    int g = Enter(state, session, kCallPerfGet, handle, &status);
    if (g < 0) return status;
    if (!clocks) return kStatusInvalidArgument;
    if (clocks->version != kPerfClocksVersion) return kStatusIncompatibleVersion;
    const GpuState& gpu = state.gpu[g];
    const PerfState& perf = gpu.perf;
    if (level != kAllLevels && (level < 0 || level >= (int32_t)perf.levelCount)) {
        return kStatusInvalidArgument;
    }
    memset((uint8_t*)clocks + sizeof(clocks->version), 0, sizeof(*clocks) - sizeof(clocks->version));
    clocks->domainCount = perf.domainCount;
    if (level == kAllLevels) {
        clocks->levelCount = perf.levelCount;
        clocks->currentLevel = (uint32_t)RunningLevel(gpu);
        for (uint32_t l = 0; l < perf.levelCount; ++l)
            FillPerfLevel(gpu, (int)l, clocks->level[l]);
    } else {
        // One level, at position 0 of the reply.
        clocks->levelCount = 1;
        clocks->currentLevel = 0;
        FillPerfLevel(gpu, level, clocks->level[0]);
    }
    return kStatusOk;
}

int32_t CallSetPerfClocks(CardState& state, DriverSession& session, GpuHandle handle, uint32_t levelId,
                          PerfClocks* clocks) {
    int32_t status;
    int g = Enter(state, session, kCallPerfSet, handle, &status);
    if (g < 0) return status;
    if (!clocks) return kStatusInvalidArgument;
    if (clocks->version != kPerfClocksVersion) return kStatusIncompatibleVersion;
    GpuState& gpu = state.gpu[g];
    PerfState& perf = gpu.perf;

    int level = -1;
    for (uint32_t l = 0; l < perf.levelCount; ++l) {
        if (perf.levelId[l] == levelId) {
            level = (int)l;
            break;
        }
    }
    if (level < 0) return kStatusInvalidArgument;
    uint32_t entries = clocks->levelCount < 1 ? 1 : clocks->levelCount;
    if (entries > (uint32_t)kRecordLevels) entries = kRecordLevels;
    const PerfLevel* entry = nullptr;
    for (uint32_t i = 0; i < entries; ++i) {
        if (clocks->level[i].levelId == levelId) {
            entry = &clocks->level[i];
            break;
        }
    }
    if (!entry) return kStatusInvalidArgument;
    if (state.faults.refuseClocks) return state.faults.refuseClocksStatus;

    bool trial = (entry->flags & kLevelFlagTrial) != 0;
    uint32_t domains = clocks->domainCount > (uint32_t)kRecordDomains ? kRecordDomains : clocks->domainCount;
    uint32_t wanted[kMaxDomains] = {};
    bool any = false;
    // Check every domain before changing any, so a refusal leaves the card as it was.
    for (uint32_t i = 0; i < domains; ++i) {
        const PerfDomain& domain = entry->domain[i];
        if (!(domain.flags & kDomainFlagApply)) continue;
        int d = DomainIndex(gpu, domain.domainId);
        if (d < 0) return kStatusInvalidArgument;
        if (domain.frequency < perf.lower[level][d] || domain.frequency > perf.upper[level][d]) {
            return kStatusInvalidArgument;
        }
        // The driver cannot know the chip's real limit; it refuses a trial
        // that the test run finds unstable.
        if (trial && domain.frequency > perf.stableLimit[d]) return kStatusError;
        wanted[d] = domain.frequency;
        any = true;
    }
    if (!any) return kStatusInvalidArgument;

    for (uint32_t d = 0; d < perf.domainCount; ++d) {
        if (trial) {
            if (wanted[d]) perf.trial[level][d] = wanted[d];
        } else {
            if (wanted[d]) perf.frequency[level][d] = wanted[d];
            perf.trial[level][d] = 0;
        }
    }
    if (trial) {
        perf.trialLevel = level;
        return kStatusOk;
    }
    bool running = RunningLevel(gpu) == level;
    if (perf.trialLevel == level) perf.trialLevel = -1;
    return running ? kStatusOk : kStatusSettingPending;
}

}  // namespace vcard
