// The values taken from the card database and the saved settings file: a
// damaged or hostile text gives only values the card can take, as the
// loaders use them.

#include <string.h>

#include "CardDatabaseEntry.h"
#include "CardSettings.h"
#include "FuzzInput.h"
#include "IniText.h"
#include "SettingsFileText.h"

namespace {

void CheckFanPresets(const IniText& db, const Utf16Unit* section) {
    CardFanPresets presets = ReadCardFanPresets(db, section);
    for (uint32_t rpm : {presets.maximumRpm, presets.normalRpm, presets.silentRpm}) {
        // Whole percentages of 3000 RPM.
        FUZZ_CHECK(rpm <= 3000 && rpm % 30 == 0);
    }
    FUZZ_CHECK(presets.maxTemperature <= 255 && presets.normalTemperature <= 255);
    int32_t ignored;
    if (!db.GetInt(section, UTF16("SilentSpeed"), &ignored, 10)) {
        FUZZ_CHECK(presets.maximumRpm == 3000 && presets.normalRpm == 2250 && presets.silentRpm == 1500 &&
                   presets.maxTemperature == 75 && presets.normalTemperature == 50);
    }
}

LevelClocks TakeClocks(FuzzInput& input) {
    LevelClocks clocks;
    uint32_t* fields[] = {&clocks.core.frequency,   &clocks.core.lowerLimit,   &clocks.core.upperLimit,
                          &clocks.shader.frequency, &clocks.shader.lowerLimit, &clocks.shader.upperLimit,
                          &clocks.memory.frequency, &clocks.memory.lowerLimit, &clocks.memory.upperLimit};
    memset(&clocks, 0, sizeof(clocks));
    for (uint32_t* field : fields) {
        // Mostly the card's kind of values, sometimes anything.
        uint8_t kind = input.Byte();
        *field = kind < 64 ? 0 : kind < 128 ? input.Word() : (uint32_t)input.Byte() * 10000;
    }
    return clocks;
}

// A ceiling may only have set the upper end of the slider it names.
void CheckCeiling(const ClockGroup& before, const ClockGroup& after) {
    FUZZ_CHECK(after.frequency == before.frequency && after.further == before.further &&
               after.lowerLimit == before.lowerLimit);
    if (after.upperLimit == before.upperLimit) return;
    FUZZ_CHECK(before.upperLimit != 0);
    FUZZ_CHECK(after.upperLimit % 1000 == 0 && after.upperLimit <= 100000u * 1000);
    FUZZ_CHECK(after.upperLimit > after.lowerLimit);
}

void CheckClockCeilings(const IniText& db, const Utf16Unit* section, FuzzInput& input) {
    LevelClocks levels[2] = {TakeClocks(input), TakeClocks(input)};
    const int memoryLevel = input.Byte() & 1;
    LevelClocks before[2] = {levels[0], levels[1]};
    ApplyCardClockCeilings(db, section, &levels[0], &levels[1], &levels[memoryLevel]);
    for (int i = 0; i < 2; i++) {
        CheckCeiling(before[i].core, levels[i].core);
        FUZZ_CHECK(memcmp(&before[i].shader, &levels[i].shader, sizeof(ClockGroup)) == 0);
        if (i == memoryLevel) {
            CheckCeiling(before[i].memory, levels[i].memory);
        } else {
            FUZZ_CHECK(memcmp(&before[i].memory, &levels[i].memory, sizeof(ClockGroup)) == 0);
        }
    }
}

bool SameIgnoringAsciiCase(Utf16Unit a, Utf16Unit b) {
    if (a == b) return true;
    Utf16Unit low = a < b ? a : b, high = a < b ? b : a;
    return high - low == 0x20 && low >= 'A' && low <= 'Z';
}

// One card's section as the settings loader reads it.
void CheckSavedSection(const IniText& file, int card, const Utf16Unit* cardKey, FuzzInput& input) {
    Utf16Unit section[16];
    SettingsSectionName(card, section);
    Utf16Unit savedId[10];
    if (file.GetText(section, kSettingsKeyGpuId, savedId, 10)) {
        bool matches = DeviceKeyMatches(savedId, cardKey);
        size_t keyLength = Utf16Length(cardKey);
        bool expected = keyLength > 0;
        for (size_t i = 0; i < keyLength && expected; i++)
            expected = SameIgnoringAsciiCase(savedId[i], cardKey[i]);
        FUZZ_CHECK(matches == expected);
    }

    int32_t mode = 0;
    if (file.GetInt(section, kSettingsKeyFanWorkMode, &mode, 10) && FanWorkModeUsable(mode)) {
        FUZZ_CHECK(mode == kFanManualMode || mode == kFanAutoMode);
    }
    const uint32_t silent = input.Byte() * 30u, maximum = input.Byte() * 30u;
    int32_t speed = 0;
    if (file.GetInt(section, kSettingsKeyFanManualSpeed, &speed, 10) && FanSpeedUsable(speed, silent, maximum)) {
        FUZZ_CHECK(maximum > 0 && speed >= 0 && (uint32_t)speed >= silent && (uint32_t)speed <= maximum);
    }
    const bool has2D = input.Byte() & 1, has3D = input.Byte() & 1;
    for (const SettingsClockKey& key : kSettingsClockKeys) {
        int32_t khz = 0;
        if (file.GetInt(section, key.key, &khz, 10) && ClockValueUsable(key.kind, khz, has2D, has3D)) {
            // Taken as a clock of the card: never negative, never 0 for a
            // level it has.
            FUZZ_CHECK(khz >= 0);
            if (khz == 0) {
                bool is2D = key.kind == kGpu2DClock || key.kind == kShader2DClock;
                bool is3D = key.kind == kGpu3DClock || key.kind == kShader3DClock;
                FUZZ_CHECK(is2D ? !has2D : is3D ? !has3D : !has2D && !has3D);
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    // The card's device key: up to nine units, as the card reports it.
    std::vector<Utf16Unit> cardKey = Terminated(input.Units(input.Byte() % 10));
    std::vector<uint8_t> choices = input.Bytes(64);
    FuzzInput choice(choices.data(), choices.size());
    std::vector<Utf16Unit> units = input.RestUnits();

    IniText text;
    FUZZ_CHECK(text.SetText(units.data(), (uint32_t)units.size()) == 1);

    // The database's section for this key, and whatever section comes first.
    std::vector<Utf16Unit> section(cardKey.begin(), cardKey.end() - 1);
    for (const char* p = "_Inf"; *p; p++)
        section.push_back((Utf16Unit)*p);
    section.push_back(0);
    CheckFanPresets(text, section.data());
    CheckClockCeilings(text, section.data(), choice);
    if (const IniNode* first = text.Root()->child.get()) {
        std::vector<Utf16Unit> name(text.Text() + first->begin, text.Text() + first->end);
        name.push_back(0);
        CheckFanPresets(text, name.data());
        CheckClockCeilings(text, name.data(), choice);
    }

    for (int card = 0; card < kMaxCards; card++)
        CheckSavedSection(text, card, cardKey.data(), choice);
    return 0;
}
