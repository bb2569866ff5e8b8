#pragma once
// Per-card values shared by the fan, overclocking, card-database and saved
// settings code. Clocks are kHz as the hardware reports them.

#include <stdint.h>

// Index into a card's clock table.
enum ClockKind {
    kGpu2DMin = 0,
    kGpu2DMax = 1,
    kGpu3DMin = 2,
    kGpu3DMax = 3,
    kGpu2DClock = 4,
    kGpu3DClock = 5,
    kShader2DMin = 6,
    kShader2DMax = 7,
    kShader3DMin = 8,
    kShader3DMax = 9,
    kShader2DClock = 10,
    kShader3DClock = 11,
    kMemoryMin = 12,
    kMemoryMax = 13,
    kMemoryClock = 14,
    kGpu2DReference = 15,
    kGpu3DReference = 16,
    kShader2DReference = 17,
    kShader3DReference = 18,
    kMemoryReference = 19,
    kClockKindCount = 20
};

// 16-bit per-card values.
enum ShortKind {
    kMaxTemperatureThreshold = 0,
    kNormalTemperatureThreshold = 1,
    kAuxSliderLow = 2,  // bounds of the first hidden auxiliary slider
    kAuxSliderHigh = 3,
    kAuxSliderValue = 4,
    kShortKindCount = 5
};

// Fan values, in the unit of the card's fan reading (RPM or percent).
enum FanKind { kFanMaximum = 0, kFanNormal = 1, kFanSilent = 2, kFanManual = 3, kFanKindCount = 4 };

enum FanWorkModeValue { kFanManualMode = 0, kFanAutoMode = 1 };
enum ClockLevelValue { kClockLevel2D = 0, kClockLevel3D = 1 };

const int kMaxCards = 2;
const int kDeviceKeyChars = 9;  // identification string, without terminator

class CardSettings {
public:
    CardSettings();

    // A card or kind outside the tables reads 0 and writes nothing.
    uint32_t Clock(uint8_t card, int kind) const;
    void SetClock(uint8_t card, int kind, uint32_t khz);

    uint16_t Short(uint8_t card, int kind) const;
    void SetShort(uint8_t card, int kind, uint16_t value);

    uint32_t Fan(uint8_t card, int kind) const;
    void SetFan(uint8_t card, int kind, uint32_t value);

    uint32_t FanWorkMode(uint8_t card) const;
    void SetFanWorkMode(uint8_t card, uint32_t mode);

    uint32_t ClockLevel(uint8_t card) const;
    void SetClockLevel(uint8_t card, uint32_t level);

    // Copies at most kDeviceKeyChars characters; always terminated.
    const wchar_t* DeviceKey(uint8_t card) const;
    void SetDeviceKey(uint8_t card, const wchar_t* key);

    // Bounds of the second hidden auxiliary slider and the fan slider's step,
    // shared by both cards.
    uint16_t AuxSlider2Low() const { return 110; }
    uint16_t AuxSlider2High() const { return 120; }
    uint32_t FanSliderStep() const { return 100; }

    // Zeroes both cards' temperature thresholds and fan presets.
    void ClearThresholdsAndFanPresets();

private:
    struct Card {
        uint32_t clocks[kClockKindCount];
        uint16_t shorts[kShortKindCount];
        uint32_t fans[kFanKindCount];
        uint32_t fanWorkMode;
        uint32_t clockLevel;
        wchar_t deviceKey[kDeviceKeyChars + 1];
    };
    Card cards_[kMaxCards] = {};
};
