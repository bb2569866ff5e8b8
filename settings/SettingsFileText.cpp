#include "SettingsFileText.h"

const Utf16Unit kSettingsFileName[] = UTF16("DM_CurrSettings.txt");
const Utf16Unit kSettingsKeyGpuId[] = UTF16("GPU_Id");
const Utf16Unit kSettingsKeyFanWorkMode[] = UTF16("FanWorkMode");
const Utf16Unit kSettingsKeyFanManualSpeed[] = UTF16("FanManualSpeed");

const SettingsClockKey kSettingsClockKeys[kSettingsClockKeyCount] = {
    {UTF16("Gpu2DClock"), kGpu2DClock},       {UTF16("Gpu3DClock"), kGpu3DClock},
    {UTF16("Shader2DClock"), kShader2DClock}, {UTF16("Shader3DClock"), kShader3DClock},
    {UTF16("MemoryClock"), kMemoryClock},
};

namespace {

const Utf16Unit kByteOrderMark = 0xFEFF;
const Utf16Unit kSectionPrefix[] = UTF16("Group");

// Appends to a fixed buffer; once something does not fit, every later
// append is refused too, so one check at the end covers the whole text.
class TextSink {
public:
    TextSink(Utf16Unit* out, uint32_t capacity) : out_(out), capacity_(capacity), count_(0), full_(false) {}

    void Unit(Utf16Unit c) {
        if (full_ || count_ >= capacity_) {
            full_ = true;
            return;
        }
        out_[count_++] = c;
    }
    void Text(const Utf16Unit* text) {
        while (*text)
            Unit(*text++);
    }
    // Signed decimal, no leading zeros: what "%d" gives.
    void Number(int32_t value) {
        // In 64 bits the most negative value negates without overflow.
        int64_t v = value;
        if (v < 0) {
            Unit('-');
            v = -v;
        }
        Utf16Unit digits[12];
        int n = 0;
        do {
            digits[n++] = (Utf16Unit)('0' + v % 10);
            v /= 10;
        } while (v != 0);
        while (n > 0)
            Unit(digits[--n]);
    }
    void LineEnd() {
        Unit('\r');
        Unit('\n');
    }
    void KeyNumber(const Utf16Unit* key, int32_t value) {
        Text(key);
        Unit('=');
        Number(value);
        LineEnd();
    }

    uint32_t Count() const { return full_ ? 0 : count_; }

private:
    Utf16Unit* out_;
    uint32_t capacity_;
    uint32_t count_;
    bool full_;
};

}  // namespace

uint32_t ComposeSettingsText(const SavedCard* cards, int count, Utf16Unit* out, uint32_t capacity) {
    TextSink sink(out, capacity);
    sink.Unit(kByteOrderMark);
    for (int i = 0; i < count; i++) {
        const SavedCard& card = cards[i];
        sink.Unit('[');
        sink.Text(kSectionPrefix);
        sink.Number(i);
        sink.Unit(']');
        sink.LineEnd();
        sink.Text(kSettingsKeyGpuId);
        sink.Unit('=');
        sink.Text(card.deviceKey ? card.deviceKey : UTF16(""));
        sink.LineEnd();
        sink.KeyNumber(kSettingsKeyFanWorkMode, card.fanWorkMode);
        sink.KeyNumber(kSettingsKeyFanManualSpeed, card.fanManualSpeed);
        const int32_t clocks[kSettingsClockKeyCount] = {card.gpu2D, card.gpu3D, card.shader2D, card.shader3D,
                                                        card.memory};
        for (int k = 0; k < kSettingsClockKeyCount; k++) {
            sink.KeyNumber(kSettingsClockKeys[k].key, clocks[k]);
        }
    }
    return sink.Count();
}

void SettingsSectionName(int card, Utf16Unit* out) {
    TextSink sink(out, 15);
    sink.Text(kSectionPrefix);
    sink.Number(card);
    uint32_t n = sink.Count();
    out[n] = 0;
}

bool DeviceKeyMatches(const Utf16Unit* savedId, const Utf16Unit* cardKey) {
    if (!savedId || !cardKey || !cardKey[0]) return false;
    for (size_t i = 0; cardKey[i]; i++) {
        // The saved text may end first: its terminator then differs.
        if (Utf16AsciiLower(savedId[i]) != Utf16AsciiLower(cardKey[i])) return false;
    }
    return true;
}

bool FanWorkModeUsable(int32_t mode) {
    return mode == kFanManualMode || mode == kFanAutoMode;
}

bool FanSpeedUsable(int32_t speed, uint32_t silent, uint32_t maximum) {
    // A card without presets has no range at all; a speed of 0 would stop
    // its fan.
    if (maximum == 0 || speed < 0) return false;
    return (uint32_t)speed >= silent && (uint32_t)speed <= maximum;
}

bool ClockValueUsable(int kind, int32_t khz, bool has2DLevel, bool has3DLevel) {
    if (khz < 0) return false;
    if (khz > 0) return true;
    // 0 is what the file holds for a level the card lacks; for a level it
    // has, the card would be asked to stop that clock.
    switch (kind) {
        case kGpu2DClock:
        case kShader2DClock:
            return !has2DLevel;
        case kGpu3DClock:
        case kShader3DClock:
            return !has3DLevel;
        default:
            return !has2DLevel && !has3DLevel;
    }
}
