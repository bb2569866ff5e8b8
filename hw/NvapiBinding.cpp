#include "NvapiBinding.h"

// The driver's entry points use the C calling convention.
typedef void*(__cdecl* QueryInterfaceFn)(uint32_t id);
typedef NvStatus(__cdecl* InitializeFn)();
typedef NvStatus(__cdecl* EnumPhysicalGpusFn)(NvPhysicalGpuHandle*, uint32_t*);
typedef NvStatus(__cdecl* GetPciIdentifiersFn)(NvPhysicalGpuHandle, uint32_t*, uint32_t*, uint32_t*, uint32_t*);
typedef NvStatus(__cdecl* GetThermalSettingsFn)(NvPhysicalGpuHandle, uint32_t, NvThermalSettings*);
typedef NvStatus(__cdecl* I2cFn)(NvPhysicalGpuHandle, NvI2cInfo*);
typedef NvStatus(__cdecl* GetCoolerSettingsFn)(NvPhysicalGpuHandle, uint32_t, NvCoolerSettings*);
typedef NvStatus(__cdecl* SetCoolerLevelsFn)(NvPhysicalGpuHandle, uint32_t, NvCoolerLevels*);
typedef NvStatus(__cdecl* PerfClocksFn)(NvPhysicalGpuHandle, uint32_t, NvPerfClocks*);

const NvapiEntry NvapiEntryTable[] = {
    {kNvEnumPhysicalGpus, 0xE5AC921F},   {kNvGetPciIdentifiers, 0x2DDFB66E},
    {kNvGetThermalSettings, 0xE3640A56}, {kNvI2cRead, 0x2FDE12C5},
    {kNvI2cWrite, 0xE812EB07},           {kNvGetCoolerSettings, 0xDA141340},
    {kNvSetCoolerLevels, 0x891FA0AE},    {kNvGetPerfClocks, 0x1EA54A3B},
    {kNvSetPerfClocks, 0x07BCF4AC},      {0, 0},
};

NvStatus NvapiBinding::Bind() {
    // Bound once for good; a failure is tried again, since a driver that is
    // not up yet at logon comes up a little later.
    if (bindTried_ && bindStatus_ == kNvOk) {
        return bindStatus_;
    }
    bindTried_ = true;
    module_.Reset(LoadLibraryA(library_));
    if (!module_) {
        bindStatus_ = kNvLibraryNotFound;
        return bindStatus_;
    }
    QueryInterfaceFn query = (QueryInterfaceFn)(void*)GetProcAddress(module_.Get(), "nvapi_QueryInterface");
    InitializeFn initialize = query ? (InitializeFn)query(kNvInitializeId) : nullptr;
    if (!initialize || initialize() < 0) {
        bindStatus_ = kNvError;
        return bindStatus_;
    }
    bindStatus_ = kNvOk;
    fallback_ = kNvNoImplementation;
    for (const NvapiEntry* e = NvapiEntryTable; e->id != 0; e++) {
        void* fn = query(e->id);
        if (fn) {
            slots_[e->slot] = fn;
        }
    }
    return bindStatus_;
}

NvStatus NvapiBinding::EnumPhysicalGpus(NvPhysicalGpuHandle handles[kNvMaxPhysicalGpus], uint32_t* count) {
    EnumPhysicalGpusFn fn = (EnumPhysicalGpusFn)slots_[kNvEnumPhysicalGpus];
    return fn ? fn(handles, count) : fallback_;
}

NvStatus NvapiBinding::GetPciIdentifiers(NvPhysicalGpuHandle gpu, uint32_t* deviceId, uint32_t* subSystemId,
                                         uint32_t* revisionId, uint32_t* extDeviceId) {
    GetPciIdentifiersFn fn = (GetPciIdentifiersFn)slots_[kNvGetPciIdentifiers];
    return fn ? fn(gpu, deviceId, subSystemId, revisionId, extDeviceId) : fallback_;
}

NvStatus NvapiBinding::GetThermalSettings(NvPhysicalGpuHandle gpu, uint32_t sensor, NvThermalSettings* record) {
    GetThermalSettingsFn fn = (GetThermalSettingsFn)slots_[kNvGetThermalSettings];
    return fn ? fn(gpu, sensor, record) : fallback_;
}

NvStatus NvapiBinding::I2cRead(NvPhysicalGpuHandle gpu, NvI2cInfo* info) {
    I2cFn fn = (I2cFn)slots_[kNvI2cRead];
    return fn ? fn(gpu, info) : fallback_;
}

NvStatus NvapiBinding::I2cWrite(NvPhysicalGpuHandle gpu, NvI2cInfo* info) {
    I2cFn fn = (I2cFn)slots_[kNvI2cWrite];
    return fn ? fn(gpu, info) : fallback_;
}

NvStatus NvapiBinding::GetCoolerSettings(NvPhysicalGpuHandle gpu, uint32_t cooler, NvCoolerSettings* record) {
    GetCoolerSettingsFn fn = (GetCoolerSettingsFn)slots_[kNvGetCoolerSettings];
    return fn ? fn(gpu, cooler, record) : fallback_;
}

NvStatus NvapiBinding::SetCoolerLevels(NvPhysicalGpuHandle gpu, uint32_t cooler, NvCoolerLevels* record) {
    SetCoolerLevelsFn fn = (SetCoolerLevelsFn)slots_[kNvSetCoolerLevels];
    return fn ? fn(gpu, cooler, record) : fallback_;
}

NvStatus NvapiBinding::GetPerfClocks(NvPhysicalGpuHandle gpu, uint32_t level, NvPerfClocks* record) {
    PerfClocksFn fn = (PerfClocksFn)slots_[kNvGetPerfClocks];
    return fn ? fn(gpu, level, record) : fallback_;
}

NvStatus NvapiBinding::SetPerfClocks(NvPhysicalGpuHandle gpu, uint32_t levelId, NvPerfClocks* record) {
    PerfClocksFn fn = (PerfClocksFn)slots_[kNvSetPerfClocks];
    return fn ? fn(gpu, levelId, record) : fallback_;
}
