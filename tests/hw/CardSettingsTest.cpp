#include "CardSettings.h"

#include <gtest/gtest.h>

TEST(CardSettings, OutOfRangeCardOrKindReadsZeroAndWritesNothing) {
    CardSettings s;
    s.SetClock(0, kGpu3DClock, 650000);
    s.SetClock(2, kGpu3DClock, 1);
    s.SetClock(0, kClockKindCount, 1);
    s.SetClock(0, -1, 1);
    EXPECT_EQ(650000u, s.Clock(0, kGpu3DClock));
    EXPECT_EQ(0u, s.Clock(1, kGpu3DClock));
    EXPECT_EQ(0u, s.Clock(2, kGpu3DClock));
    EXPECT_EQ(0u, s.Clock(0, kClockKindCount));
    EXPECT_EQ(0u, s.Clock(255, 0));

    s.SetShort(1, kMaxTemperatureThreshold, 75);
    s.SetShort(1, kShortKindCount, 9);
    EXPECT_EQ(75, s.Short(1, kMaxTemperatureThreshold));
    EXPECT_EQ(0, s.Short(1, kShortKindCount));
    EXPECT_EQ(0, s.Short(3, kMaxTemperatureThreshold));

    s.SetFan(0, kFanManual, 2400);
    s.SetFan(0, kFanKindCount, 7);
    s.SetFan(5, kFanManual, 7);
    EXPECT_EQ(2400u, s.Fan(0, kFanManual));
    EXPECT_EQ(0u, s.Fan(0, kFanKindCount));
    EXPECT_EQ(0u, s.Fan(5, kFanManual));
}

TEST(CardSettings, CardsAreIndependentAndStartWithAuxBounds) {
    CardSettings s;
    s.SetClock(1, kMemoryClock, 1000000);
    EXPECT_EQ(0u, s.Clock(0, kMemoryClock));
    for (uint8_t card = 0; card < 2; card++) {
        EXPECT_EQ(90, s.Short(card, kAuxSliderLow));
        EXPECT_EQ(110, s.Short(card, kAuxSliderHigh));
    }
    EXPECT_EQ(110, s.AuxSlider2Low());
    EXPECT_EQ(120, s.AuxSlider2High());
    EXPECT_EQ(100u, s.FanSliderStep());
}

TEST(CardSettings, DeviceKeyIsTruncatedToNineCharacters) {
    CardSettings s;
    s.SetDeviceKey(0, L"0x06001043ABCDEF");
    EXPECT_STREQ(L"0x0600104", s.DeviceKey(0));
    s.SetDeviceKey(0, NULL);
    EXPECT_STREQ(L"", s.DeviceKey(0));
    s.SetDeviceKey(2, L"x");
    EXPECT_STREQ(L"", s.DeviceKey(2));
}

TEST(CardSettings, ClearingZeroesThresholdsAndFanPresetsOnly) {
    CardSettings s;
    for (uint8_t card = 0; card < 2; card++) {
        s.SetShort(card, kMaxTemperatureThreshold, 80);
        s.SetShort(card, kNormalTemperatureThreshold, 55);
        s.SetFan(card, kFanMaximum, 3000);
        s.SetFan(card, kFanNormal, 2000);
        s.SetFan(card, kFanSilent, 1000);
        s.SetFan(card, kFanManual, 1500);
    }
    s.ClearThresholdsAndFanPresets();
    for (uint8_t card = 0; card < 2; card++) {
        EXPECT_EQ(0, s.Short(card, kMaxTemperatureThreshold));
        EXPECT_EQ(0, s.Short(card, kNormalTemperatureThreshold));
        EXPECT_EQ(0u, s.Fan(card, kFanMaximum));
        EXPECT_EQ(0u, s.Fan(card, kFanNormal));
        EXPECT_EQ(0u, s.Fan(card, kFanSilent));
        EXPECT_EQ(1500u, s.Fan(card, kFanManual));
    }
}
