// A stand-in driver for one test: it binds like the real one but answers
// with counts larger than its records hold, to show that the hardware layer
// never reads past a record.

#include <string.h>
#include <windows.h>

#include "NvapiTypes.h"

namespace {

int g_gpuTag[2];

NvStatus __cdecl Initialize() {
    return 0;
}

NvStatus __cdecl EnumPhysicalGpus(NvPhysicalGpuHandle* handles, uint32_t* count) {
    handles[0] = &g_gpuTag[0];
    handles[1] = &g_gpuTag[1];
    *count = 200;
    return 0;
}

NvStatus __cdecl GetPciIdentifiers(NvPhysicalGpuHandle, uint32_t* device, uint32_t* sub, uint32_t* rev, uint32_t* ext) {
    *device = 0xFFFFFFFF;
    *sub = *rev = *ext = 0;
    return 0;
}

NvStatus __cdecl GetThermalSettings(NvPhysicalGpuHandle, uint32_t, NvThermalSettings* record) {
    record->count = 99;
    for (int i = 0; i < kNvMaxThermalSensors; i++) {
        record->sensor[i].target = 8;
        record->sensor[i].currentTemp = 60;
    }
    return 0;
}

NvStatus __cdecl I2c(NvPhysicalGpuHandle, NvI2cInfo*) {
    return -1;
}

NvStatus __cdecl GetCoolerSettings(NvPhysicalGpuHandle, uint32_t, NvCoolerSettings* record) {
    record->count = 77;
    for (int i = 0; i < kNvMaxCoolers; i++) {
        record->cooler[i].type = 2;
    }
    return 0;
}

NvStatus __cdecl SetCoolerLevels(NvPhysicalGpuHandle, uint32_t, NvCoolerLevels*) {
    return 0;
}

NvStatus __cdecl GetPerfClocks(NvPhysicalGpuHandle, uint32_t level, NvPerfClocks* record) {
    record->levelCount = level == 0xFFFFFFFF ? 1000 : 1;
    record->domainCount = 5000;
    record->currentLevel = 999;
    for (int l = 0; l < kNvMaxPerfLevels; l++) {
        record->level[l].flags = l == 0 ? 1 : 4;
        for (int d = 0; d < kNvMaxPerfDomains; d++) {
            static const uint32_t ids[3] = {0, 4, 7};
            record->level[l].domain[d].domainId = ids[d % 3];
            record->level[l].domain[d].frequency = 100000u * (l + 1) + d;
        }
    }
    return 0;
}

NvStatus __cdecl SetPerfClocks(NvPhysicalGpuHandle, uint32_t, NvPerfClocks*) {
    return 0;
}

}  // namespace

extern "C" __declspec(dllexport) void* __cdecl nvapi_QueryInterface(uint32_t id) {
    switch (id) {
        case 0x0150E828:
            return (void*)Initialize;
        case 0xE5AC921F:
            return (void*)EnumPhysicalGpus;
        case 0x2DDFB66E:
            return (void*)GetPciIdentifiers;
        case 0xE3640A56:
            return (void*)GetThermalSettings;
        case 0x2FDE12C5:
            return (void*)I2c;
        case 0xE812EB07:
            return (void*)I2c;
        case 0xDA141340:
            return (void*)GetCoolerSettings;
        case 0x891FA0AE:
            return (void*)SetCoolerLevels;
        case 0x1EA54A3B:
            return (void*)GetPerfClocks;
        case 0x07BCF4AC:
            return (void*)SetPerfClocks;
    }
    return NULL;
}
