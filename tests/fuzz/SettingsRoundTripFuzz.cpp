// The saved settings file: what is composed parses back to the same values,
// and composing never writes past the capacity it is given.

#include <string.h>

#include "CardSettings.h"
#include "FuzzInput.h"
#include "IniText.h"
#include "SettingsFileText.h"

namespace {

// A device key as the card reports it: a line of text without a line end.
std::vector<Utf16Unit> TakeDeviceKey(FuzzInput& input) {
    std::vector<Utf16Unit> key = input.Units(input.Byte() % 12);
    for (Utf16Unit& c : key) {
        if (c == 0 || c == '\r' || c == '\n') c = 'A';
    }
    key.push_back(0);
    return key;
}

int32_t TakeValue(FuzzInput& input) {
    // Mostly what the card gives, sometimes the ends of the range.
    switch (input.Byte() % 4) {
        case 0:
            return (int32_t)input.Word();
        case 1:
            return input.Byte() & 1 ? INT32_MIN : INT32_MAX;
        default:
            return (int32_t)(input.Word() % 2000000);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const int count = input.Byte() % 4;  // up to two cards, and a few more
    const uint32_t capacity = input.Byte() & 1 ? kSettingsTextCapacity : input.Word() % 1200;
    std::vector<Utf16Unit> keys[4];
    SavedCard cards[4];
    for (int i = 0; i < count; i++) {
        keys[i] = TakeDeviceKey(input);
        SavedCard& card = cards[i];
        card.deviceKey = keys[i].data();
        card.fanWorkMode = TakeValue(input);
        card.fanManualSpeed = TakeValue(input);
        card.gpu2D = TakeValue(input);
        card.gpu3D = TakeValue(input);
        card.shader2D = TakeValue(input);
        card.shader3D = TakeValue(input);
        card.memory = TakeValue(input);
    }

    // Exactly the capacity: a unit written past it is a heap overflow.
    std::vector<Utf16Unit> text(capacity + 1, 0x5A5A);
    const uint32_t units = ComposeSettingsText(cards, count, text.data(), capacity);
    FUZZ_CHECK(units <= capacity);
    FUZZ_CHECK(text[capacity] == 0x5A5A);
    if (units == 0) {
        // Refused only when it does not fit; a larger buffer then takes it.
        std::vector<Utf16Unit> large(4 * kSettingsTextCapacity);
        FUZZ_CHECK(ComposeSettingsText(cards, count, large.data(), (uint32_t)large.size()) > capacity);
        return 0;
    }
    FUZZ_CHECK(text[0] == 0xFEFF && text[units - 1] == (count ? '\n' : 0xFEFF));

    IniText file;
    FUZZ_CHECK(file.SetText(text.data(), units) == 1);
    SavedCard read[4];
    Utf16Unit ids[4][32];
    for (int i = 0; i < count; i++) {
        Utf16Unit section[16];
        SettingsSectionName(i, section);
        Utf16Unit* id = ids[i];
        FUZZ_CHECK(file.GetText(section, kSettingsKeyGpuId, id, 32));
        FUZZ_CHECK(memcmp(id, keys[i].data(), keys[i].size() * sizeof(Utf16Unit)) == 0);
        const int32_t written[] = {cards[i].fanWorkMode, cards[i].fanManualSpeed, cards[i].gpu2D, cards[i].gpu3D,
                                   cards[i].shader2D,    cards[i].shader3D,       cards[i].memory};
        const Utf16Unit* names[] = {kSettingsKeyFanWorkMode,   kSettingsKeyFanManualSpeed, kSettingsClockKeys[0].key,
                                    kSettingsClockKeys[1].key, kSettingsClockKeys[2].key,  kSettingsClockKeys[3].key,
                                    kSettingsClockKeys[4].key};
        int32_t* fields[] = {&read[i].fanWorkMode, &read[i].fanManualSpeed, &read[i].gpu2D, &read[i].gpu3D,
                             &read[i].shader2D,    &read[i].shader3D,       &read[i].memory};
        read[i].deviceKey = id;
        for (int k = 0; k < 7; k++) {
            FUZZ_CHECK(file.GetInt(section, names[k], fields[k], 10));
            FUZZ_CHECK(*fields[k] == written[k]);
        }
        // The loader's own check accepts what was written for the card.
        if (keys[i].size() > 1 && keys[i].size() <= 10) {
            Utf16Unit savedId[10];
            FUZZ_CHECK(file.GetText(section, kSettingsKeyGpuId, savedId, 10));
            FUZZ_CHECK(DeviceKeyMatches(savedId, keys[i].data()));
        }
    }

    // Composing what was read gives the same text.
    std::vector<Utf16Unit> again(capacity);
    FUZZ_CHECK(ComposeSettingsText(read, count, again.data(), capacity) == units);
    FUZZ_CHECK(memcmp(again.data(), text.data(), units * sizeof(Utf16Unit)) == 0);
    return 0;
}
