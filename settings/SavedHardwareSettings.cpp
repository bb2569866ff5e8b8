#include "SavedHardwareSettings.h"

#include <string.h>
#include <wchar.h>

#include "CardSettings.h"
#include "HandleHolders.h"
#include "HardwareObject.h"
#include "IniReader.h"
#include "SettingsFileText.h"

void (*gSettingsBeforeReplaceForTests)(const wchar_t* writtenFile) = NULL;

namespace {

const wchar_t kNewFileSuffix[] = L".new";
// GPU_Id is read into ten units: the comparison needs only the key's four.
const uint32_t kSavedIdUnits = 10;

// Writes the text to "<fileName>.new" and moves that over fileName. Until the
// move, fileName is untouched; the move itself replaces it whole.
bool ReplaceFileWithText(const wchar_t* fileName, const wchar_t* text, uint32_t units) {
    wchar_t newName[MAX_PATH];
    size_t length = wcslen(fileName);
    if (length + wcslen(kNewFileSuffix) >= MAX_PATH) return false;
    wcscpy(newName, fileName);
    wcscat(newName, kNewFileSuffix);

    HandleHolder file(CreateFileW(newName, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file) {
        // A leftover of that name made read-only, hidden or system, or an
        // empty folder, would stop every later save: it is only ever ours.
        const DWORD attributes = GetFileAttributesW(newName);
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            SetFileAttributesW(newName, FILE_ATTRIBUTE_NORMAL);
            if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveDirectoryW(newName);
            } else {
                DeleteFileW(newName);
            }
            file.Reset(CreateFileW(newName, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
        }
    }
    if (!file) return false;
    DWORD bytes = units * sizeof(wchar_t);
    DWORD written = 0;
    bool whole = WriteFile(file.Get(), text, bytes, &written, NULL) && written == bytes;
    // Flushed before the move, so that the name never reaches data that is
    // still only in the cache when the power goes.
    whole = whole && FlushFileBuffers(file.Get());
    file.Reset();
    if (whole && gSettingsBeforeReplaceForTests) gSettingsBeforeReplaceForTests(newName);
    if (whole && MoveFileExW(newName, fileName, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileW(newName);
    return false;
}

// A trial first: only clocks the card runs with are made its settings.
bool TryThenApply(HardwareObject& hw, uint8_t gpu, bool level2D, LevelClocks* clocks) {
    if ((level2D ? hw.Try2DClocks(gpu, clocks) : hw.Try3DClocks(gpu, clocks)) != kNvOk) return false;
    return (level2D ? hw.Apply2DClocks(gpu, clocks) : hw.Apply3DClocks(gpu, clocks)) == kNvOk;
}

void ApplyFanSettings(HardwareObject& hw, CardSettings& cards, const IniReader& file, const wchar_t* section,
                      uint8_t gpu) {
    int32_t mode = 0;
    if (!file.GetInt(section, kSettingsKeyFanWorkMode, &mode, 10) || !FanWorkModeUsable(mode)) return;
    cards.SetFanWorkMode(gpu, (uint32_t)mode);
    int32_t speed = 0;
    if (mode != kFanManualMode || !file.GetInt(section, kSettingsKeyFanManualSpeed, &speed, 10)) return;
    if (!FanSpeedUsable(speed, cards.Fan(gpu, kFanSilent), cards.Fan(gpu, kFanMaximum))) return;
    cards.SetFan(gpu, kFanManual, (uint32_t)speed);
    hw.SetFanSpeed(gpu, (uint32_t)speed);
}

bool ApplyCardSection(HardwareObject& hw, CardSettings& cards, const IniReader& file, uint8_t gpu, bool withClocks) {
    wchar_t section[16];
    SettingsSectionName(gpu, section);
    wchar_t savedId[kSavedIdUnits];
    if (!file.GetText(section, kSettingsKeyGpuId, savedId, kSavedIdUnits)) return false;
    // Another card in the slot: the section was not written for it.
    if (!DeviceKeyMatches(savedId, cards.DeviceKey(gpu))) return false;

    ApplyFanSettings(hw, cards, file, section, gpu);
    if (!withClocks) return true;
    PerfCapabilities caps = hw.GetPerfCapabilities(gpu);
    for (const SettingsClockKey& key : kSettingsClockKeys) {
        int32_t khz = 0;
        if (file.GetInt(section, key.key, &khz, 10) &&
            ClockValueUsable(key.kind, khz, caps.has2DLevel != 0, caps.has3DLevel != 0)) {
            cards.SetClock(gpu, key.kind, (uint32_t)khz);
        }
    }

    if (caps.has2DLevel) {
        LevelClocks clocks = MakeLevelClocks(cards.Clock(gpu, kGpu2DClock), cards.Clock(gpu, kShader2DClock),
                                             cards.Clock(gpu, kMemoryClock));
        if (TryThenApply(hw, gpu, true, &clocks)) {
            cards.SetClock(gpu, kGpu2DReference, clocks.core.frequency);
            cards.SetClock(gpu, kGpu2DClock, clocks.core.frequency);
            cards.SetClock(gpu, kShader2DReference, clocks.shader.frequency);
            cards.SetClock(gpu, kShader2DClock, clocks.shader.frequency);
            cards.SetClock(gpu, kMemoryReference, clocks.memory.frequency);
            cards.SetClock(gpu, kMemoryClock, clocks.memory.frequency);
        }
    }
    if (caps.has3DLevel) {
        LevelClocks clocks = MakeLevelClocks(cards.Clock(gpu, kGpu3DClock), cards.Clock(gpu, kShader3DClock),
                                             cards.Clock(gpu, kMemoryClock));
        if (TryThenApply(hw, gpu, false, &clocks)) {
            if (!caps.has2DLevel) {
                cards.SetClock(gpu, kMemoryReference, clocks.memory.frequency);
                cards.SetClock(gpu, kMemoryClock, clocks.memory.frequency);
            }
            cards.SetClock(gpu, kGpu3DReference, clocks.core.frequency);
            cards.SetClock(gpu, kGpu3DClock, clocks.core.frequency);
            cards.SetClock(gpu, kShader3DReference, clocks.shader.frequency);
            cards.SetClock(gpu, kShader3DClock, clocks.shader.frequency);
        }
    }
    return true;
}

}  // namespace

SettingsSaveResult SaveSettingsFile(HardwareObject& hw, const CardSettings& cards, uint8_t selectedCard,
                                    uint32_t fanSliderValue, const wchar_t* fileName) {
    SavedCard saved[kMaxGpus];
    uint8_t count = hw.GpuCount();
    if (count > kMaxGpus) count = kMaxGpus;
    for (uint8_t gpu = 0; gpu < count; gpu++) {
        PerfCapabilities caps = hw.GetPerfCapabilities(gpu);
        LevelClocks clocks2D, clocks3D;
        memset(&clocks2D, 0, sizeof(clocks2D));
        memset(&clocks3D, 0, sizeof(clocks3D));
        if (caps.has2DLevel && hw.Read2DClocks(gpu, &clocks2D) != kNvOk) return kSettingsSaveAbandoned;
        if (caps.has3DLevel && hw.Read3DClocks(gpu, &clocks3D) != kNvOk) return kSettingsSaveAbandoned;
        SavedCard& card = saved[gpu];
        card.deviceKey = cards.DeviceKey(gpu);
        card.fanWorkMode = (int32_t)cards.FanWorkMode(gpu);
        // The slider's position, applied or not, is what the user left.
        card.fanManualSpeed = (int32_t)(gpu == selectedCard ? fanSliderValue : cards.Fan(gpu, kFanManual));
        card.gpu2D = caps.has2DLevel ? (int32_t)clocks2D.core.frequency : 0;
        card.gpu3D = caps.has3DLevel ? (int32_t)clocks3D.core.frequency : 0;
        card.shader2D = caps.has2DLevel ? (int32_t)clocks2D.shader.frequency : 0;
        card.shader3D = caps.has3DLevel ? (int32_t)clocks3D.shader.frequency : 0;
        card.memory = (int32_t)(caps.has2DLevel ? clocks2D.memory.frequency : clocks3D.memory.frequency);
    }
    wchar_t text[kSettingsTextCapacity];
    uint32_t units = ComposeSettingsText(saved, count, text, kSettingsTextCapacity);
    if (units == 0 || !ReplaceFileWithText(fileName, text, units)) return kSettingsFileFailed;
    return kSettingsSaved;
}

int ApplySettingsFile(HardwareObject& hw, CardSettings& cards, const wchar_t* fileName, bool withClocks) {
    IniReader file;
    // The reader's decoder is part of the program; without it the install
    // is incomplete and nothing is taken from the file either.
    if (!file.HasDecoder() || !file.Load(fileName, false)) return 0;
    int applied = 0;
    for (uint8_t gpu = 0; gpu < hw.GpuCount() && gpu < kMaxGpus; gpu++) {
        if (ApplyCardSection(hw, cards, file, gpu, withClocks)) applied++;
    }
    return applied;
}
