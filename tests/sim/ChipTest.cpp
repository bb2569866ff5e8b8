// The chips on the card's I2C bus, read and written through the driver's I2C
// calls as the program does: the monitor chip and the ADT7473.
#include "DriverClient.h"
#include "SimFixture.h"

using namespace simtest;

namespace {

class ChipTest : public CardTest {
protected:
    static void SetUpTestSuite() { UseState(L"sim-chip-test.state"); }

    void Start(const char* scenario) {
        PowerUp(scenario);
        ASSERT_EQ(0, driver_.Start());
    }
    uint8_t Read(uint8_t address, uint8_t reg, int gpu = 0) {
        uint8_t value = 0xEE;
        EXPECT_EQ(0, driver_.ReadReg(gpu, address, reg, &value)) << "register " << (int)reg;
        return value;
    }
    void Write(uint8_t address, uint8_t reg, uint8_t value, int gpu = 0) {
        EXPECT_EQ(0, driver_.WriteReg(gpu, address, reg, value)) << "register " << (int)reg;
    }
    // Tachometer count, high byte first (monitor chip) or low first (ADT7473).
    int MonitorCount() {
        int high = Read(0x5C, 0x16);
        return high * 256 + Read(0x5C, 0x17);
    }
    int AdtCount(int tach) {
        int low = Read(0x5C, (uint8_t)(0x28 + 2 * tach));
        return Read(0x5C, (uint8_t)(0x29 + 2 * tach)) * 256 + low;
    }

    DriverClient driver_;
};

TEST_F(ChipTest, MonitorChipEchoesItsAddressAndOnlyItAnswers) {
    Start("monitorchip");
    EXPECT_EQ(0x5C, Read(0x5C, 0x04));
    PowerUp("monitorchip-5a");
    uint8_t value;
    EXPECT_EQ(-1, driver_.ReadReg(0, 0x5C, 0x04, &value));
    EXPECT_EQ(0x5A, Read(0x5A, 0x04));
    Write(0x5A, 0x04, 0x11);
    EXPECT_EQ(0x5A, Read(0x5A, 0x04)) << "read-only";
}

TEST_F(ChipTest, MonitorChipManualTargetDrivesTheFanAndTheTachometerCountsIt) {
    Start("monitorchip");
    Write(0x5C, 0x60, (uint8_t)((Read(0x5C, 0x60) & 0xFB) | 0x01));
    Write(0x5C, 0x74, 0x01);  // 1,500,000 / 3000 = 500 = 0x01F4
    Write(0x5C, 0x75, 0xF4);
    ASSERT_TRUE(VcardAdvance(15000));
    EXPECT_NEAR(3000, Info().fanRpm, 1);
    EXPECT_TRUE(Info().fanManual);
    EXPECT_EQ(500, MonitorCount());

    Write(0x5C, 0x74, 0x05);  // 1500 = 1000 RPM
    Write(0x5C, 0x75, 0xDC);
    ASSERT_TRUE(VcardAdvance(600));
    double midway = Info().fanRpm;
    EXPECT_GT(midway, 1000) << "the fan takes time to slow down";
    EXPECT_LT(midway, 3000);
    ASSERT_TRUE(VcardAdvance(15000));
    EXPECT_EQ(1500, MonitorCount());
}

TEST_F(ChipTest, MonitorChipTachometerHighByteFreezesTheLowByte) {
    Start("monitorchip");
    Write(0x5C, 0x60, 0x01);
    Write(0x5C, 0x74, 0x01);
    Write(0x5C, 0x75, 0xF4);
    ASSERT_TRUE(VcardAdvance(20000));
    EXPECT_EQ(0x01, Read(0x5C, 0x16));
    Write(0x5C, 0x74, 0x05);
    Write(0x5C, 0x75, 0xDC);
    ASSERT_TRUE(VcardAdvance(20000));
    EXPECT_EQ(0xF4, Read(0x5C, 0x17)) << "the low byte of the count the high byte came from";
    EXPECT_EQ(1500, MonitorCount());
}

TEST_F(ChipTest, MonitorChipFollowsItsOwnCurveInAutomaticMode) {
    Start("monitorchip");
    // The program's curve: thresholds 75 and 50, speeds 3000, 2250, 1500.
    const uint8_t temps[4] = {75, 50, 0, 0};
    const int speeds[5] = {3000, 2250, 1500, 1500, 1500};
    Write(0x5C, 0x60, (uint8_t)(Read(0x5C, 0x60) & 0xFA));
    for (int i = 0; i < 4; ++i)
        Write(0x5C, (uint8_t)(0xA0 + i), temps[i]);
    for (int i = 0; i < 5; ++i)
        Write(0x5C, (uint8_t)(0xA4 + i), (uint8_t)((1500000 / speeds[i]) >> 4));
    EXPECT_EQ(62, Read(0x5C, 0xA6)) << "1500 RPM is 1000 >> 4";

    struct Case {
        double die;
        double rpm;  // from the curve byte: 1,500,000 / (byte * 16)
    };
    // The chip reads 6 degrees below the die (no offset yet).
    const Case cases[] = {{40, 1512.1}, {57, 2286.6}, {80, 2286.6}, {82, 3024.2}, {100, 3024.2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.die);
        ASSERT_TRUE(VcardSetDieTemperature(0, c.die, true));
        ASSERT_TRUE(VcardAdvance(20000));
        EXPECT_NEAR(c.rpm, Info().fanRpm, 0.5);
        EXPECT_FALSE(Info().fanManual);
    }
}

TEST_F(ChipTest, MonitorChipLimitAndFullSpeedBitOverrideTheCurve) {
    Start("monitorchip");
    ASSERT_TRUE(VcardSetDieTemperature(0, 45, true));
    ASSERT_TRUE(VcardAdvance(20000));
    EXPECT_LT(Info().fanRpm, 2000);
    Write(0x5C, 0x28, 35);
    ASSERT_TRUE(VcardAdvance(20000));
    EXPECT_NEAR(3200, Info().fanRpm, 0.5) << "over its limit the chip runs the fan flat out";
    Write(0x5C, 0x28, 110);
    Write(0x5C, 0x60, 0x06);
    ASSERT_TRUE(VcardAdvance(20000));
    EXPECT_NEAR(3200, Info().fanRpm, 0.5);
    Write(0x5C, 0x60, 0x04);
    ASSERT_TRUE(VcardAdvance(20000));
    EXPECT_LT(Info().fanRpm, 2000);
}

TEST_F(ChipTest, MonitorChipTemperatureIsConvertedOnRequestWithItsOffset) {
    Start("monitorchip");
    ASSERT_TRUE(VcardSetDieTemperature(0, 60, true));
    EXPECT_EQ(39, Read(0x5C, 0x14)) << "still the power-up conversion (45 - 6)";
    Write(0x5C, 0x01, (uint8_t)(Read(0x5C, 0x01) | 0x04));
    EXPECT_EQ(0, Read(0x5C, 0x01) & 0x04) << "the conversion bit clears itself";
    EXPECT_EQ(54, Read(0x5C, 0x14));
    Read(0x5C, 0x1A);

    Write(0x5C, 0x64, 6);
    Write(0x5C, 0x01, 0x04);
    EXPECT_EQ(60, Read(0x5C, 0x14));
    Write(0x5C, 0x64, 0xF6);  // -10
    Write(0x5C, 0x01, 0x04);
    EXPECT_EQ(44, Read(0x5C, 0x14));
    EXPECT_EQ(0xF6, Read(0x5C, 0x64));

    ASSERT_TRUE(VcardSetDieTemperature(0, 60.5, true));
    Write(0x5C, 0x64, 0);
    Write(0x5C, 0x01, 0x04);
    EXPECT_EQ(54, Read(0x5C, 0x14));
    EXPECT_EQ(0x80, Read(0x5C, 0x1A)) << "half a degree in bits 7..6";
}

TEST_F(ChipTest, MonitorChipKeepsTheRegistersThePanelPreparesWith) {
    Start("monitorchip");
    uint8_t status = Read(0x5C, 0x02);
    EXPECT_EQ(1, status & 1);
    Write(0x5C, 0x02, (uint8_t)(status & 0x7F));
    EXPECT_EQ(status & 0x7F, Read(0x5C, 0x02));
    Read(0x5C, 0x92);
    Write(0x5C, 0x28, 100);
    EXPECT_EQ(100, Read(0x5C, 0x28));
}

TEST_F(ChipTest, Adt7473IdentifiesItself) {
    Start("adt7473");
    EXPECT_EQ(0x73, Read(0x5C, 0x3D));
    EXPECT_EQ(0x41, Read(0x5C, 0x3E));
    Write(0x5C, 0x7B, 0x55);
    EXPECT_EQ(0x55, Read(0x5C, 0x7B));
    uint8_t value;
    EXPECT_EQ(-1, driver_.ReadReg(0, 0x5A, 0x04, &value));
    PowerUp("monitorchip");
    EXPECT_NE(0x73, Read(0x5C, 0x3D)) << "the monitor chip is no ADT7473";
}

TEST_F(ChipTest, Adt7473ManualModeThroughTheConfigurationBits) {
    Start("adt7473");
    Write(0x5C, 0x30, 10);
    EXPECT_NE(10, Read(0x5C, 0x30)) << "duty writes are ignored in automatic mode";
    Write(0x5C, 0x5C, (uint8_t)(Read(0x5C, 0x5C) | 0xE0));
    Write(0x5C, 0x30, 115);  // 45 %
    EXPECT_EQ(115, Read(0x5C, 0x30));
    EXPECT_EQ(45, 115 * 100 / 255);
    ASSERT_TRUE(VcardAdvance(15000));
    EXPECT_TRUE(Info().fanManual);
    double rpm = 3200.0 * 115 / 255;
    EXPECT_NEAR(rpm, Info().fanRpm, 0.5);
    EXPECT_NEAR(5400000 / rpm, AdtCount(0), 1.0);

    Write(0x5C, 0x5C, (uint8_t)(Read(0x5C, 0x5C) & 0x1F));
    EXPECT_FALSE(Info().fanManual);
}

TEST_F(ChipTest, Adt7473MaximumDutyCapsTheAutomaticDuty) {
    Start("adt7473");
    EXPECT_EQ(0xE6, Read(0x5C, 0x38)) << "as the scenario's BIOS left it";
    ASSERT_TRUE(VcardSetDieTemperature(0, 105, true));
    EXPECT_EQ(0xE6, Read(0x5C, 0x30));
    Write(0x5C, 0x38, 0xFF);
    EXPECT_EQ(0xFF, Read(0x5C, 0x30));
    ASSERT_TRUE(VcardSetDieTemperature(0, 40, true));
    EXPECT_EQ(0x4D, Read(0x5C, 0x30)) << "below Tmin: the minimum duty";
    ASSERT_TRUE(VcardSetDieTemperature(0, 66, true));
    int halfway = Read(0x5C, 0x30);  // 16 of a 32 degree range
    EXPECT_NEAR(0x4D + (255 - 0x4D) / 2, halfway, 2);
}

TEST_F(ChipTest, Adt7473StalledOrUnwiredTachometerReadsAllOnes) {
    Start("adt7473");
    Write(0x5C, 0x5C, 0xE2);
    Write(0x5C, 0x30, 0);
    ASSERT_TRUE(VcardAdvance(20000));
    EXPECT_EQ(0, Info().fanRpm);
    EXPECT_EQ(0xFFFF, AdtCount(0));

    PowerUp("adt7473-notach");
    ASSERT_TRUE(VcardAdvance(5000));
    EXPECT_GT(Info().fanRpm, 500);
    EXPECT_EQ(0xFFFF, AdtCount(0));
}

TEST_F(ChipTest, Adt7473FanOnTheSecondOutputFollowsPwm2Only) {
    Start("adt7473-pwm2");
    Write(0x5C, 0x5D, (uint8_t)(Read(0x5C, 0x5D) | 0xE0));
    Write(0x5C, 0x31, 255);
    Write(0x5C, 0x5C, 0xE2);
    Write(0x5C, 0x30, 0);
    ASSERT_TRUE(VcardAdvance(15000));
    EXPECT_NEAR(3200, Info().fanRpm, 0.5);
    EXPECT_EQ(0xFFFF, AdtCount(0)) << "the sense wire goes to TACH 2";
    EXPECT_EQ(5400000 / 3200, AdtCount(1));
    Write(0x5C, 0x31, 128);
    ASSERT_TRUE(VcardAdvance(15000));
    EXPECT_NEAR(3200.0 * 128 / 255, Info().fanRpm, 0.5);
}

TEST_F(ChipTest, Adt7473LowByteFreezesTheHighByte) {
    Start("adt7473");
    Write(0x5C, 0x5C, 0xE2);
    Write(0x5C, 0x30, 255);  // count 1687 = 0x0697
    ASSERT_TRUE(VcardAdvance(20000));
    EXPECT_EQ(0x97, Read(0x5C, 0x28));
    Write(0x5C, 0x30, 64);  // count 6723 = 0x1A43
    ASSERT_TRUE(VcardAdvance(20000));
    EXPECT_EQ(0x06, Read(0x5C, 0x29));
    EXPECT_EQ(0x1A, AdtCount(0) >> 8);
}

TEST_F(ChipTest, Adt7473PulsesPerTurnScaleTheCount) {
    Start("adt7473");
    Write(0x5C, 0x5C, 0xE2);
    Write(0x5C, 0x30, 255);
    ASSERT_TRUE(VcardAdvance(20000));
    int two = AdtCount(0);
    Write(0x5C, 0x7B, 0x57);  // TACH 1 at four pulses: twice the time
    EXPECT_NEAR(2 * two, AdtCount(0), 2);
}

TEST_F(ChipTest, DriverCoolerControlProgramsTheAdt7473FirstOutput) {
    Start("adt7473");
    ASSERT_EQ(0, driver_.SetCooler(0, 60, 1));
    EXPECT_EQ(0xE0, Read(0x5C, 0x5C) & 0xE0);
    EXPECT_EQ(153, Read(0x5C, 0x30));
    CoolerSettings c;
    ASSERT_EQ(0, driver_.Coolers(0, &c));
    EXPECT_EQ(1u, c.cooler[0].currentPolicy);
    EXPECT_EQ(60u, c.cooler[0].currentLevel);

    Write(0x5C, 0x5C, 0x02);  // another program switches the chip back
    ASSERT_EQ(0, driver_.Coolers(0, &c));
    EXPECT_NE(1u, c.cooler[0].currentPolicy) << "the driver reads the chip, not its memory";

    ASSERT_EQ(0, driver_.SetCooler(0, 60, 1));
    ASSERT_EQ(0, driver_.SetCooler(0, 0, c.cooler[0].defaultPolicy));
    EXPECT_EQ(0x02, Read(0x5C, 0x5C)) << "automatic: the BIOS's configuration";
}

TEST_F(ChipTest, InjectedI2cFaultsFireOnceOrAlwaysForTheirRegister) {
    Start("adt7473");
    uint8_t value;
    ASSERT_TRUE(VcardFailI2c(0, 0x5C, 0x28, false));
    EXPECT_EQ(0, driver_.ReadReg(0, 0x5C, 0x29, &value)) << "other register";
    EXPECT_EQ(-1, driver_.ReadReg(0, 0x5C, 0x28, &value));
    EXPECT_EQ(0, driver_.ReadReg(0, 0x5C, 0x28, &value)) << "once";

    ASSERT_TRUE(VcardFailI2c(-1, 0x5C, -1, true, kVcardI2cWrite, -5));
    EXPECT_EQ(0, driver_.ReadReg(0, 0x5C, 0x3D, &value)) << "reads pass a write fault";
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(-5, driver_.WriteReg(0, 0x5C, 0x30, 1));
    ASSERT_TRUE(VcardClearFaults());
    EXPECT_EQ(0, driver_.WriteReg(0, 0x5C, 0x7B, 0x55));

    VcardCounters c;
    ASSERT_TRUE(VcardGetCounters(&c));
    EXPECT_EQ(4u, c.i2cFailures);
}

// A sweep fails the nth call of an operation: exactly that one, once, and
// an I2C count sees bus transactions only.
TEST_F(ChipTest, CountedFaultsFailTheNthCallOnce) {
    Start("adt7473");
    uint8_t value;
    ASSERT_TRUE(VcardFailNth(kVcardNthI2c, 3, -7));
    EXPECT_EQ(0, driver_.ReadReg(0, 0x5C, 0x3D, &value));
    EXPECT_EQ(0, driver_.WriteReg(0, 0x5C, 0x7B, 0x55));
    EXPECT_TRUE(VcardNthPending(kVcardNthI2c));
    EXPECT_EQ(-7, driver_.ReadReg(0, 0x5C, 0x3D, &value));
    EXPECT_FALSE(VcardNthPending(kVcardNthI2c));
    EXPECT_EQ(0, driver_.ReadReg(0, 0x5C, 0x3D, &value)) << "once";

    ASSERT_TRUE(VcardFailNth(kVcardNthDriverCall, 2));
    EXPECT_EQ(0, driver_.ReadReg(0, 0x5C, 0x3D, &value));
    EXPECT_EQ(-1, driver_.WriteReg(0, 0x5C, 0x7B, 0x66)) << "a driver call whatever its kind";
    uint8_t after = 0;
    ASSERT_TRUE(VcardReadRegister(0, 0x5C, 0x7B, &after));
    EXPECT_EQ(0x55, after) << "the failed write reached no chip";
}

TEST_F(ChipTest, HeldI2cMutexIsTheOtherProgramOnTheBus) {
    Start("monitorchip");
    VcardI2cMutexHold hold;
    ASSERT_TRUE(hold.Start(3000));
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"HwObj_I2cMutex");
    ASSERT_NE(nullptr, mutex);
    DWORD start = GetTickCount();
    EXPECT_EQ((DWORD)WAIT_TIMEOUT, WaitForSingleObject(mutex, 500));
    EXPECT_GE(GetTickCount() - start, 450u);
    hold.Release();
    EXPECT_EQ((DWORD)WAIT_OBJECT_0, WaitForSingleObject(mutex, 1000));
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

}  // namespace
