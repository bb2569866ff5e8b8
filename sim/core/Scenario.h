// Scenarios: what card the virtual driver powers up with. Built-in scenarios
// are texts in the same format as scenario files (see sim/README.md), so one
// parser serves both.
#pragma once

#include <stddef.h>

#include "CardState.h"

namespace vcard {

const char* const kDefaultScenario = "monitorchip";

// Built-in names, index 0 up; null past the end.
const char* BuiltinScenarioName(int index);
// The text of a built-in scenario, null for an unknown name.
const char* BuiltinScenarioText(const char* name);

// Powers the card up from scenario text: every GPU, chip, level and BIOS
// image. On a syntax or consistency error returns false with a message
// ("line 7: unknown key 'fann'"), and leaves a card without a driver.
// Faults, counters, time mode and names are left to the caller.
bool LoadScenarioText(const char* text, CardState* state, char* error, size_t errorSize);

// A card whose driver does not initialise (what a bad scenario leaves).
void PowerUpWithoutDriver(CardState* state);

}  // namespace vcard
