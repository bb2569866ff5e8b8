#include "ReferenceClocks.h"

#include <string.h>

#include "CardSettings.h"
#include "HardwareObject.h"

namespace {

const uint16_t kDefaultAuxValue = 90;

}  // namespace

void TakeCardClocksAsDefaults(HardwareObject& hw, CardSettings& cards) {
    for (uint8_t gpu = 0; gpu < hw.GpuCount() && gpu < kMaxGpus; gpu++) {
        PerfCapabilities caps = hw.GetPerfCapabilities(gpu);
        LevelClocks clocks;
        memset(&clocks, 0, sizeof(clocks));
        if (caps.has2DLevel && hw.Read2DClocks(gpu, &clocks) == kNvOk) {
            cards.SetClock(gpu, kGpu2DClock, clocks.core.frequency);
            cards.SetClock(gpu, kGpu2DReference, clocks.core.frequency);
            cards.SetClock(gpu, kShader2DClock, clocks.shader.frequency);
            cards.SetClock(gpu, kShader2DReference, clocks.shader.frequency);
            cards.SetClock(gpu, kMemoryClock, clocks.memory.frequency);
            cards.SetClock(gpu, kMemoryReference, clocks.memory.frequency);
        }
        memset(&clocks, 0, sizeof(clocks));
        if (caps.has3DLevel && hw.Read3DClocks(gpu, &clocks) == kNvOk) {
            cards.SetClock(gpu, kGpu3DClock, clocks.core.frequency);
            cards.SetClock(gpu, kGpu3DReference, clocks.core.frequency);
            cards.SetClock(gpu, kShader3DClock, clocks.shader.frequency);
            cards.SetClock(gpu, kShader3DReference, clocks.shader.frequency);
            if (!caps.has2DLevel) {
                cards.SetClock(gpu, kMemoryClock, clocks.memory.frequency);
                cards.SetClock(gpu, kMemoryReference, clocks.memory.frequency);
            }
        }
        cards.SetFanWorkMode(gpu, kFanAutoMode);
        cards.SetShort(gpu, kAuxSliderValue, kDefaultAuxValue);
    }
}

bool ApplyReferenceClocks(HardwareObject& hw, const CardSettings& cards, uint8_t gpu, LevelClocks* shown) {
    PerfCapabilities caps = hw.GetPerfCapabilities(gpu);
    bool filled = false;
    if (caps.has2DLevel) {
        LevelClocks clocks = MakeLevelClocks(cards.Clock(gpu, kGpu2DReference), cards.Clock(gpu, kShader2DReference),
                                             cards.Clock(gpu, kMemoryReference));
        if (hw.Try2DClocks(gpu, &clocks) == kNvOk) {
            hw.Apply2DClocks(gpu, &clocks);
            *shown = clocks;
            filled = true;
        }
    }
    if (caps.has3DLevel) {
        LevelClocks clocks = MakeLevelClocks(cards.Clock(gpu, kGpu3DReference), cards.Clock(gpu, kShader3DReference),
                                             cards.Clock(gpu, kMemoryReference));
        if (hw.Try3DClocks(gpu, &clocks) == kNvOk) {
            hw.Apply3DClocks(gpu, &clocks);
            if (!caps.has2DLevel) {
                *shown = clocks;
                filled = true;
            }
        }
    }
    return filled;
}
