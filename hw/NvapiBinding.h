#pragma once
// Binds the driver interface through its query function and forwards the
// few calls the program makes. Unbound calls return the fallback status:
// -4 before binding, -3 after a binding that lacked the entry.

#include <windows.h>

#include "HandleHolders.h"
#include "NvapiTypes.h"

enum NvapiFunction {
    kNvEnumPhysicalGpus,
    kNvGetPciIdentifiers,
    kNvGetThermalSettings,
    kNvI2cRead,
    kNvI2cWrite,
    kNvGetCoolerSettings,
    kNvSetCoolerLevels,
    kNvGetPerfClocks,
    kNvSetPerfClocks,
    kNvFunctionCount
};

struct NvapiEntry {
    int slot;  // NvapiFunction
    uint32_t id;
};

// (slot, interface id) pairs ending with id 0.
extern const NvapiEntry NvapiEntryTable[];

const uint32_t kNvInitializeId = 0x0150E828;

class NvapiBinding {
public:
    // The driver library is "nvapi.dll"; tests may bind another one.
    explicit NvapiBinding(const char* library = "nvapi.dll") : library_(library) {}
    NvapiBinding(const NvapiBinding&) = delete;
    NvapiBinding& operator=(const NvapiBinding&) = delete;

    // -2 "nvapi.dll" not loaded, -1 no query function or initialisation
    // failed, 0 bound. Once bound, later calls return at once; after a
    // failure the next call tries again.
    NvStatus Bind();
    NvStatus BindStatus() const { return bindStatus_; }
    // The driver stays loaded past this object: a thread that could not be
    // stopped may still be inside it.
    void KeepLoaded() { module_.Release(); }
    NvStatus FallbackStatus() const { return fallback_; }
    bool HasEntry(NvapiFunction f) const { return slots_[f] != nullptr; }

    NvStatus EnumPhysicalGpus(NvPhysicalGpuHandle handles[kNvMaxPhysicalGpus], uint32_t* count);
    NvStatus GetPciIdentifiers(NvPhysicalGpuHandle gpu, uint32_t* deviceId, uint32_t* subSystemId, uint32_t* revisionId,
                               uint32_t* extDeviceId);
    NvStatus GetThermalSettings(NvPhysicalGpuHandle gpu, uint32_t sensor, NvThermalSettings* record);
    NvStatus I2cRead(NvPhysicalGpuHandle gpu, NvI2cInfo* info);
    NvStatus I2cWrite(NvPhysicalGpuHandle gpu, NvI2cInfo* info);
    NvStatus GetCoolerSettings(NvPhysicalGpuHandle gpu, uint32_t cooler, NvCoolerSettings* record);
    NvStatus SetCoolerLevels(NvPhysicalGpuHandle gpu, uint32_t cooler, NvCoolerLevels* record);
    NvStatus GetPerfClocks(NvPhysicalGpuHandle gpu, uint32_t level, NvPerfClocks* record);
    NvStatus SetPerfClocks(NvPhysicalGpuHandle gpu, uint32_t levelId, NvPerfClocks* record);

private:
    const char* library_;
    ModuleHolder module_;
    NvStatus bindStatus_ = kNvApiNotInitialized;
    bool bindTried_ = false;
    NvStatus fallback_ = kNvApiNotInitialized;
    void* slots_[kNvFunctionCount] = {};
};
