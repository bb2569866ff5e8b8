#pragma once
// The saved hardware settings file "DM_CurrSettings.txt" as text: UTF-16
// little-endian after a byte-order mark, one nine-line section per card in
// card order, CR LF after every line. Composing it and judging the values
// read back from it. Pure.

#include <stdint.h>
#include "CardSettings.h"
#include "Utf16Unit.h"

extern const Utf16Unit kSettingsFileName[];

// Key names, written exactly so and looked up by prefix, ignoring case.
extern const Utf16Unit kSettingsKeyGpuId[];
extern const Utf16Unit kSettingsKeyFanWorkMode[];
extern const Utf16Unit kSettingsKeyFanManualSpeed[];

// The five clock lines in file order, each with the ClockKind it fills.
struct SettingsClockKey {
    const Utf16Unit* key;
    int kind;
};
const int kSettingsClockKeyCount = 5;
extern const SettingsClockKey kSettingsClockKeys[kSettingsClockKeyCount];

// What one card's section holds, as it is written.
struct SavedCard {
    const Utf16Unit* deviceKey;
    int32_t fanWorkMode;
    int32_t fanManualSpeed;
    int32_t gpu2D, gpu3D, shader2D, shader3D, memory;  // kHz, 0 for a level the card lacks
};

// Room for two sections with the longest numbers and device keys.
const uint32_t kSettingsTextCapacity = 1024;

// Writes the byte-order mark and a section per card into out. Returns the
// 16-bit units written, or 0 when they would not fit in capacity.
uint32_t ComposeSettingsText(const SavedCard* cards, int count, Utf16Unit* out, uint32_t capacity);

// "Group" followed by the card index; out holds at least 16 units.
void SettingsSectionName(int card, Utf16Unit* out);

// Whether a section's GPU_Id names the card whose own device key is
// cardKey: the key's characters, then anything, ignoring ASCII case. A
// card without a key matches nothing.
bool DeviceKeyMatches(const Utf16Unit* savedId, const Utf16Unit* cardKey);

// Values the program never writes are not taken from the file: a fan mode
// other than 0 and 1, a manual speed outside the card's silent..maximum
// range, a negative clock, and a clock of 0 for a level the card has.
bool FanWorkModeUsable(int32_t mode);
bool FanSpeedUsable(int32_t speed, uint32_t silent, uint32_t maximum);
bool ClockValueUsable(int kind, int32_t khz, bool has2DLevel, bool has3DLevel);
