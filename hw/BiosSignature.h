#pragma once
// The video BIOS text names how the card's fan is wired: a 'V' followed four
// bytes later by "DM" means no fan control, by "-F" the ADT7473's second PWM
// output. Pure.

#include <stddef.h>
#include <stdint.h>

const size_t kBiosTextBytes = 600;

// Searches positions 0 .. length - 8 (592 for the 600-byte text); the lowest
// match wins. Returns true and sets *wiring (0 or 2) on a match.
bool FindFanWiringSignature(const uint8_t* text, size_t length, int32_t* wiring);
