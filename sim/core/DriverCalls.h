// The virtual driver's functions, working on the shared card state. The
// exported nvapi.dll functions lock the state and call these; keeping them
// free of the mapping makes them plain functions over data.
#pragma once

#include <stdint.h>

#include "CardState.h"
#include "DriverAbi.h"

namespace vcard {

// What a driver keeps per process: whether this process initialised it.
struct DriverSession {
    bool initialized;
};

enum CallIndex {
    kCallInitialize = 0,
    kCallEnumGpus,
    kCallPciIds,
    kCallThermal,
    kCallI2cRead,
    kCallI2cWrite,
    kCallCoolerGet,
    kCallCoolerSet,
    kCallPerfGet,
    kCallPerfSet,
};

// Handles are opaque values that carry the GPU index and the generation in
// which they were handed out; invalidating bumps the generation.
GpuHandle MakeGpuHandle(uint32_t generation, int index);
// The GPU index, or -1 with the driver's status in *status.
int DecodeGpuHandle(const CardState& state, GpuHandle handle, int32_t* status);

int32_t CallInitialize(CardState& state, DriverSession& session);
int32_t CallEnumPhysicalGpus(CardState& state, DriverSession& session, GpuHandle* handles, uint32_t* count);
int32_t CallGetPciIdentifiers(CardState& state, DriverSession& session, GpuHandle gpu, uint32_t* deviceId,
                              uint32_t* subsystemId, uint32_t* revisionId, uint32_t* extDeviceId);
int32_t CallGetThermalSettings(CardState& state, DriverSession& session, GpuHandle gpu, uint32_t sensorIndex,
                               ThermalSettings* settings);
int32_t CallI2c(CardState& state, DriverSession& session, GpuHandle gpu, I2cInfo* info, bool write);
int32_t CallGetCoolerSettings(CardState& state, DriverSession& session, GpuHandle gpu, uint32_t coolerIndex,
                              CoolerSettings* settings);
int32_t CallSetCoolerLevels(CardState& state, DriverSession& session, GpuHandle gpu, uint32_t coolerIndex,
                            CoolerLevels* levels);
int32_t CallGetPerfClocks(CardState& state, DriverSession& session, GpuHandle gpu, int32_t level, PerfClocks* clocks);
int32_t CallSetPerfClocks(CardState& state, DriverSession& session, GpuHandle gpu, uint32_t levelId,
                          PerfClocks* clocks);

// One transfer on a GPU's I2C bus: count bytes from register reg upwards.
// With bus = true it is a real transaction (counted, subject to faults, with
// the chip's read side effects); false is a tool looking at the chip.
int32_t BusTransfer(CardState& state, int gpu, uint8_t address, uint8_t reg, uint8_t* data, uint32_t count, bool write,
                    bool bus);

}  // namespace vcard
