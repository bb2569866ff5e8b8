#include "CardDatabaseEntry.h"

namespace {

const uint32_t kFullFanRpm = 3000;
const int32_t kMaxClockMhz = 100000;  // keeps MHz * 1000 inside 32 bits

int32_t Clamp(int32_t value, int32_t low, int32_t high) {
    return value < low ? low : value > high ? high : value;
}

// A damaged entry cannot ask for more than full speed or a negative one.
uint32_t PercentToRpm(int32_t percent) {
    return (uint32_t)Clamp(percent, 0, 100) * kFullFanRpm / 100;
}

uint16_t Celsius(int32_t value) {
    return (uint16_t)Clamp(value, 0, 255);
}

}  // namespace

CardFanPresets ReadCardFanPresets(const IniText& db, const Utf16Unit* section) {
    int32_t maxSpeed = 100, normalSpeed = 75, silentSpeed = 50, maxTemperature = 75, normalTemperature = 50;
    int32_t keys[5];
    if (db.GetInt(section, UTF16("MaxSpeed"), &keys[0], 10) && db.GetInt(section, UTF16("NormalSpeed"), &keys[1], 10) &&
        db.GetInt(section, UTF16("SilentSpeed"), &keys[2], 10) &&
        db.GetInt(section, UTF16("MaxTemperatureThreshold"), &keys[3], 10) &&
        db.GetInt(section, UTF16("NormalTemperatureThreshold"), &keys[4], 10)) {
        maxSpeed = keys[0];
        normalSpeed = keys[1];
        silentSpeed = keys[2];
        maxTemperature = keys[3];
        normalTemperature = keys[4];
    }
    CardFanPresets presets;
    presets.maximumRpm = PercentToRpm(maxSpeed);
    presets.normalRpm = PercentToRpm(normalSpeed);
    presets.silentRpm = PercentToRpm(silentSpeed);
    presets.maxTemperature = Celsius(maxTemperature);
    presets.normalTemperature = Celsius(normalTemperature);
    return presets;
}

void ApplyCardClockCeilings(const IniText& db, const Utf16Unit* section, LevelClocks* clocks2D, LevelClocks* clocks3D,
                            LevelClocks* memorySource) {
    int32_t gpuMax = 0;
    if (!db.GetInt(section, UTF16("GpuMaxClock"), &gpuMax, 10)) {
        return;
    }
    gpuMax = Clamp(gpuMax, 0, kMaxClockMhz);
    LevelClocks* levels[] = {clocks2D, clocks3D};
    for (LevelClocks* level : levels) {
        if (level->core.upperLimit != 0 && gpuMax > 0 && (uint32_t)gpuMax > level->core.lowerLimit / 1000) {
            level->core.upperLimit = (uint32_t)gpuMax * 1000;
        }
    }
    int32_t memoryMax = 0;
    if (db.GetInt(section, UTF16("MemoryMaxClock"), &memoryMax, 10) &&
        (memoryMax = Clamp(memoryMax, 0, kMaxClockMhz)) > 0 && memorySource->memory.upperLimit != 0 &&
        (uint32_t)memoryMax > memorySource->memory.lowerLimit / 1000) {
        memorySource->memory.upperLimit = (uint32_t)memoryMax * 1000;
    }
}
