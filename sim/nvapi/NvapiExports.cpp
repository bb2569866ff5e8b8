// nvapi.dll of the virtual card: one export, nvapi_QueryInterface, that hands
// out the driver functions by interface id, as the real driver does. Each
// function locks the shared card state for its duration.
#include <windows.h>

#include "DriverCalls.h"
#include "SharedCard.h"

using namespace vcard;

namespace {

// The driver's own bookkeeping for this process.
DriverSession gSession;

// The driver's calling convention is __cdecl on 32-bit Windows.
#define DRIVER_CALL __cdecl

int32_t DRIVER_CALL Initialize() {
    CardLock lock;
    if (!lock) return kStatusError;
    return CallInitialize(*lock.get(), gSession);
}

int32_t DRIVER_CALL EnumPhysicalGpus(GpuHandle handles[kMaxPhysicalGpus], uint32_t* count) {
    CardLock lock;
    if (!lock) return kStatusError;
    return CallEnumPhysicalGpus(*lock.get(), gSession, handles, count);
}

int32_t DRIVER_CALL GetPciIdentifiers(GpuHandle gpu, uint32_t* deviceId, uint32_t* subsystemId, uint32_t* revisionId,
                                      uint32_t* extDeviceId) {
    CardLock lock;
    if (!lock) return kStatusError;
    return CallGetPciIdentifiers(*lock.get(), gSession, gpu, deviceId, subsystemId, revisionId, extDeviceId);
}

int32_t DRIVER_CALL GetThermalSettings(GpuHandle gpu, uint32_t sensorIndex, ThermalSettings* settings) {
    CardLock lock;
    if (!lock) return kStatusError;
    return CallGetThermalSettings(*lock.get(), gSession, gpu, sensorIndex, settings);
}

int32_t DRIVER_CALL I2cRead(GpuHandle gpu, I2cInfo* info) {
    CardLock lock;
    if (!lock) return kStatusError;
    return CallI2c(*lock.get(), gSession, gpu, info, false);
}

int32_t DRIVER_CALL I2cWrite(GpuHandle gpu, I2cInfo* info) {
    CardLock lock;
    if (!lock) return kStatusError;
    return CallI2c(*lock.get(), gSession, gpu, info, true);
}

int32_t DRIVER_CALL GetCoolerSettings(GpuHandle gpu, uint32_t coolerIndex, CoolerSettings* settings) {
    CardLock lock;
    if (!lock) return kStatusError;
    return CallGetCoolerSettings(*lock.get(), gSession, gpu, coolerIndex, settings);
}

int32_t DRIVER_CALL SetCoolerLevels(GpuHandle gpu, uint32_t coolerIndex, CoolerLevels* levels) {
    CardLock lock;
    if (!lock) return kStatusError;
    return CallSetCoolerLevels(*lock.get(), gSession, gpu, coolerIndex, levels);
}

int32_t DRIVER_CALL GetPerfClocks(GpuHandle gpu, int32_t level, PerfClocks* clocks) {
    CardLock lock;
    if (!lock) return kStatusError;
    return CallGetPerfClocks(*lock.get(), gSession, gpu, level, clocks);
}

int32_t DRIVER_CALL SetPerfClocks(GpuHandle gpu, uint32_t levelId, PerfClocks* clocks) {
    CardLock lock;
    if (!lock) return kStatusError;
    return CallSetPerfClocks(*lock.get(), gSession, gpu, levelId, clocks);
}

struct Entry {
    uint32_t id;
    void* function;
};

const Entry kEntries[] = {
    {kIdInitialize, (void*)&Initialize},
    {kIdEnumPhysicalGpus, (void*)&EnumPhysicalGpus},
    {kIdGetPciIdentifiers, (void*)&GetPciIdentifiers},
    {kIdGetThermalSettings, (void*)&GetThermalSettings},
    {kIdI2cRead, (void*)&I2cRead},
    {kIdI2cWrite, (void*)&I2cWrite},
    {kIdGetCoolerSettings, (void*)&GetCoolerSettings},
    {kIdSetCoolerLevels, (void*)&SetCoolerLevels},
    {kIdGetPerfClocks, (void*)&GetPerfClocks},
    {kIdSetPerfClocks, (void*)&SetPerfClocks},
};

}  // namespace

extern "C" __declspec(dllexport) void* __cdecl nvapi_QueryInterface(uint32_t id) {
    {
        CardLock lock;
        if (lock) lock->counters.queryInterface++;
    }
    for (const Entry& entry : kEntries) {
        if (entry.id == id) return entry.function;
    }
    return nullptr;  // an id this driver does not know
}
