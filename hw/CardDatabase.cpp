#include "CardDatabase.h"

#include <string.h>
#include <wchar.h>

#include "CardDatabaseEntry.h"
#include "CardSettings.h"
#include "HardwareObject.h"
#include "IniReader.h"

namespace {

void ReadFanState(HardwareObject& hw, CardSettings& settings, uint8_t gpu) {
    BOOL isAuto = TRUE;
    if (hw.IsFanAuto(gpu, &isAuto) != kNvOk) {
        isAuto = TRUE;
    }
    settings.SetFanWorkMode(gpu, isAuto ? kFanAutoMode : kFanManualMode);
    uint32_t manual = 0;
    if (hw.ReadFanSpeed(gpu, &manual, false) == kNvOk) {
        settings.SetFan(gpu, kFanManual, manual);
    }
}

void LoadFanSettings(HardwareObject& hw, CardSettings& settings, const IniReader& db, uint8_t gpu,
                     const wchar_t* section) {
    uint32_t ignored = 0;
    hw.PrepareMonitorChip(gpu, &ignored);
    if (hw.HasMonitorChip(gpu)) {
        CardFanPresets presets = ReadCardFanPresets(db.Parsed(), section);
        settings.SetFan(gpu, kFanMaximum, presets.maximumRpm);
        settings.SetFan(gpu, kFanNormal, presets.normalRpm);
        settings.SetFan(gpu, kFanSilent, presets.silentRpm);
        settings.SetShort(gpu, kMaxTemperatureThreshold, presets.maxTemperature);
        settings.SetShort(gpu, kNormalTemperatureThreshold, presets.normalTemperature);
    } else {
        NvCoolerSettings coolers;
        memset(&coolers, 0, sizeof(coolers));
        uint32_t index = 0;
        if (hw.ReadCoolerSettings(gpu, &coolers) != kNvOk || HardwareObject::FindFanCooler(coolers, &index) != kNvOk) {
            index = 0;
        }
        settings.SetFan(gpu, kFanMaximum, hw.HasAdt7473(gpu) ? 100 : coolers.cooler[index].maxLevel);
        settings.SetFan(gpu, kFanSilent, coolers.cooler[index].minLevel);
    }
    ReadFanState(hw, settings, gpu);
}

void StoreClocks(CardSettings& settings, uint8_t gpu, const LevelClocks& c2D, const LevelClocks& c3D,
                 const LevelClocks& memorySource) {
    settings.SetClock(gpu, kGpu2DMin, c2D.core.lowerLimit);
    settings.SetClock(gpu, kGpu2DMax, c2D.core.upperLimit);
    settings.SetClock(gpu, kGpu3DMin, c3D.core.lowerLimit);
    settings.SetClock(gpu, kGpu3DMax, c3D.core.upperLimit);
    settings.SetClock(gpu, kGpu2DClock, c2D.core.frequency);
    settings.SetClock(gpu, kGpu3DClock, c3D.core.frequency);
    settings.SetClock(gpu, kShader2DMin, c2D.shader.lowerLimit);
    settings.SetClock(gpu, kShader2DMax, c2D.shader.upperLimit);
    settings.SetClock(gpu, kShader3DMin, c3D.shader.lowerLimit);
    settings.SetClock(gpu, kShader3DMax, c3D.shader.upperLimit);
    settings.SetClock(gpu, kShader2DClock, c2D.shader.frequency);
    settings.SetClock(gpu, kShader3DClock, c3D.shader.frequency);
    settings.SetClock(gpu, kMemoryMin, memorySource.memory.lowerLimit);
    settings.SetClock(gpu, kMemoryMax, memorySource.memory.upperLimit);
    settings.SetClock(gpu, kMemoryClock, memorySource.memory.frequency);
}

}  // namespace

void ReadFanStates(HardwareObject& hw, CardSettings& settings) {
    for (uint8_t gpu = 0; gpu < hw.GpuCount(); gpu++) {
        if (hw.HasFanControl(gpu)) {
            ReadFanState(hw, settings, gpu);
        }
    }
}

CardDatabaseResult LoadCardDatabase(const wchar_t* fileName, HardwareObject& hw, CardSettings& settings) {
    uint8_t gpuCount = hw.GpuCount();
    for (uint8_t gpu = 0; gpu < gpuCount; gpu++) {
        wchar_t key[kDeviceKeyChars] = {0};
        if (hw.ReadDeviceKey(gpu, key) != kNvOk) {
            return kCardDatabaseDeviceKeyFailed;
        }
        settings.SetDeviceKey(gpu, key);
    }
    // An absent or damaged database leaves every lookup failing, and with it
    // every default in place.
    IniReader db;
    db.Load(fileName, true);
    for (uint8_t gpu = 0; gpu < gpuCount; gpu++) {
        wchar_t section[32];
        _snwprintf(section, 32, L"%s_Inf", settings.DeviceKey(gpu));
        section[31] = 0;
        if (hw.HasFanControl(gpu)) {
            LoadFanSettings(hw, settings, db, gpu, section);
        }
        settings.SetShort(gpu, kAuxSliderHigh, 110);
        settings.SetShort(gpu, kAuxSliderLow, 90);

        LevelClocks clocks2D, clocks3D;
        memset(&clocks2D, 0, sizeof(clocks2D));
        memset(&clocks3D, 0, sizeof(clocks3D));
        if (hw.Read2DClocks(gpu, &clocks2D) != kNvOk) {
            memset(&clocks2D, 0, sizeof(clocks2D));
        }
        if (hw.Read3DClocks(gpu, &clocks3D) != kNvOk) {
            memset(&clocks3D, 0, sizeof(clocks3D));
        }
        bool has2D = hw.GetPerfCapabilities(gpu).has2DLevel != 0;
        // The memory range comes from the level the memory slider shows.
        LevelClocks* memorySource = has2D ? &clocks2D : &clocks3D;
        ApplyCardClockCeilings(db.Parsed(), section, &clocks2D, &clocks3D, memorySource);
        StoreClocks(settings, gpu, clocks2D, clocks3D, *memorySource);
        settings.SetClockLevel(gpu, has2D ? kClockLevel2D : kClockLevel3D);
    }
    return kCardDatabaseLoaded;
}
