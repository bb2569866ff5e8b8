// The steering library: state file and scenario, time, chip registers,
// temperatures and load, and what the card looks like now.
#include "vcard/VirtualCardControl.h"

#include <windows.h>

#include <math.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "CardModel.h"
#include "ChipModels.h"
#include "ControlSupport.h"
#include "DriverCalls.h"
#include "Scenario.h"
#include "SharedCard.h"

using namespace vcard;

namespace {

// Per thread, like GetLastError.
thread_local char gLastError[300];

bool WithCard(void (*action)(CardState&, const void*), const void* arg) {
    CardLock lock;
    if (!lock) {
        SetControlError(SharedCard::OpenError());
        return false;
    }
    action(*lock.get(), arg);
    return true;
}

}  // namespace

namespace vcard {

void SetControlError(const char* text) {
    snprintf(gLastError, sizeof(gLastError), "%s", text);
}

GpuLock::GpuLock(int gpu) : gpu_(gpu) {
    if (!lock_) {
        SetControlError(SharedCard::OpenError());
    } else if (gpu < 0 || gpu >= lock_->gpuCount) {
        SetControlError("no such GPU on the virtual card");
    }
}

}  // namespace vcard

bool VcardUseState(const wchar_t* stateFile) {
    return SetEnvironmentVariableW(L"VEXA_VCARD_STATE", stateFile) != FALSE;
}

bool VcardReset(const char* scenario) {
    CardLock lock;
    if (!lock) {
        SetControlError(SharedCard::OpenError());
        return false;
    }
    bool ok = SharedCard::PowerUp(lock.get(), scenario);
    SetControlError(lock->scenarioError);
    return ok;
}

const char* VcardLastError() {
    return gLastError;
}

const char* VcardScenarioName(int index) {
    return BuiltinScenarioName(index);
}

int VcardGpuCount() {
    CardLock lock;
    if (!lock) return 0;
    return lock->driverPresent ? lock->gpuCount : 0;
}

bool VcardDriverPresent() {
    CardLock lock;
    return lock && lock->driverPresent != 0;
}

bool VcardGetScenario(char* name, size_t nameSize, char* error, size_t errorSize) {
    CardLock lock;
    if (!lock) {
        SetControlError(SharedCard::OpenError());
        return false;
    }
    if (name && nameSize) snprintf(name, nameSize, "%s", lock->scenario);
    if (error && errorSize) snprintf(error, errorSize, "%s", lock->scenarioError);
    return true;
}

bool VcardGetStatePath(wchar_t* path, size_t size) {
    const wchar_t* full = SharedCard::StatePath();
    if (!path || size == 0 || wcslen(full) >= size) return false;
    wcscpy(path, full);
    return full[0] != L'\0';
}

VcardTimeMode VcardGetTimeMode() {
    CardLock lock;
    return lock && lock->timeMode ? kVcardTimeManual : kVcardTimeRealtime;
}

bool VcardSetTimeMode(VcardTimeMode mode) {
    int32_t value = mode == kVcardTimeManual ? 1 : 0;
    return WithCard([](CardState& s, const void* arg) { s.timeMode = *(const int32_t*)arg; }, &value);
}

bool VcardAdvance(uint32_t ms) {
    return WithCard([](CardState& s, const void* arg) { StepModel(s, *(const uint32_t*)arg); }, &ms);
}

bool VcardSettle() {
    CardLock lock;
    if (!lock) {
        SetControlError(SharedCard::OpenError());
        return false;
    }
    CardState& s = *lock.get();
    // Ten minutes is many time constants of both the fan and the die.
    for (int second = 0; second < 600; ++second) {
        double before[kMaxGpus][2];
        for (int g = 0; g < s.gpuCount; ++g) {
            before[g][0] = s.gpu[g].thermal.die;
            before[g][1] = s.gpu[g].fan.rpm;
        }
        StepModel(s, 1000);
        bool still = true;
        for (int g = 0; g < s.gpuCount; ++g) {
            if (fabs(before[g][0] - s.gpu[g].thermal.die) > 0.001 || fabs(before[g][1] - s.gpu[g].fan.rpm) > 0.01) {
                still = false;
            }
        }
        if (still) break;
    }
    return true;
}

bool VcardReadRegister(int gpu, int address, int reg, uint8_t* value) {
    GpuLock lock(gpu);
    if (!lock.ok() || !value || reg < 0 || reg > 255 || address < 0 || address > 255) return false;
    if (BusTransfer(lock.card(), gpu, (uint8_t)address, (uint8_t)reg, value, 1, false, false) != 0) {
        SetControlError("no chip answers at that address");
        return false;
    }
    return true;
}

bool VcardWriteRegister(int gpu, int address, int reg, uint8_t value) {
    GpuLock lock(gpu);
    if (!lock.ok() || reg < 0 || reg > 255 || address < 0 || address > 255) return false;
    if (BusTransfer(lock.card(), gpu, (uint8_t)address, (uint8_t)reg, &value, 1, true, false) != 0) {
        SetControlError("no chip answers at that address");
        return false;
    }
    return true;
}

bool VcardSetDieTemperature(int gpu, double celsius, bool hold) {
    GpuLock lock(gpu);
    if (!lock.ok()) return false;
    lock.gpu().thermal.die = celsius;
    lock.gpu().thermal.held = hold ? 1 : 0;
    return true;
}

bool VcardReleaseDieTemperature(int gpu) {
    GpuLock lock(gpu);
    if (!lock.ok()) return false;
    lock.gpu().thermal.held = 0;
    return true;
}

bool VcardSetAmbient(int gpu, double celsius) {
    GpuLock lock(gpu);
    if (!lock.ok()) return false;
    lock.gpu().thermal.ambient = celsius;
    return true;
}

bool VcardSetBusy(int gpu, bool busy) {
    GpuLock lock(gpu);
    if (!lock.ok()) return false;
    lock.gpu().perf.busy = busy ? 1 : 0;
    return true;
}

bool VcardStallFan(int gpu, bool stalled) {
    GpuLock lock(gpu);
    if (!lock.ok()) return false;
    lock.gpu().fan.stalled = stalled ? 1 : 0;
    return true;
}

bool VcardGetCardInfo(int gpu, VcardCardInfo* info) {
    GpuLock lock(gpu);
    if (!lock.ok() || !info) return false;
    const GpuState& g = lock.gpu();
    VcardCardInfo out = {};
    out.deviceId = g.deviceId;
    out.subsystemVendor = g.subsystemVendor;
    out.subsystemDevice = g.subsystemDevice;
    out.dieCelsius = g.thermal.die;
    out.dieHeld = g.thermal.held != 0;
    out.busy = g.perf.busy != 0;
    out.driverCelsius = DriverTemperature(g);
    out.fanDrive = (int)g.fan.drive;
    out.fanRpm = g.fan.rpm;
    out.fanTargetRpm = FanTargetRpm(g, &out.fanDutyPercent);
    switch (g.fan.drive) {
        case kFanMonitorChip:
            out.fanManual = (g.monitor.reg[monitor::kFanMode] & 1) != 0;
            break;
        case kFanAdtPwm1:
            out.fanManual = AdtManual(g, 0);
            break;
        case kFanAdtPwm2:
            out.fanManual = AdtManual(g, 1);
            break;
        case kFanDriver:
            out.fanManual = CoolerPolicy(g) == kCoolerPolicyManual;
            break;
        default:
            out.fanManual = false;
            break;
    }
    out.monitorChipAddress = g.monitor.present ? g.monitor.address : 0;
    out.hasAdt7473 = g.adt.present != 0;
    out.coolerLevel = CoolerListed(g) ? CoolerLevel(g) : 0;
    out.coolerPolicy = CoolerListed(g) ? CoolerPolicy(g) : 0;
    out.coreKHz = RunningClock(g, kDomainCore);
    out.shaderKHz = RunningClock(g, kDomainShader);
    out.memoryKHz = RunningClock(g, kDomainMemory);
    out.runningLevel = RunningLevel(g);
    out.levelCount = (int)g.perf.levelCount;
    out.domainCount = (int)g.perf.domainCount;
    for (int d = 0; d < out.domainCount; ++d) {
        out.domainId[d] = g.perf.domainId[d];
        out.stableLimit[d] = g.perf.stableLimit[d];
    }
    for (int l = 0; l < out.levelCount; ++l) {
        out.level[l].id = g.perf.levelId[l];
        out.level[l].flags = g.perf.levelFlags[l];
        for (int d = 0; d < out.domainCount; ++d) {
            out.level[l].frequency[d] = g.perf.frequency[l][d];
            out.level[l].trial[d] = g.perf.trial[l][d];
            out.level[l].lower[d] = g.perf.lower[l][d];
            out.level[l].upper[d] = g.perf.upper[l][d];
        }
    }
    out.biosSize = g.biosSize;
    *info = out;
    return true;
}

bool VcardGetBiosImage(int gpu, uint8_t* buffer, size_t capacity, size_t* size) {
    GpuLock lock(gpu);
    if (!lock.ok()) return false;
    const GpuState& g = lock.gpu();
    size_t n = g.biosSize < capacity ? g.biosSize : capacity;
    if (buffer) memcpy(buffer, g.bios, n);
    if (size) *size = g.biosSize;
    return true;
}

bool VcardSetBiosImage(int gpu, const uint8_t* data, size_t size) {
    GpuLock lock(gpu);
    if (!lock.ok() || !data || size == 0 || size > kBiosCapacity) return false;
    memcpy(lock.gpu().bios, data, size);
    lock.gpu().biosSize = (uint32_t)size;
    return true;
}

bool VcardGetCounters(VcardCounters* counters) {
    CardLock lock;
    if (!lock || !counters) return false;
    const Counters& c = lock->counters;
    VcardCounters out = {};
    out.driverCalls = c.driverCalls;
    for (int i = 0; i < kVcardCallCount; ++i)
        out.calls[i] = c.calls[i];
    out.i2cTransactions = c.i2cTransactions;
    out.i2cFailures = c.i2cFailures;
    out.queryInterface = c.queryInterface;
    out.physReads = c.physReads;
    *counters = out;
    return true;
}

bool VcardResetCounters() {
    CardLock lock;
    if (!lock) return false;
    memset(&lock->counters, 0, sizeof(lock->counters));
    return true;
}
