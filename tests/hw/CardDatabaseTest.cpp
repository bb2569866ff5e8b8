// The card database load and the thermal calibration against the virtual
// card.

#include "VcardFixture.h"

#include <string>
#include <vector>

#include "CardDatabase.h"
#include "CardSettings.h"
#include "DMiniCipher.h"
#include "IniReader.h"
#include "ThermalCalibration.h"

namespace {

// Writes text as the build does: UTF-16 with a byte-order mark, scrambled.
void WriteDatabase(const wchar_t* name, const std::wstring& text) {
    std::vector<uint16_t> units;
    units.push_back(0xFEFF);
    units.insert(units.end(), text.begin(), text.end());
    DMiniScramble(units.data(), units.size());
    FILE* f = _wfopen(name, L"wb");
    ASSERT_TRUE(f != NULL);
    fwrite(units.data(), 2, units.size(), f);
    fclose(f);
}

const wchar_t kTestDb[] = L"hw_test_dmini.bin";

}  // namespace

class CardDatabase : public VcardTest {
protected:
    void TearDown() override { _wremove(kTestDb); }
};

TEST_F(CardDatabase, ShippedEntryForTheDefaultCard) {
    Reset("monitorchip");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    CardSettings s;
    ASSERT_EQ(0, LoadCardDatabase(L"DMini", hw, s));
    EXPECT_STREQ(L"0611", s.DeviceKey(0));
    EXPECT_EQ(3000u, s.Fan(0, kFanMaximum));
    EXPECT_EQ(2160u, s.Fan(0, kFanNormal));
    EXPECT_EQ(1350u, s.Fan(0, kFanSilent));
    EXPECT_EQ(80, s.Short(0, kMaxTemperatureThreshold));
    EXPECT_EQ(55, s.Short(0, kNormalTemperatureThreshold));
    EXPECT_EQ(110, s.Short(0, kAuxSliderHigh));
    EXPECT_EQ(90, s.Short(0, kAuxSliderLow));
    EXPECT_EQ((uint32_t)kFanAutoMode, s.FanWorkMode(0));
    EXPECT_EQ(1800u, s.Fan(0, kFanManual));  // the chip's power-up target
    EXPECT_EQ((uint32_t)kClockLevel2D, s.ClockLevel(0));
    VcardCardInfo info = Info(0);
    EXPECT_EQ(info.level[0].lower[0], s.Clock(0, kGpu2DMin));
    EXPECT_EQ(info.level[1].frequency[0], s.Clock(0, kGpu3DClock));
    EXPECT_EQ(info.level[1].upper[2], s.Clock(0, kShader3DMax));
    // The ceilings: 750 MHz for the core at both levels, 1050 MHz memory.
    EXPECT_EQ(750000u, s.Clock(0, kGpu2DMax));
    EXPECT_EQ(750000u, s.Clock(0, kGpu3DMax));
    EXPECT_EQ(info.level[0].lower[0], s.Clock(0, kGpu2DMin));  // lower limits stay
    EXPECT_EQ(info.level[1].lower[0], s.Clock(0, kGpu3DMin));
    EXPECT_EQ(1050000u, s.Clock(0, kMemoryMax));
    EXPECT_EQ(info.level[0].frequency[1], s.Clock(0, kMemoryClock));
}

TEST_F(CardDatabase, FanKeysAreAllOrNothing) {
    Reset("monitorchip");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    CardSettings s;
    WriteDatabase(kTestDb,
                  L"[  0611_Info ]\r\nMaxSpeed=90\r\nNormalSpeed=60\r\nMaxTemperatureThreshold=80\r\n"
                  L"NormalTemperatureThreshold=60\r\n");
    ASSERT_EQ(0, LoadCardDatabase(kTestDb, hw, s));
    EXPECT_EQ(3000u, s.Fan(0, kFanMaximum));
    EXPECT_EQ(2250u, s.Fan(0, kFanNormal));
    EXPECT_EQ(1500u, s.Fan(0, kFanSilent));
    EXPECT_EQ(75, s.Short(0, kMaxTemperatureThreshold));
    EXPECT_EQ(50, s.Short(0, kNormalTemperatureThreshold));

    WriteDatabase(kTestDb,
                  L"[0611_Inf]\nMaxSpeed=100\nNormalSpeed=70\nSilentSpeed=33\n"
                  L"MaxTemperatureThreshold=   75\nNormalTemperatureThreshold=45\n");
    ASSERT_EQ(0, LoadCardDatabase(kTestDb, hw, s));
    EXPECT_EQ(3000u, s.Fan(0, kFanMaximum));
    EXPECT_EQ(990u, s.Fan(0, kFanSilent));
    EXPECT_EQ(75, s.Short(0, kMaxTemperatureThreshold));
    EXPECT_EQ(45, s.Short(0, kNormalTemperatureThreshold));

    // Damaged numbers cannot ask for more than full speed.
    WriteDatabase(kTestDb,
                  L"[0611_Inf]\nMaxSpeed=400000\nNormalSpeed=-5\nSilentSpeed=x\n"
                  L"MaxTemperatureThreshold=99999\nNormalTemperatureThreshold=45\n");
    ASSERT_EQ(0, LoadCardDatabase(kTestDb, hw, s));
    EXPECT_EQ(3000u, s.Fan(0, kFanMaximum));
    EXPECT_EQ(0u, s.Fan(0, kFanNormal));
    EXPECT_EQ(255, s.Short(0, kMaxTemperatureThreshold));
}

TEST_F(CardDatabase, ClockCeilings) {
    Reset("monitorchip");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    VcardCardInfo info = Info(0);
    CardSettings s;
    // MemoryMaxClock on the last line without a line end is not seen.
    WriteDatabase(kTestDb, L"[0611_Inf]\r\nGpuMaxClock=900\r\nMemoryMaxClock=1200");
    ASSERT_EQ(0, LoadCardDatabase(kTestDb, hw, s));
    EXPECT_EQ(900000u, s.Clock(0, kGpu2DMax));
    EXPECT_EQ(900000u, s.Clock(0, kGpu3DMax));
    EXPECT_EQ(info.level[0].upper[1], s.Clock(0, kMemoryMax));

    // Without GpuMaxClock, MemoryMaxClock is not looked up.
    WriteDatabase(kTestDb, L"[0611_Inf]\r\nMemoryMaxClock=1200\r\n");
    ASSERT_EQ(0, LoadCardDatabase(kTestDb, hw, s));
    EXPECT_EQ(info.level[0].upper[0], s.Clock(0, kGpu2DMax));
    EXPECT_EQ(info.level[0].upper[1], s.Clock(0, kMemoryMax));

    // A ceiling under the lower limit is ignored.
    WriteDatabase(kTestDb, L"[0611_Inf]\r\nGpuMaxClock=100\r\nMemoryMaxClock=1\r\n");
    ASSERT_EQ(0, LoadCardDatabase(kTestDb, hw, s));
    EXPECT_EQ(info.level[0].upper[0], s.Clock(0, kGpu2DMax));
    EXPECT_EQ(info.level[0].upper[1], s.Clock(0, kMemoryMax));
}

TEST_F(CardDatabase, ThreeDOnlyCardTakesMemoryFromThe3DLevel) {
    Reset("3d-only");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    CardSettings s;
    WriteDatabase(kTestDb, L"[0611_Inf]\r\nGpuMaxClock=900\r\nMemoryMaxClock=1200\r\n");
    ASSERT_EQ(0, LoadCardDatabase(kTestDb, hw, s));
    EXPECT_EQ((uint32_t)kClockLevel3D, s.ClockLevel(0));
    EXPECT_EQ(900000u, s.Clock(0, kMemoryClock));
    EXPECT_EQ(1200000u, s.Clock(0, kMemoryMax));
    EXPECT_EQ(900000u, s.Clock(0, kGpu3DMax));
    EXPECT_EQ(0u, s.Clock(0, kGpu2DMax));  // no 2D level: nothing invented for it
}

TEST_F(CardDatabase, DriverCoolerPresetsAndManualMode) {
    Reset("driver-fan");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    ASSERT_EQ(0, hw.SetFanSpeed(0, 65));
    CardSettings s;
    ASSERT_EQ(0, LoadCardDatabase(L"DMini", hw, s));
    EXPECT_STREQ(L"0614", s.DeviceKey(0));
    EXPECT_EQ(25u, s.Fan(0, kFanSilent));
    EXPECT_EQ(100u, s.Fan(0, kFanMaximum));
    EXPECT_EQ((uint32_t)kFanManualMode, s.FanWorkMode(0));
    EXPECT_EQ(65u, s.Fan(0, kFanManual));
    EXPECT_EQ(0, s.Short(0, kMaxTemperatureThreshold));  // only the monitor chip uses them
}

TEST_F(CardDatabase, MissingOrDamagedDatabaseGivesDefaults) {
    Reset("monitorchip");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    CardSettings s;
    ASSERT_EQ(0, LoadCardDatabase(L"no_such_database", hw, s));
    EXPECT_EQ(3000u, s.Fan(0, kFanMaximum));
    EXPECT_EQ(2250u, s.Fan(0, kFanNormal));
    EXPECT_EQ(75, s.Short(0, kMaxTemperatureThreshold));

    // Plain, unscrambled text decodes to noise: defaults again, no crash.
    const wchar_t plain[] = L"\xFEFF[0611_Inf]\r\nMaxSpeed=10\r\n";
    FILE* f = _wfopen(kTestDb, L"wb");
    ASSERT_TRUE(f != NULL);
    fwrite(plain, sizeof(wchar_t), wcslen(plain), f);
    fputc('x', f);  // and of odd length
    fclose(f);
    CardSettings t;
    ASSERT_EQ(0, LoadCardDatabase(kTestDb, hw, t));
    EXPECT_EQ(3000u, t.Fan(0, kFanMaximum));

    // A truncated database (cut mid-entry) keeps what was whole.
    WriteDatabase(kTestDb,
                  L"[0611_Inf]\r\nMaxSpeed=90\r\nNormalSpeed=60\r\nSilentSpeed=40\r\n"
                  L"MaxTemperatureThreshold=70\r\nNormalTemperatureThreshold=50\r\nGpuMaxClock=8");
    CardSettings u;
    ASSERT_EQ(0, LoadCardDatabase(kTestDb, hw, u));
    EXPECT_EQ(2700u, u.Fan(0, kFanMaximum));
    EXPECT_EQ(Info(0).level[0].upper[0], u.Clock(0, kGpu2DMax));
}

TEST_F(CardDatabase, DeviceKeyFailureFailsTheLoad) {
    Reset("monitorchip");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    ASSERT_TRUE(VcardInjectStatusOnce(0x2DDFB66E, -1, -5));
    CardSettings s;
    EXPECT_EQ(5, LoadCardDatabase(L"DMini", hw, s));
}

class Calibration : public VcardTest {
protected:
    // One card with the chip reading `bias` degrees off the die.
    void StartWithBias(HardwareObject& hw, int bias) {
        char text[64];
        snprintf(text, sizeof(text), "[gpu]\nchip_bias = %d\n", bias);
        Reset(ScenarioFile("hw_calibration.scenario", text).c_str());
        ASSERT_TRUE(VcardSetDieTemperature(0, 60, true));
        ASSERT_EQ(0, Start(hw));
    }

    int8_t Offset() { return (int8_t)Reg(0, 0x5C, 0x64); }

    static void FailBoardReads(int count) {
        for (int i = 0; i < count; i++) {
            ASSERT_TRUE(VcardFailI2c(0, 0x5C, 0x14, false, kVcardI2cRead));
        }
    }
};

TEST_F(Calibration, ChipBelowAndAboveTheDriver) {
    struct Case {
        int bias;
        int8_t oldOffset;
        int8_t expected;
    } cases[] = {
        {-6, 0, 6},
        {-6, 2, 6},  // the old offset is already in the reading
        {7, 0, -7},  // chip above the driver: negative differences
        {7, -3, -7},
    };
    for (const Case& c : cases) {
        HardwareObject hw;
        StartWithBias(hw, c.bias);
        SetReg(0, 0x5C, 0x64, (uint8_t)c.oldOffset);
        CalibrateThermalOffset(hw);
        EXPECT_EQ(c.expected, Offset()) << "bias " << c.bias << " old " << (int)c.oldOffset;
        uint8_t board = 0;
        int32_t driver = 0;
        ASSERT_EQ(0, hw.ReadBoardTemperature(0, &board));
        ASSERT_EQ(0, hw.ReadGpuTemperature(0, &driver));
        EXPECT_EQ(driver, board);
    }
}

TEST_F(Calibration, GoodSampleCounts) {
    HardwareObject hw;
    StartWithBias(hw, -4);
    FailBoardReads(5);  // 3 good samples are enough
    CalibrateThermalOffset(hw);
    EXPECT_EQ(4, Offset());

    SetReg(0, 0x5C, 0x64, 0);
    FailBoardReads(6);  // 2 are not: nothing is written
    CalibrateThermalOffset(hw);
    EXPECT_EQ(0, Offset());

    // A card without the chip is left alone.
    Reset("driver-fan");
    HardwareObject none;
    ASSERT_EQ(0, Start(none));
    uint32_t before = I2cTransactions();
    CalibrateThermalOffset(none);
    EXPECT_EQ(before, I2cTransactions());
}

TEST_F(CardDatabase, ShippedDatabaseKnowsEveryVirtualCard) {
    IniReader db;
    ASSERT_EQ(1, db.Load(L"DMini", true));
    for (int i = 0; VcardScenarioName(i); i++) {
        const char* scenario = VcardScenarioName(i);
        Reset(scenario);
        for (int gpu = 0; gpu < VcardGpuCount(); gpu++) {
            wchar_t section[16];
            _snwprintf(section, 16, L"%04x_Inf", Info(gpu).deviceId);
            section[15] = 0;
            int32_t value = 0;
            EXPECT_TRUE(db.GetInt(section, L"MaxSpeed", &value, 10)) << scenario << " gpu " << gpu;
            EXPECT_TRUE(db.GetInt(section, L"GpuMaxClock", &value, 10)) << scenario << " gpu " << gpu;
        }
    }
}

// Start-up loads the database while its worker may hold an ADT7473 fan in
// manual mode at the tachometer test's 45 %. Taken then, the card would
// start (and be saved) as "manual, 45 %"; the state taken again once the
// worker has signalled is the card's own.
TEST_F(CardDatabase, FanStateIsTakenAfterTheStartupFanTest) {
    Reset("adt7473");
    HardwareObject hw;
    hw.SetGuiThreadId(GetCurrentThreadId());
    MSG msg;
    while (PeekMessageW(&msg, (HWND)-1, kUmHardwareReady, kUmHardwareReady, PM_REMOVE)) {
    }
    ASSERT_EQ(0, hw.InitializeHardware());
    // Meet the worker inside its test, as a slow start-up would.
    DWORD start = GetTickCount();
    while (!Info(0).fanManual && GetTickCount() - start < 10000)
        Sleep(1);
    CardSettings s;
    ASSERT_EQ(0, LoadCardDatabase(L"DMini", hw, s));

    start = GetTickCount();
    while (!PeekMessageW(&msg, (HWND)-1, kUmHardwareReady, kUmHardwareReady, PM_REMOVE)) {
        ASSERT_LT(GetTickCount() - start, 60000u) << "the start-up worker never signalled";
        Sleep(10);
    }
    ASSERT_FALSE(Info(0).fanManual);
    ReadFanStates(hw, s);
    EXPECT_EQ((uint32_t)kFanAutoMode, s.FanWorkMode(0));
    EXPECT_TRUE(hw.WaitForStartupCheck(10000));
}
