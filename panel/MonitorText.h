#pragma once
// How the monitor cycle shows a reading: the text and colour of each value
// display. Pure formatting into fixed buffers; nothing here allocates.

#include <stddef.h>
#include <stdint.h>

const uint32_t kColourWhite = 0xFFFFFF;
const uint32_t kColourRed = 0x0000FF;
const int32_t kHottestWhiteCelsius = 90;
const size_t kReadingChars = 16;

struct Reading {
    wchar_t text[kReadingChars];
    uint32_t colour;
};

// Writes the decimal digits of value, then suffix (may be null), into out
// (at least kReadingChars wide).
void FormatNumber(int64_t value, const wchar_t* suffix, wchar_t* out);

// What a fan display shows for a fan the panel can read.
struct FanShown {
    bool inRpm;            // revolutions per minute, else percent
    bool alwaysWhite;      // an ADT7473's fan is never shown in red
    uint32_t silentSpeed;  // the card's lowest and highest fan speeds
    uint32_t maximumSpeed;
};

// White while 95 % of the silent speed <= speed <= 105 % of the maximum
// speed, red outside; the limits exact, not cut to whole units.
Reading FanReading(uint32_t speed, const FanShown& fan);
// A card without any fan reading runs its fan flat out.
Reading FanWithoutReading();
// kHz shown as whole MHz, the remainder dropped.
Reading ClockReading(uint32_t khz);
// Red above 90 °C.
Reading TemperatureReading(int32_t celsius);
