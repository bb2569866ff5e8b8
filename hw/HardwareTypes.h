#pragma once
// Value types the hardware object exchanges with the rest of the program.

#include <stdint.h>

// How a GPU's fan is reached.
enum FanWiring {
    kFanWiringNone = 0,     // no fan control
    kFanWiringDriver = 1,   // the GPU's own cooler control through the driver
    kFanWiringAdtPwm2 = 2,  // the ADT7473's second PWM output
};

// What the driver's performance levels offer, per GPU.
struct PerfCapabilities {
    int32_t has2DLevel;      // a level with flags 0 or 1
    int32_t hasFlag2Level;   // a level with flag bit 1
    int32_t has3DLevel;      // a level with flag bit 2
    int32_t hasShaderClock;  // the first level lists domain 7
};

struct ClockGroup {
    uint32_t frequency;  // kHz
    uint32_t further;
    uint32_t lowerLimit;
    uint32_t upperLimit;
};

// The clocks of one performance level, exchanged with the clock entry points.
struct LevelClocks {
    ClockGroup core;
    ClockGroup memory;
    ClockGroup shader;
    uint32_t levelSelector;  // 0 = 2D level, 4 = 3D level
    uint32_t writeFlag;      // 0 read, 1 write
    uint32_t trialFlag;      // 1 trial setting, 0 applied setting
};

static_assert(sizeof(LevelClocks) == 60, "LevelClocks record");

// A record carrying just the three clocks (kHz), everything else zero.
inline LevelClocks MakeLevelClocks(uint32_t core, uint32_t shader, uint32_t memory) {
    LevelClocks clocks = {};
    clocks.core.frequency = core;
    clocks.shader.frequency = shader;
    clocks.memory.frequency = memory;
    return clocks;
}

const uint32_t kLevelSelector2D = 0;
const uint32_t kLevelSelector3D = 4;
