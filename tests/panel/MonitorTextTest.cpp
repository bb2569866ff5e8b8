#include "MonitorText.h"

#include <gtest/gtest.h>

#include <string>

// The fan display's white window runs from 95 % of the silent speed to
// 105 % of the maximum, exactly; percent fans get a '%'.
TEST(MonitorText, FanReadings) {
    const FanShown rpm = {true, false, 1500, 3000};
    const FanShown percent = {false, false, 30, 100};
    const FanShown adt = {false, true, 30, 100};
    const FanShown noSilent = {true, false, 0, 3000};
    struct Case {
        const char* name;
        uint32_t speed;
        const FanShown* fan;
        const wchar_t* text;
        uint32_t colour;
    } cases[] = {
        {"inside", 2000, &rpm, L"2000", kColourWhite},
        {"exactly 95 % of silent", 1425, &rpm, L"1425", kColourWhite},
        {"just below 95 % of silent", 1424, &rpm, L"1424", kColourRed},
        {"exactly 105 % of maximum", 3150, &rpm, L"3150", kColourWhite},
        {"just above 105 % of maximum", 3151, &rpm, L"3151", kColourRed},
        {"a stopped fan", 0, &rpm, L"0", kColourRed},
        {"a stopped fan with no silent speed known", 0, &noSilent, L"0", kColourWhite},
        {"percent, 95 % of 30 is 28.5", 28, &percent, L"28%", kColourRed},
        {"percent inside", 29, &percent, L"29%", kColourWhite},
        {"an ADT7473 fan is never red", 5, &adt, L"5%", kColourWhite},
        {"the top of the 32-bit range does not wrap", 4294967295u, &rpm, L"4294967295", kColourRed},
    };
    for (const Case& c : cases) {
        Reading r = FanReading(c.speed, *c.fan);
        EXPECT_EQ(std::wstring(c.text), r.text) << c.name;
        EXPECT_EQ(c.colour, r.colour) << c.name;
    }
    Reading none = FanWithoutReading();
    EXPECT_EQ(std::wstring(L"100%"), none.text);
    EXPECT_EQ(kColourWhite, none.colour);
}

TEST(MonitorText, ClocksAndTemperatures) {
    EXPECT_EQ(std::wstring(L"300"), ClockReading(300999).text);  // the remainder is dropped
    EXPECT_EQ(std::wstring(L"0"), ClockReading(999).text);
    EXPECT_EQ(std::wstring(L"4294967"), ClockReading(4294967295u).text);
    EXPECT_EQ(kColourWhite, TemperatureReading(90).colour);
    EXPECT_EQ(kColourRed, TemperatureReading(91).colour);
    EXPECT_EQ(std::wstring(L"-5"), TemperatureReading(-5).text);
    EXPECT_EQ(std::wstring(L"-2147483648"), TemperatureReading(INT32_MIN).text);
}
