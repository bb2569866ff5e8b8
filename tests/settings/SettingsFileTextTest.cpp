// The saved settings file's text and the database entry's values, without
// a card: what is written reads back, and what is read is held to what the
// card can take.

#include <gtest/gtest.h>

#include <string.h>

#include "CardDatabaseEntry.h"
#include "CardSettings.h"
#include "IniText.h"
#include "SettingsFileText.h"

TEST(SettingsFileText, ComposedTextReadsBackAndNeverOverflows) {
    const SavedCard cards[2] = {
        {L"0611", 0, 2100, 300000, 650000, 0, 0, 900000},
        {L"10de0290", 1, INT32_MIN, INT32_MAX, -1, 7, 8, 9},
    };
    wchar_t text[kSettingsTextCapacity];
    uint32_t units = ComposeSettingsText(cards, 2, text, kSettingsTextCapacity);
    ASSERT_GT(units, 0u);
    IniText file;
    ASSERT_EQ(1, file.SetText(text, units));
    for (int i = 0; i < 2; i++) {
        wchar_t section[16];
        SettingsSectionName(i, section);
        wchar_t id[16];
        ASSERT_TRUE(file.GetText(section, kSettingsKeyGpuId, id, 16));
        EXPECT_STREQ(cards[i].deviceKey, id);
        const int32_t written[] = {cards[i].fanWorkMode, cards[i].fanManualSpeed, cards[i].gpu2D, cards[i].gpu3D,
                                   cards[i].shader2D,    cards[i].shader3D,       cards[i].memory};
        const wchar_t* keys[] = {kSettingsKeyFanWorkMode,   kSettingsKeyFanManualSpeed, kSettingsClockKeys[0].key,
                                 kSettingsClockKeys[1].key, kSettingsClockKeys[2].key,  kSettingsClockKeys[3].key,
                                 kSettingsClockKeys[4].key};
        for (int k = 0; k < 7; k++) {
            int32_t value = 12345;
            EXPECT_TRUE(file.GetInt(section, keys[k], &value, 10)) << keys[k];
            EXPECT_EQ(written[k], value) << keys[k];
        }
    }
    // One unit short: refused, and nothing past the capacity is touched.
    wchar_t small[kSettingsTextCapacity + 1];
    small[units - 1] = L'#';
    EXPECT_EQ(0u, ComposeSettingsText(cards, 2, small, units - 1));
    EXPECT_EQ(L'#', small[units - 1]);
}

TEST(SettingsFileText, DeviceKeysMatchIgnoringAsciiCaseOnly) {
    const struct {
        const wchar_t* saved;
        const wchar_t* card;
        bool matches;
    } cases[] =
        {
            {L"0611", L"0611", true},      {L"0611abcd", L"0611", true}, {L"10de", L"10DE", true},
            {L"061", L"0611", false},      {L"0611", L"", false},        {L"", L"0611", false},
            {L"\x0130", L"i", false},                              // folds to 'i' only in a locale
            {L"\x00E4", L"\x00C4", false}, {L"@[", L"`{", false},  // 0x20 apart, but not letters
        };
    for (const auto& c : cases) {
        EXPECT_EQ(c.matches, DeviceKeyMatches(c.saved, c.card)) << c.saved << " / " << c.card;
    }
    EXPECT_FALSE(DeviceKeyMatches(NULL, L"0611"));
    EXPECT_FALSE(DeviceKeyMatches(L"0611", NULL));
}

TEST(SettingsFileText, OnlyValuesTheProgramWritesAreUsable) {
    for (int32_t mode : {-1, 2, INT32_MIN, INT32_MAX})
        EXPECT_FALSE(FanWorkModeUsable(mode)) << mode;
    EXPECT_TRUE(FanWorkModeUsable(kFanManualMode));
    EXPECT_TRUE(FanWorkModeUsable(kFanAutoMode));

    const struct {
        int32_t speed;
        uint32_t silent, maximum;
        bool usable;
    } speeds[] = {
        {1500, 1500, 3000, true},  {3000, 1500, 3000, true},
        {3001, 1500, 3000, false}, {1499, 1500, 3000, false},
        {-1, 0, 3000, false},      {0, 0, 3000, true},
        {0, 0, 0, false},          {INT32_MIN, 0, 0xFFFFFFFFu, false},
    };
    for (const auto& s : speeds)
        EXPECT_EQ(s.usable, FanSpeedUsable(s.speed, s.silent, s.maximum)) << s.speed;

    const struct {
        int kind;
        int32_t khz;
        bool has2D, has3D, usable;
    } clocks[] = {
        {kGpu2DClock, 0, false, true, true},          {kGpu2DClock, 0, true, false, false},
        {kShader3DClock, 0, true, false, true},       {kShader3DClock, 0, false, true, false},
        {kMemoryClock, 0, false, false, true},        {kMemoryClock, 0, true, false, false},
        {kGpu3DClock, -1, false, false, false},       {kShader2DClock, 1, true, true, true},
        {kMemoryClock, INT32_MIN, true, true, false},
    };
    for (const auto& c : clocks)
        EXPECT_EQ(c.usable, ClockValueUsable(c.kind, c.khz, c.has2D, c.has3D)) << c.kind << " " << c.khz;
}

TEST(CardDatabaseEntry, DamagedValuesAreHeldToWhatTheCardTakes) {
    IniText db;
    const wchar_t text[] =
        L"[0290_Inf]\nMaxSpeed=250\nNormalSpeed=-3\nSilentSpeed=99999999999\n"
        L"MaxTemperatureThreshold=300\nNormalTemperatureThreshold=-1\nGpuMaxClock=4294967296\n"
        L"[0291_Inf]\nMaxSpeed=90\nNormalSpeed=60\nSilentSpeed=30\nMaxTemperatureThreshold=80\n"
        L"GpuMaxClock=0\nMemoryMaxClock=1\n";
    ASSERT_EQ(1, db.SetText(text, (uint32_t)wcslen(text)));

    CardFanPresets p = ReadCardFanPresets(db, L"0290_Inf");
    EXPECT_EQ(3000u, p.maximumRpm);
    EXPECT_EQ(0u, p.normalRpm);
    EXPECT_EQ(3000u, p.silentRpm);
    EXPECT_EQ(255, p.maxTemperature);
    EXPECT_EQ(0, p.normalTemperature);
    // One of the five missing: all the defaults.
    p = ReadCardFanPresets(db, L"0291_Inf");
    EXPECT_EQ(3000u, p.maximumRpm);
    EXPECT_EQ(2250u, p.normalRpm);
    EXPECT_EQ(1500u, p.silentRpm);
    EXPECT_EQ(75, p.maxTemperature);
    EXPECT_EQ(50, p.normalTemperature);

    LevelClocks level2D = {}, level3D = {}, memory = {};
    level2D.core.lowerLimit = 200000;
    level2D.core.upperLimit = 400000;
    level2D.memory.upperLimit = 500000;
    ApplyCardClockCeilings(db, L"0290_Inf", &level2D, &level3D, &level2D);
    EXPECT_EQ(100000u * 1000, level2D.core.upperLimit);  // held to 100000 MHz
    EXPECT_EQ(0u, level3D.core.upperLimit);              // a level the card lacks stays empty
    EXPECT_EQ(500000u, level2D.memory.upperLimit);       // no memory ceiling in the entry
    // Ceilings of 0, or not above the lower limit, change nothing.
    memory.memory.lowerLimit = 1000;
    memory.memory.upperLimit = 2000;
    ApplyCardClockCeilings(db, L"0291_Inf", &level2D, &level3D, &memory);
    EXPECT_EQ(100000u * 1000, level2D.core.upperLimit);
    EXPECT_EQ(2000u, memory.memory.upperLimit);
}
