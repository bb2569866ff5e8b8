#pragma once
// The saved hardware settings file "DM_CurrSettings.txt" as text: UTF-16
// little-endian after a byte-order mark, one nine-line section per card in
// card order, CR LF after every line. Composing it and judging the values
// read back from it. Pure.

#include <stdint.h>
#include <wchar.h>

#include "CardSettings.h"

extern const wchar_t kSettingsFileName[];

// Key names, written exactly so and looked up by prefix, ignoring case.
extern const wchar_t kSettingsKeyGpuId[];
extern const wchar_t kSettingsKeyFanWorkMode[];
extern const wchar_t kSettingsKeyFanManualSpeed[];

// The five clock lines in file order, each with the ClockKind it fills.
struct SettingsClockKey {
    const wchar_t* key;
    int kind;
};
const int kSettingsClockKeyCount = 5;
extern const SettingsClockKey kSettingsClockKeys[kSettingsClockKeyCount];

// What one card's section holds, as it is written.
struct SavedCard {
    const wchar_t* deviceKey;
    int32_t fanWorkMode;
    int32_t fanManualSpeed;
    int32_t gpu2D, gpu3D, shader2D, shader3D, memory;  // kHz, 0 for a level the card lacks
};

// Room for two sections with the longest numbers and device keys.
const uint32_t kSettingsTextCapacity = 1024;

// Writes the byte-order mark and a section per card into out. Returns the
// 16-bit units written, or 0 when they would not fit in capacity.
uint32_t ComposeSettingsText(const SavedCard* cards, int count, wchar_t* out, uint32_t capacity);

// "Group" followed by the card index; out holds at least 16 units.
void SettingsSectionName(int card, wchar_t* out);

// Whether a section's GPU_Id names the card whose own device key is
// cardKey: the first wcslen(cardKey) characters, ignoring case. A card
// without a key matches nothing.
bool DeviceKeyMatches(const wchar_t* savedId, const wchar_t* cardKey);

// Values the program never writes are not taken from the file: a fan mode
// other than 0 and 1, a manual speed outside the card's silent..maximum
// range, a negative clock, and a clock of 0 for a level the card has.
bool FanWorkModeUsable(long mode);
bool FanSpeedUsable(long speed, uint32_t silent, uint32_t maximum);
bool ClockValueUsable(int kind, long khz, bool has2DLevel, bool has3DLevel);
