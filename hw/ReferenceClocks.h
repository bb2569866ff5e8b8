#pragma once
// The clocks each card is known to run safely at: its references in the
// card settings, taken from the card or put back on it.

#include <stdint.h>

#include "HardwareTypes.h"

class HardwareObject;
class CardSettings;

// For every card: each level's settings and references become the clocks
// the card reports, the fan automatic, the auxiliary value 90.
void TakeCardClocksAsDefaults(HardwareObject& hw, CardSettings& cards);

// Tries, then applies, the reference clocks of each level the card has.
// True when *shown holds the clocks the panel's sliders should follow: those
// of the 2D level, or of the 3D level on a card without a 2D level, once
// their trial was accepted.
bool ApplyReferenceClocks(HardwareObject& hw, const CardSettings& cards, uint8_t gpu, LevelClocks* shown);
