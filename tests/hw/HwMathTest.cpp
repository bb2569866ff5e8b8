// Pure conversions and plans of the hardware layer.

#include <gtest/gtest.h>

#include <string.h>

#include "BiosSignature.h"
#include "FanMath.h"
#include "NvFlash.h"
#include "ThermalCalibration.h"

TEST(FanMath, MonitorChipTachometerAndTargets) {
    EXPECT_EQ(0u, MonitorCountToRpm(0));          // both bytes 0: stopped, no division
    EXPECT_EQ(1000u, MonitorCountToRpm(0x05DC));  // 0x05 0xDC
    EXPECT_EQ(0x01F4, MonitorRpmToCount(3000));   // 0x74 = 0x01, 0x75 = 0xF4
    EXPECT_EQ(0xFFFF, MonitorRpmToCount(0));      // no count exists for 0 RPM
    EXPECT_EQ(0xFFFF, MonitorRpmToCount(10));     // 150000 does not fit 16 bits
    EXPECT_EQ(65217, MonitorRpmToCount(23));
}

TEST(FanMath, MonitorChipCurveSpeedByte) {
    EXPECT_EQ(62, MonitorCurveSpeedByte(1500));  // 1000 >> 4
    EXPECT_EQ(31, MonitorCurveSpeedByte(3000));
    EXPECT_EQ(0xFF, MonitorCurveSpeedByte(0));
    EXPECT_EQ(0xFF, MonitorCurveSpeedByte(300));  // 312: would wrap to 56, a faster speed
    EXPECT_EQ(0xFE, MonitorCurveSpeedByte(369));
}

TEST(FanMath, Adt7473TachometerAndDuty) {
    EXPECT_EQ(0u, Adt7473CountToRpm(0xFFFF));  // stalled: 82 RPM reads 0
    EXPECT_EQ(0u, Adt7473CountToRpm(0));
    EXPECT_EQ(100u, Adt7473CountToRpm(54000));
    EXPECT_EQ(2700u, Adt7473CountToRpm(2000));
    EXPECT_EQ(45u, Adt7473DutyToPercent(115));
    EXPECT_EQ(100u, Adt7473DutyToPercent(255));
    EXPECT_EQ(115, Adt7473PercentToDuty(45));
    EXPECT_EQ(255, Adt7473PercentToDuty(100));
    EXPECT_EQ(100, Adt7473PercentToDuty(39));
    EXPECT_EQ(255, Adt7473PercentToDuty(0xFFFFFFFFu));  // no wrap on a huge request
}

namespace {

struct BiosText {
    uint8_t bytes[kBiosTextBytes];
    BiosText() { memset(bytes, 0, sizeof(bytes)); }
    void Put(size_t at, const char* text) { memcpy(bytes + at, text, strlen(text)); }
};

}  // namespace

TEST(BiosSignature, PositionsAndPrecedence) {
    struct Case {
        const char* name;
        size_t at1;
        const char* sig1;
        size_t at2;
        const char* sig2;
        bool found;
        int32_t wiring;
    } cases[] = {
        {"none", 0, "", 0, "", false, -1},
        {"no fan at 0", 0, "Vxxx DM", 0, "", true, 0},
        {"pwm2 at 0", 0, "Vxxx -F", 0, "", true, 2},
        {"lower position wins", 100, "Vxxx -F", 300, "Vxxx DM", true, 2},
        {"lower position wins 2", 50, "Vxxx DM", 60, "Vxxx -F", true, 0},
        {"last position 592", 592, "Vxxx DM", 0, "", true, 0},
        {"593 is past the end", 593, "Vxxx DM", 0, "", false, -1},
        {"V without the pair", 10, "Vxxx D-", 0, "", false, -1},
    };
    for (const Case& c : cases) {
        BiosText text;
        text.Put(c.at1, c.sig1);
        text.Put(c.at2, c.sig2);
        int32_t wiring = -1;
        EXPECT_EQ(c.found, FindFanWiringSignature(text.bytes, sizeof(text.bytes), &wiring)) << c.name;
        EXPECT_EQ(c.wiring, wiring) << c.name;
    }
}

TEST(ThermalCalibration, TrimmedMeanOfDifferences) {
    uint8_t offset = 0xAA;
    const int32_t two[] = {5, 7};
    EXPECT_FALSE(ComputeThermalOffset(two, 2, 0, &offset));
    EXPECT_EQ(0xAA, offset);

    const int32_t three[] = {2, 9, 4};  // non-negative: the middle one
    ASSERT_TRUE(ComputeThermalOffset(three, 3, 0, &offset));
    EXPECT_EQ(4, offset);

    const int32_t eight[] = {3, 3, 4, 2, 20, 3, -10, 3};  // trims -10 and 20
    ASSERT_TRUE(ComputeThermalOffset(eight, 8, 1, &offset));
    EXPECT_EQ(4, offset);  // 18 / 6 = 3, plus the old 1

    // The register is a signed byte: beyond it the offset stays at the
    // limit instead of wrapping to the other sign.
    const int32_t above[] = {100, 100, 100};
    ASSERT_TRUE(ComputeThermalOffset(above, 3, 100, &offset));
    EXPECT_EQ(127, (int8_t)offset);
    const int32_t below[] = {-100, -100, -100};
    ASSERT_TRUE(ComputeThermalOffset(below, 3, -100, &offset));
    EXPECT_EQ(-128, (int8_t)offset);
}

TEST(ThermalCalibration, NegativeDifferencesTrimTheTrueExtremes) {
    // The chip reads above the driver: starting the largest at 0 would never
    // trim -2 and would subtract a phantom 0, giving (-17 + 6 - 0) / 2 = -5.
    const int32_t diffs[] = {-6, -4, -5, -2};
    uint8_t offset = 0;
    ASSERT_TRUE(ComputeThermalOffset(diffs, 4, 0, &offset));
    EXPECT_EQ((uint8_t)-4, offset);  // (-17 + 6 + 2) / 2 = -4 (truncated toward zero from -4.5)
    const int32_t three[] = {-3, -9, -5};
    ASSERT_TRUE(ComputeThermalOffset(three, 3, -2, &offset));
    EXPECT_EQ((uint8_t)-7, offset);  // middle -5 plus old -2
}

TEST(NvflashCommands, BackupAndUpdateLines) {
    wchar_t line[kNvflashCommandChars];
    BuildBackupCommand(1, line, kNvflashCommandChars);
    EXPECT_STREQ(L"NVFLASH --index=1 -b VPCurr.rom", line);

    ASSERT_TRUE(BuildUpdateCommand(0, L"C:\\BIOS~1\\NEW.ROM", line, kNvflashCommandChars));
    EXPECT_STREQ(L"nvflash --index=0 -4 -5 -6 C:\\BIOS~1\\NEW.ROM", line);

    // No short name on this volume: the blanks stay, so the path is quoted.
    ASSERT_TRUE(BuildUpdateCommand(1, L"C:\\My Bios\\new.rom", line, kNvflashCommandChars));
    EXPECT_STREQ(L"nvflash --index=1 -4 -5 -6 \"C:\\My Bios\\new.rom\"", line);
}

TEST(NvflashCommands, PathThatWouldOverflowIsRefused) {
    wchar_t path[600];
    for (int i = 0; i < 599; i++) {
        path[i] = L'a';
    }
    path[599] = 0;
    wchar_t line[kNvflashCommandChars];
    EXPECT_FALSE(BuildUpdateCommand(0, path, line, kNvflashCommandChars));
    EXPECT_STREQ(L"", line);
    // The longest path that still fits, with the quotes it needs.
    const size_t prefix = wcslen(L"nvflash --index=0 -4 -5 -6 \"\"");
    path[kNvflashCommandChars - 1 - prefix] = 0;
    path[3] = L' ';
    EXPECT_TRUE(BuildUpdateCommand(0, path, line, kNvflashCommandChars));
    path[kNvflashCommandChars - 1 - prefix] = L'a';
    path[kNvflashCommandChars - prefix] = 0;
    EXPECT_FALSE(BuildUpdateCommand(0, path, line, kNvflashCommandChars));
}
