#pragma once
// One card model's entry of the card database ("<device key>_Inf"), read
// from the decoded text: fan presets in percent of 3000 RPM, temperature
// thresholds and clock ceilings in MHz. A damaged entry gives values inside
// what the card can take. Pure.

#include <stdint.h>

#include "HardwareTypes.h"
#include "IniText.h"
#include "Utf16Unit.h"

// Fan presets in RPM and thresholds in degrees Celsius.
struct CardFanPresets {
    uint32_t maximumRpm, normalRpm, silentRpm;
    uint16_t maxTemperature, normalTemperature;
};

// The five fan keys are taken together: one missing gives all the defaults
// (100, 75 and 50 %, 75 and 50 degrees). Percentages are held to 0..100 and
// temperatures to 0..255.
CardFanPresets ReadCardFanPresets(const IniText& db, const Utf16Unit* section);

// The entry's clock ceilings raise the upper ends of the clock sliders when
// they lie above the level's lower limit; a level the card lacks (upper
// limit 0) stays empty. Ceilings are held to 0..100000 MHz, so that the kHz
// fit in 32 bits. memorySource is the level the memory slider shows, one of
// the other two.
void ApplyCardClockCeilings(const IniText& db, const Utf16Unit* section, LevelClocks* clocks2D, LevelClocks* clocks3D,
                            LevelClocks* memorySource);
