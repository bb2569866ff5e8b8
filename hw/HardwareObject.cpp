#include "HardwareObject.h"

#include <string.h>

#include "Adt7473.h"
#include "ChipRegisters.h"
#include "Kernel32Function.h"
#include "MonitorChip.h"
#include "ThreadStart.h"

namespace {

const int kInitializeWinIoAttempts = 2;

}  // namespace

HardwareObject::HardwareObject(const char* driverLibrary)
    : nvapi_(driverLibrary), i2cMutex_(CreateMutexW(nullptr, FALSE, L"HwObj_I2cMutex")) {
    for (int i = 0; i < kMaxGpus; i++) {
        gpuHandles_[i].store(nullptr);
        fanWiring_[i] = kFanWiringDriver;
        savedMaximumDuty_[i] = -1;
    }
}

HardwareObject::~HardwareObject() {
    // The worker uses this object. One that outlives the wait (a flash tool
    // taking minutes after a failed start) keeps the mutex and the libraries
    // it may be using; the process end reclaims them.
    if (!WaitForStartupCheck(kStartupWorkerExitWaitMs)) {
        nvapi_.KeepLoaded();
        i2cMutex_.Release();
        pmReader_.KeepLoaded();
        startupThread_.Release();
    }
}

bool HardwareObject::WaitForStartupCheck(DWORD timeoutMs) {
    if (!startupThread_) {
        return true;
    }
    if (WaitForSingleObject(startupThread_.Get(), timeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    startupThread_.Reset();
    return true;
}

HardwareStartResult HardwareObject::InitializeHardware() {
    // Start-up runs once; a second call must not race a running worker.
    WaitForStartupCheck(INFINITE);
    if (nvapi_.Bind() != kNvOk) {
        return kHardwareUnavailable;
    }
    NvPhysicalGpuHandle handles[kNvMaxPhysicalGpus];
    uint8_t count = 0;
    if (EnumerateGpus(handles, &count) != kNvOk || count == 0) {
        return kHardwareUnavailable;
    }
    PublishHandles(handles, count);
    gpuCount_ = count;
    for (uint8_t gpu = 0; gpu < gpuCount_; gpu++) {
        if (!CheckPerformanceLevels(gpu)) {
            return kHardwareUnavailable;
        }
    }
    pmReader_.Bind();
    DetectWow64();
    if (!isWow64_) {
        pmReader_.StartPortIo(kInitializeWinIoAttempts);
    }
    OSVERSIONINFOW version;
    memset(&version, 0, sizeof(version));
    version.dwOSVersionInfoSize = sizeof(version);
    if (GetVersionExW(&version) &&
        (version.dwMajorVersion < 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion == 0))) {
        return kWindowsTooOld;
    }
    for (uint8_t gpu = 0; gpu < gpuCount_; gpu++) {
        DetectMonitorChip(gpu);
    }
    for (uint8_t gpu = 0; gpu < gpuCount_; gpu++) {
        if (HasMonitorChip(gpu)) {
            I2cChipRegisters registers = MonitorChipRegisters(gpu);
            MonitorChip(registers).ClearForcedFullSpeed();
        } else {
            ReadCoolerSettings(gpu, nullptr);
        }
    }
    HANDLE thread = StartThread(StartupHardwareCheck, this, kWorkerThreadStackBytes);
    if (!thread) {
        return kHardwareUnavailable;
    }
    startupThread_.Reset(thread);
    return kHardwareStarted;
}

NvStatus HardwareObject::EnumerateGpus(NvPhysicalGpuHandle* handles, uint8_t* count) {
    memset(handles, 0, kNvMaxPhysicalGpus * sizeof(NvPhysicalGpuHandle));
    uint32_t listed = 0;
    NvStatus status = nvapi_.EnumPhysicalGpus(handles, &listed);
    if (status != kNvOk) {
        return status;
    }
    *count = (uint8_t)(listed > (uint32_t)kMaxGpus ? kMaxGpus : listed);
    return kNvOk;
}

void HardwareObject::PublishHandles(const NvPhysicalGpuHandle* handles, uint8_t count) {
    for (uint8_t gpu = 0; gpu < count; gpu++) {
        gpuHandles_[gpu].store(handles[gpu]);
    }
}

NvStatus HardwareObject::RecoverGpuHandles(NvStatus status) {
    if (status != kNvExpectedPhysicalGpuHandle && status != kNvInvalidHandle) {
        return status;
    }
    NvPhysicalGpuHandle handles[kNvMaxPhysicalGpus];
    uint8_t count = 0;
    NvStatus enumerated = EnumerateGpus(handles, &count);
    if (enumerated != kNvOk) {
        return enumerated;
    }
    // A driver coming back from a reset may list its GPUs one at a time.
    // Taking the shorter list would drop a card for the rest of the run, so
    // the stale handles stay: the next call fails again and retries.
    if (count < gpuCount_) {
        return status;
    }
    PublishHandles(handles, gpuCount_);
    return kNvOk;
}

bool HardwareObject::CheckPerformanceLevels(uint8_t gpu) {
    NvPerfClocks record;
    memset(&record, 0, sizeof(record));
    record.version = kNvPerfClocksVersion;
    if (nvapi_.GetPerfClocks(GpuHandle(gpu), kNvAllLevels, &record) != kNvOk || record.levelCount == 0) {
        return false;
    }
    PerfCapabilities& caps = perfCapabilities_[gpu];
    uint32_t levels = record.levelCount > (uint32_t)kNvMaxPerfLevels ? kNvMaxPerfLevels : record.levelCount;
    for (uint32_t i = 0; i < levels; i++) {
        uint32_t flags = record.level[i].flags;
        if (flags == 0 || flags == 1) {
            caps.has2DLevel = 1;
        } else if (flags & 2) {
            caps.hasFlag2Level = 1;
        } else if (flags & 4) {
            caps.has3DLevel = 1;
        }
    }
    uint32_t domains = record.domainCount > (uint32_t)kNvMaxPerfDomains ? kNvMaxPerfDomains : record.domainCount;
    for (uint32_t i = 0; i < domains; i++) {
        if (record.level[0].domain[i].domainId == kNvDomainShader) {
            caps.hasShaderClock = 1;
            break;
        }
    }
    return caps.has2DLevel || caps.has3DLevel;
}

void HardwareObject::DetectWow64() {
    typedef BOOL(WINAPI * IsWow64ProcessFn)(HANDLE, BOOL*);
    // Windows XP before SP2 has no IsWow64Process.
    IsWow64ProcessFn isWow64Process = Kernel32Function<IsWow64ProcessFn>("IsWow64Process");
    if (isWow64Process) {
        BOOL answer = FALSE;
        isWow64_ = isWow64Process(GetCurrentProcess(), &answer) && answer;
    }
    if (forceWow64_) {
        isWow64_ = TRUE;
    }
}

// The monitor chip is looked for at both of its addresses; only a card
// without it is asked for an ADT7473, which would answer at 0x5C too.
void HardwareObject::DetectMonitorChip(uint8_t gpu) {
    const uint8_t candidates[] = {kMonitorChipAddress, kMonitorChipAltAddress};
    for (size_t i = 0; i < sizeof(candidates); i++) {
        // The transport takes the detected address from here.
        monitorChipAddress_[gpu] = candidates[i];
        I2cChipRegisters registers = MonitorChipRegisters(gpu);
        if (MonitorChip(registers).EchoesAddress(candidates[i])) {
            return;
        }
    }
    monitorChipAddress_[gpu] = 0;
    ProbeAdt7473(gpu);
}

void HardwareObject::ProbeAdt7473(uint8_t gpu) {
    hasAdt7473_[gpu] = 0;
    I2cChipRegisters registers = Adt7473Registers(gpu);
    if (Adt7473(registers).Identify()) {
        hasAdt7473_[gpu] = 1;
    }
}

bool HardwareObject::HasMonitorChip(uint8_t gpu) const {
    return gpu < kMaxGpus && monitorChipAddress_[gpu] != 0;
}

bool HardwareObject::HasAdt7473(uint8_t gpu) const {
    return gpu < kMaxGpus && hasAdt7473_[gpu] != 0;
}

int32_t HardwareObject::GetFanWiring(uint8_t gpu) const {
    return gpu < kMaxGpus ? (int32_t)fanWiring_[gpu] : (int32_t)kFanWiringNone;
}

bool HardwareObject::HasTachometer(uint8_t gpu) const {
    return gpu < kMaxGpus && tachometerPresent_[gpu] != 0;
}

bool HardwareObject::HasShaderClock(uint8_t gpu) const {
    return gpu < kMaxGpus && perfCapabilities_[gpu].hasShaderClock != 0;
}

PerfCapabilities HardwareObject::GetPerfCapabilities(uint8_t gpu) const {
    PerfCapabilities none = {0, 0, 0, 0};
    return gpu < kMaxGpus ? perfCapabilities_[gpu] : none;
}

uint8_t HardwareObject::MonitorChipAddress(uint8_t gpu) const {
    return gpu < kMaxGpus ? monitorChipAddress_[gpu] : 0;
}

int32_t HardwareObject::SavedMaximumDuty(uint8_t gpu) const {
    return gpu < kMaxGpus ? savedMaximumDuty_[gpu] : -1;
}
