// Every fan path against the virtual card: read, set, automatic and the
// mode query, with the registers they leave behind; the I2C mutex.

#include "VcardFixture.h"

namespace {

const uint32_t kCurveTemps[4] = {85, 70, 55, 0};
const uint32_t kCurveSpeeds[5] = {3000, 2250, 1500, 1500, 1500};

}  // namespace

class HardwareFan : public VcardTest {};

TEST_F(HardwareFan, MonitorChip) {
    Reset("monitorchip");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    BOOL isAuto = FALSE;
    ASSERT_EQ(0, hw.IsFanAuto(0, &isAuto));
    EXPECT_TRUE(isAuto);

    SetReg(0, 0x5C, 0x60, 0x04);
    ASSERT_EQ(0, hw.SetFanSpeed(0, 3000));
    EXPECT_EQ(0x01, Reg(0, 0x5C, 0x60));  // manual, bit 2 cleared
    EXPECT_EQ(0x01, Reg(0, 0x5C, 0x74));
    EXPECT_EQ(0xF4, Reg(0, 0x5C, 0x75));
    uint32_t value = 0;
    ASSERT_EQ(0, hw.ReadFanSpeed(0, &value, false));
    EXPECT_EQ(3000u, value);
    ASSERT_EQ(0, hw.IsFanAuto(0, &isAuto));
    EXPECT_FALSE(isAuto);

    ASSERT_TRUE(VcardSettle());
    ASSERT_EQ(0, hw.ReadFanSpeed(0, &value, true));
    uint32_t count = Reg(0, 0x5C, 0x16) << 8 | Reg(0, 0x5C, 0x17);
    ASSERT_NE(0u, count);
    EXPECT_EQ(1500000u / count, value);
    EXPECT_NEAR(3000.0, value, 60.0);

    // 0 RPM has no count: the slowest target is written, not a division by 0.
    ASSERT_EQ(0, hw.SetFanSpeed(0, 0));
    EXPECT_EQ(0xFF, Reg(0, 0x5C, 0x74));
    EXPECT_EQ(0xFF, Reg(0, 0x5C, 0x75));

    ASSERT_EQ(0, hw.SetFanAuto(0, kCurveTemps, kCurveSpeeds));
    EXPECT_EQ(0, Reg(0, 0x5C, 0x60) & 0x05);
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(kCurveTemps[i], Reg(0, 0x5C, 0xA0 + i));
    }
    EXPECT_EQ(31, Reg(0, 0x5C, 0xA4));
    EXPECT_EQ(41, Reg(0, 0x5C, 0xA5));
    EXPECT_EQ(62, Reg(0, 0x5C, 0xA6));  // 1500 RPM
    ASSERT_EQ(0, hw.IsFanAuto(0, &isAuto));
    EXPECT_TRUE(isAuto);

    const uint32_t zeroSpeeds[5] = {3000, 0, 0, 0, 0};
    ASSERT_EQ(0, hw.SetFanAuto(0, kCurveTemps, zeroSpeeds));
    EXPECT_EQ(0xFF, Reg(0, 0x5C, 0xA5));

    // A failing write ends the curve with its status.
    ASSERT_TRUE(VcardFailI2c(0, 0x5C, 0xA2, false, kVcardI2cWrite, -5));
    EXPECT_EQ(-5, hw.SetFanAuto(0, kCurveTemps, kCurveSpeeds));
}

TEST_F(HardwareFan, Adt7473FirstOutputWithTachometer) {
    Reset("adt7473");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    ASSERT_TRUE(hw.HasTachometer(0));
    ASSERT_EQ(1, hw.GetFanWiring(0));

    ASSERT_EQ(0, hw.SetFanSpeed(0, 45));
    EXPECT_EQ(115, Reg(0, 0x5C, 0x30));
    EXPECT_EQ(0xE0, Reg(0, 0x5C, 0x5C) & 0xE0);
    EXPECT_EQ(0xFF, Reg(0, 0x5C, 0x38));  // the saved limit is lifted for a manual duty
    uint32_t value = 0;
    ASSERT_EQ(0, hw.ReadFanSpeed(0, &value, false));
    EXPECT_EQ(45u, value);
    BOOL isAuto = TRUE;
    ASSERT_EQ(0, hw.IsFanAuto(0, &isAuto));  // asked of the driver on this wiring
    EXPECT_FALSE(isAuto);

    ASSERT_TRUE(VcardSettle());
    ASSERT_EQ(0, hw.ReadFanSpeed(0, &value, true));
    EXPECT_NEAR(Info(0).fanRpm, (double)value, Info(0).fanRpm * 0.02 + 2);
    EXPECT_GT(value, 100u);

    ASSERT_EQ(0, hw.SetFanSpeed(0, 100));
    EXPECT_EQ(255, Reg(0, 0x5C, 0x30));

    ASSERT_EQ(0, hw.SetFanAuto(0, NULL, NULL));
    EXPECT_EQ(0xE6, Reg(0, 0x5C, 0x38));  // the BIOS limit is back
    ASSERT_EQ(0, hw.IsFanAuto(0, &isAuto));
    EXPECT_TRUE(isAuto);
}

TEST_F(HardwareFan, Adt7473WithoutTachometerReadsPercent) {
    Reset("adt7473-notach");
    SetReg(0, 0x5C, 0x38, 0x40);  // a limit without bit 7 is not saved
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    ASSERT_FALSE(hw.HasTachometer(0));
    EXPECT_EQ(-1, hw.SavedMaximumDuty(0));
    SetReg(0, 0x5C, 0x5C, Reg(0, 0x5C, 0x5C) | 0xE0);
    SetReg(0, 0x5C, 0x30, 115);
    uint32_t value = 0;
    ASSERT_EQ(0, hw.ReadFanSpeed(0, &value, true));
    EXPECT_EQ(45u, value);
    ASSERT_EQ(0, hw.SetFanSpeed(0, 60));
    EXPECT_EQ(0x40, Reg(0, 0x5C, 0x38));  // nothing saved, so the limit is left alone
    EXPECT_EQ(153, Reg(0, 0x5C, 0x30));
}

TEST_F(HardwareFan, Adt7473SecondOutput) {
    Reset("adt7473-pwm2");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    ASSERT_EQ(2, hw.GetFanWiring(0));
    ASSERT_EQ(0, hw.SetFanSpeed(0, 100));
    EXPECT_EQ(255, Reg(0, 0x5C, 0x31));
    EXPECT_EQ(0xE0, Reg(0, 0x5C, 0x5D) & 0xE0);
    BOOL isAuto = TRUE;
    ASSERT_EQ(0, hw.IsFanAuto(0, &isAuto));
    EXPECT_FALSE(isAuto);
    uint32_t value = 0;
    ASSERT_EQ(0, hw.ReadFanSpeed(0, &value, true));  // measured is not honoured on output 2
    EXPECT_EQ(100u, value);
    ASSERT_EQ(0, hw.SetFanAuto(0, NULL, NULL));
    EXPECT_EQ(0, Reg(0, 0x5C, 0x5D) & 0xE0);
    ASSERT_EQ(0, hw.IsFanAuto(0, &isAuto));
    EXPECT_TRUE(isAuto);
}

TEST_F(HardwareFan, DriverCooler) {
    Reset("driver-fan");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    ASSERT_FALSE(hw.HasMonitorChip(0));
    ASSERT_FALSE(hw.HasAdt7473(0));
    ASSERT_TRUE(hw.HasFanControl(0));
    ASSERT_EQ(0, hw.SetFanSpeed(0, 60));
    EXPECT_EQ(60u, Info(0).coolerLevel);
    EXPECT_EQ(1u, Info(0).coolerPolicy);
    uint32_t value = 0;
    ASSERT_EQ(0, hw.ReadFanSpeed(0, &value, true));
    EXPECT_EQ(60u, value);
    BOOL isAuto = TRUE;
    ASSERT_EQ(0, hw.IsFanAuto(0, &isAuto));
    EXPECT_FALSE(isAuto);
    ASSERT_EQ(0, hw.SetFanAuto(0, NULL, NULL));
    EXPECT_NE(1u, Info(0).coolerPolicy);
    ASSERT_EQ(0, hw.IsFanAuto(0, &isAuto));
    EXPECT_TRUE(isAuto);
}

TEST_F(HardwareFan, NoFanControl) {
    Reset("no-fan");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    ASSERT_EQ(0, hw.GetFanWiring(0));
    EXPECT_FALSE(hw.HasFanControl(0));
    uint32_t value = 0;
    BOOL isAuto = FALSE;
    EXPECT_EQ(-104, hw.ReadFanSpeed(0, &value, true));
    EXPECT_EQ(-104, hw.SetFanSpeed(0, 50));
    EXPECT_EQ(-104, hw.SetFanAuto(0, NULL, NULL));
    EXPECT_EQ(-104, hw.IsFanAuto(0, &isAuto));
    uint8_t byte = 0;
    EXPECT_EQ(-104, hw.ReadBoardTemperature(0, &byte));
    EXPECT_EQ(-104, hw.ReadTemperatureOffset(0, &byte));
    int32_t celsius = 0;
    EXPECT_EQ(0, hw.ReadGpuTemperature(0, &celsius));
}

TEST_F(HardwareFan, FindFanCoolerTakesTheFirstFan) {
    NvCoolerSettings record;
    memset(&record, 0, sizeof(record));
    record.count = 3;
    record.cooler[0].type = 2;
    record.cooler[1].type = 1;
    record.cooler[2].type = 1;
    uint32_t index = 9;
    EXPECT_EQ(0, HardwareObject::FindFanCooler(record, &index));
    EXPECT_EQ(1u, index);
    record.cooler[1].type = record.cooler[2].type = 3;
    EXPECT_EQ(-1, HardwareObject::FindFanCooler(record, &index));
    record.count = 0xFFFFFFFF;  // a garbage count stops at the record's three coolers
    EXPECT_EQ(-1, HardwareObject::FindFanCooler(record, &index));
}

TEST_F(HardwareFan, I2cMutexHeldElsewhereTimesOut) {
    Reset("monitorchip");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    VcardI2cMutexHold hold;
    ASSERT_TRUE(hold.Start(4000));
    uint32_t before = I2cTransactions();
    DWORD start = GetTickCount();
    uint8_t value = 0;
    EXPECT_EQ(-1, hw.ReadRegister(0, 0x14, &value, true));
    DWORD waited = GetTickCount() - start;
    EXPECT_GE(waited, 1900u);
    EXPECT_LT(waited, 3500u);
    EXPECT_EQ(before, I2cTransactions());
    hold.Release();
    EXPECT_EQ(0, hw.ReadRegister(0, 0x14, &value, true));
}

TEST_F(HardwareFan, TemperaturesAndMonitorBytes) {
    Reset("monitorchip");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    ASSERT_TRUE(VcardSetDieTemperature(0, 70, true));
    int32_t gpu = 0;
    ASSERT_EQ(0, hw.ReadGpuTemperature(0, &gpu));
    EXPECT_EQ(Info(0).driverCelsius, gpu);
    uint8_t board = 0;
    VcardCounters before, after;
    ASSERT_TRUE(VcardGetCounters(&before));
    ASSERT_EQ(0, hw.ReadBoardTemperature(0, &board));
    ASSERT_TRUE(VcardGetCounters(&after));
    EXPECT_EQ(Reg(0, 0x5C, 0x14), board);
    // Control read and written back with the conversion bit, 0x14, 0x1A.
    EXPECT_EQ(3u, after.calls[kVcardCallI2cRead] - before.calls[kVcardCallI2cRead]);
    EXPECT_EQ(1u, after.calls[kVcardCallI2cWrite] - before.calls[kVcardCallI2cWrite]);
    ASSERT_EQ(0, hw.WriteTemperatureOffset(0, 0xFB));
    uint8_t offset = 0;
    ASSERT_EQ(0, hw.ReadTemperatureOffset(0, &offset));
    EXPECT_EQ(0xFB, offset);
    ASSERT_EQ(0, hw.SetMonitorLimit(0, 100));
    EXPECT_EQ(100, Reg(0, 0x5C, 0x28));
    SetReg(0, 0x5C, 0x02, 0x81);
    uint32_t out = 7;
    ASSERT_EQ(0, hw.PrepareMonitorChip(0, &out));
    EXPECT_EQ(0u, out);
    EXPECT_EQ(0x01, Reg(0, 0x5C, 0x02) & 0x81);
    // A failing transaction passes its status up.
    ASSERT_TRUE(VcardFailI2c(0, 0x5C, 0x14, false, kVcardI2cRead, -7));
    EXPECT_EQ(-7, hw.ReadBoardTemperature(0, &board));
}
