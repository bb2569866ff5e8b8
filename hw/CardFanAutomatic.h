#pragma once
// The card's own automatic fan control, with the curve the card database
// gives for it (the monitor chip's thresholds and speeds).

#include "HardwareObject.h"

class CardSettings;

NvStatus SetCardFanAutomatic(HardwareObject& hw, const CardSettings& cards, uint8_t gpu);

// For a process about to die: each card whose fan this run fixed goes back
// to its automatic control (full speed where that fails), and each card
// whose clocks this run wrote gets its reference clocks back. Best effort.
void HandCardsBack(HardwareObject& hw, const CardSettings& cards);
