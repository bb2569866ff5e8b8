#include "CardSettings.h"

CardSettings::CardSettings() {
    for (int i = 0; i < kMaxCards; i++) {
        cards_[i].shorts[kAuxSliderLow] = 90;
        cards_[i].shorts[kAuxSliderHigh] = 110;
        cards_[i].fanWorkMode = kFanAutoMode;
    }
}

uint32_t CardSettings::Clock(uint8_t card, int kind) const {
    if (card >= kMaxCards || kind < 0 || kind >= kClockKindCount) return 0;
    return cards_[card].clocks[kind];
}

void CardSettings::SetClock(uint8_t card, int kind, uint32_t khz) {
    if (card >= kMaxCards || kind < 0 || kind >= kClockKindCount) return;
    cards_[card].clocks[kind] = khz;
}

uint16_t CardSettings::Short(uint8_t card, int kind) const {
    if (card >= kMaxCards || kind < 0 || kind >= kShortKindCount) return 0;
    return cards_[card].shorts[kind];
}

void CardSettings::SetShort(uint8_t card, int kind, uint16_t value) {
    if (card >= kMaxCards || kind < 0 || kind >= kShortKindCount) return;
    cards_[card].shorts[kind] = value;
}

uint32_t CardSettings::Fan(uint8_t card, int kind) const {
    if (card >= kMaxCards || kind < 0 || kind >= kFanKindCount) return 0;
    return cards_[card].fans[kind];
}

void CardSettings::SetFan(uint8_t card, int kind, uint32_t value) {
    if (card >= kMaxCards || kind < 0 || kind >= kFanKindCount) return;
    cards_[card].fans[kind] = value;
}

uint32_t CardSettings::FanWorkMode(uint8_t card) const {
    return card < kMaxCards ? cards_[card].fanWorkMode : 0;
}

void CardSettings::SetFanWorkMode(uint8_t card, uint32_t mode) {
    if (card < kMaxCards) cards_[card].fanWorkMode = mode;
}

uint32_t CardSettings::ClockLevel(uint8_t card) const {
    return card < kMaxCards ? cards_[card].clockLevel : 0;
}

void CardSettings::SetClockLevel(uint8_t card, uint32_t level) {
    if (card < kMaxCards) cards_[card].clockLevel = level;
}

const wchar_t* CardSettings::DeviceKey(uint8_t card) const {
    return card < kMaxCards ? cards_[card].deviceKey : L"";
}

void CardSettings::SetDeviceKey(uint8_t card, const wchar_t* key) {
    if (card >= kMaxCards) return;
    wchar_t* dst = cards_[card].deviceKey;
    int n = 0;
    if (key) {
        for (; n < kDeviceKeyChars && key[n]; n++)
            dst[n] = key[n];
    }
    dst[n] = 0;
}

void CardSettings::ClearThresholdsAndFanPresets() {
    for (int i = 0; i < kMaxCards; i++) {
        cards_[i].shorts[kMaxTemperatureThreshold] = 0;
        cards_[i].shorts[kNormalTemperatureThreshold] = 0;
        cards_[i].fans[kFanMaximum] = 0;
        cards_[i].fans[kFanNormal] = 0;
        cards_[i].fans[kFanSilent] = 0;
    }
}
