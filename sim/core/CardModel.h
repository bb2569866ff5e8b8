// The card's physics and the driver's own controls: fan drive and response,
// the thermal model, the running performance level and the cooler control.
#pragma once

#include <stdint.h>

#include "CardState.h"

namespace vcard {

// Where the fan is heading and the drive behind it (percent).
double FanTargetRpm(const GpuState& gpu, double* dutyPercent);

// Steps every GPU's fan and temperature by ms milliseconds.
void StepModel(CardState& state, uint32_t ms);

// Position of the level the GPU runs now.
int RunningLevel(const GpuState& gpu);
// Domain position of an id, -1 when the GPU has no such domain.
int DomainIndex(const GpuState& gpu, uint32_t domainId);
// Effective frequency of a domain at a level (the trial setting when one is in force).
uint32_t LevelFrequency(const GpuState& gpu, int level, int domain);
// Running frequency of a domain id, 0 when the GPU has none.
uint32_t RunningClock(const GpuState& gpu, uint32_t domainId);

// Driver cooler control.
bool CoolerListed(const GpuState& gpu);
uint32_t CoolerLevel(const GpuState& gpu);
uint32_t CoolerPolicy(const GpuState& gpu);
// Returns a driver status.
int32_t SetCoolerLevel(GpuState& gpu, uint32_t level, uint32_t policy);

// What the driver's thermal record reports for the GPU sensor.
int DriverTemperature(const GpuState& gpu);

}  // namespace vcard
