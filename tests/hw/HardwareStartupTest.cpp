// Start of the hardware against the virtual card: driver binding, GPUs,
// chip detection, the BIOS fan-wiring signatures and the start-up worker.

#include "VcardFixture.h"

#include "NvapiBinding.h"

namespace {

bool ReadyMessageArrived() {
    MSG msg;
    return PeekMessageW(&msg, (HWND)-1, kUmHardwareReady, kUmHardwareReady, PM_REMOVE) != 0;
}

}  // namespace

class HardwareStartup : public VcardTest {};

TEST_F(HardwareStartup, BindingFailures) {
    Reset("monitorchip");
    NvapiBinding missing("hw_no_such_driver.dll");
    EXPECT_EQ(-2, missing.Bind());
    uint32_t count = 0;
    NvPhysicalGpuHandle handles[kNvMaxPhysicalGpus];
    EXPECT_EQ(-4, missing.EnumPhysicalGpus(handles, &count));  // unbound slots answer the fallback

    NvapiBinding noQuery("inicd.dll");  // a library without nvapi_QueryInterface
    EXPECT_EQ(-1, noQuery.Bind());

    Reset("no-driver");
    NvapiBinding failing;
    EXPECT_EQ(-1, failing.Bind());
    HardwareObject hw;
    EXPECT_EQ(1, Start(hw));
    EXPECT_EQ(0, hw.GpuCount());

    Reset("no-gpu");
    HardwareObject none;
    EXPECT_EQ(1, Start(none));

    Reset("monitorchip");
    EXPECT_EQ(0, failing.Bind()) << "a driver up later is bound at the next try";
    NvapiBinding bound;
    EXPECT_EQ(0, bound.Bind());
    EXPECT_EQ(0, bound.EnumPhysicalGpus(handles, &count));
    EXPECT_EQ(1u, count);
}

TEST_F(HardwareStartup, OneGpuWithMonitorChip) {
    Reset("monitorchip");
    SetReg(0, 0x5C, 0x60, Reg(0, 0x5C, 0x60) | 0x02);  // full speed forced, as a BIOS may leave it
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    EXPECT_TRUE(ReadyMessageArrived());
    EXPECT_EQ(1, hw.GpuCount());
    EXPECT_TRUE(hw.HasMonitorChip(0));
    EXPECT_EQ(0x5C, hw.MonitorChipAddress(0));
    EXPECT_FALSE(hw.HasAdt7473(0));
    EXPECT_TRUE(hw.HasFanControl(0));
    EXPECT_TRUE(hw.HasShaderClock(0));
    PerfCapabilities caps = hw.GetPerfCapabilities(0);
    EXPECT_TRUE(caps.has2DLevel && caps.has3DLevel);
    EXPECT_EQ(0, Reg(0, 0x5C, 0x60) & 0x02);
    EXPECT_TRUE(hw.PortIoReady());
    EXPECT_FALSE(hw.IsWow64());
    // The second GPU's entries keep their initial values.
    EXPECT_FALSE(hw.HasMonitorChip(1));
    EXPECT_EQ(1, hw.GetFanWiring(1));
    EXPECT_EQ(-1, hw.SavedMaximumDuty(1));
    EXPECT_EQ(kNvNotSupported, hw.ReadFanSpeed(1, NULL, true));
}

TEST_F(HardwareStartup, MonitorChipAt5AAfter5CDoesNotEcho) {
    Reset("monitorchip-5a");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    EXPECT_EQ(0x5A, hw.MonitorChipAddress(0));
    EXPECT_FALSE(hw.HasAdt7473(0));

    // A chip at 0x5C that answers with the wrong echo is not taken either.
    Reset("monitorchip");
    ASSERT_TRUE(VcardFailI2c(0, 0x5C, 0x04, true));
    HardwareObject failing;
    ASSERT_EQ(0, Start(failing));
    EXPECT_FALSE(failing.HasMonitorChip(0));
}

TEST_F(HardwareStartup, Adt7473ProbeTachometerAndMaximumDuty) {
    struct Case {
        const char* scenario;
        int32_t wiring;
        bool tachometer;
    } cases[] = {
        {"adt7473", 1, true},
        {"adt7473-notach", 1, false},
        {"adt7473-pwm2", 2, false},  // the fan's sense wire reaches the second input
    };
    for (const Case& c : cases) {
        Reset(c.scenario);
        SetReg(0, 0x5C, 0x7B, 0);
        BOOL autoBefore = FALSE;
        HardwareObject hw;
        ASSERT_EQ(0, Start(hw)) << c.scenario;
        EXPECT_FALSE(hw.HasMonitorChip(0)) << c.scenario;
        EXPECT_TRUE(hw.HasAdt7473(0)) << c.scenario;
        EXPECT_EQ(0x55, Reg(0, 0x5C, 0x7B)) << c.scenario;
        EXPECT_EQ(c.wiring, hw.GetFanWiring(0)) << c.scenario;
        EXPECT_EQ(c.tachometer, hw.HasTachometer(0)) << c.scenario;
        // The test spun the fan at 45 % and put it back in automatic mode.
        ASSERT_EQ(0, hw.IsFanAuto(0, &autoBefore)) << c.scenario;
        EXPECT_TRUE(autoBefore) << c.scenario;
    }
    Reset("adt7473");  // its BIOS limits the duty: 0x38 = 0xE6
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    EXPECT_EQ(0xE6, hw.SavedMaximumDuty(0));
}

TEST_F(HardwareStartup, TachometerWithOneGoodPassOfFiveIsAbsent) {
    Reset("adt7473");
    // Four of the five high-byte reads fail: one good pass.
    for (int i = 0; i < 4; i++) {
        ASSERT_TRUE(VcardFailI2c(0, 0x5C, 0x29, false, kVcardI2cRead));
    }
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    EXPECT_FALSE(hw.HasTachometer(0));

    Reset("adt7473");
    for (int i = 0; i < 3; i++) {
        ASSERT_TRUE(VcardFailI2c(0, 0x5C, 0x29, false, kVcardI2cRead));
    }
    HardwareObject two;
    ASSERT_EQ(0, Start(two));
    EXPECT_TRUE(two.HasTachometer(0));
}

TEST_F(HardwareStartup, BiosSignaturesFromPhysicalMemory) {
    struct Case {
        const char* name;
        size_t at;
        const char* text;
        int32_t wiring;
    } cases[] = {
        {"no fan at 0", 0, "Vxxx DM", 0},
        {"pwm2 at 592", 592, "Vxxx -F", 2},
        {"593 is not searched", 593, "Vxxx -F", 1},
        {"both: the lower wins", 100, "Vxxx -F....Vxxx DM", 2},
        {"none", 0, "plain", 1},
    };
    for (const Case& c : cases) {
        Reset("monitorchip");
        PlaceBiosText(0, c.at, c.text);
        HardwareObject hw;
        ASSERT_EQ(0, Start(hw)) << c.name;
        ASSERT_TRUE(hw.PortIoReady());
        EXPECT_EQ(c.wiring, hw.GetFanWiring(0)) << c.name;
    }
}

TEST_F(HardwareStartup, WithoutPhysicalMemoryTheBackupIsUsed) {
    Reset("monitorchip");
    PlaceBiosText(0, 20, "Vxxx DM");
    ASSERT_TRUE(VcardFailWinIo(2));
    DeleteFileW(L"VPCurr.rom");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    EXPECT_FALSE(hw.PortIoReady());
    EXPECT_EQ(0, hw.GetFanWiring(0));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES != GetFileAttributesW(L"VPCurr.rom"), true);

    // A second attempt of InitializeWinIo is enough.
    Reset("monitorchip");
    PlaceBiosText(0, 20, "Vxxx -F");
    ASSERT_TRUE(VcardFailWinIo(1));
    HardwareObject second;
    ASSERT_EQ(0, Start(second));
    EXPECT_TRUE(second.PortIoReady());
    EXPECT_EQ(2, second.GetFanWiring(0));

    // A backup without a signature leaves the wiring as it was; so does a
    // backup image shorter than the 600 bytes read.
    Reset("monitorchip");
    PlaceBiosText(0, 0, "nothing", 100);
    ASSERT_TRUE(VcardFailWinIo(2));
    HardwareObject shortImage;
    ASSERT_EQ(0, Start(shortImage));
    EXPECT_EQ(1, shortImage.GetFanWiring(0));

    Reset("monitorchip");
    PlaceBiosText(0, 40, "Vxxx DM", 100);
    ASSERT_TRUE(VcardFailWinIo(2));
    HardwareObject shortSigned;
    ASSERT_EQ(0, Start(shortSigned));
    EXPECT_EQ(0, shortSigned.GetFanWiring(0));
}

// A 32-bit program on 64-bit Windows never starts port I/O: GPU 0's BIOS
// text comes from the flash tool's backup even though the library is there.
TEST_F(HardwareStartup, Wow64TakesTheBackupPath) {
    Reset("monitorchip");
    PlaceBiosText(0, 20, "Vxxx -F");
    DeleteFileW(L"VPCurr.rom");
    ASSERT_TRUE(VcardResetCounters());
    HardwareObject hw;
    hw.ForceWow64ForTest();
    ASSERT_EQ(0, Start(hw));
    EXPECT_TRUE(hw.IsWow64());
    EXPECT_FALSE(hw.PortIoReady());
    VcardCounters counters;
    ASSERT_TRUE(VcardGetCounters(&counters));
    EXPECT_EQ(0u, counters.physReads);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(L"VPCurr.rom"));
    EXPECT_EQ(2, hw.GetFanWiring(0));
}

TEST_F(HardwareStartup, TwoGpusSecondFromBackup) {
    Reset("sli");
    PlaceBiosText(1, 7, "Vxxx DM");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    ASSERT_EQ(2, hw.GpuCount());
    EXPECT_TRUE(hw.HasMonitorChip(0));
    EXPECT_FALSE(hw.HasMonitorChip(1));
    EXPECT_FALSE(hw.HasAdt7473(1));
    EXPECT_EQ(0, hw.GetFanWiring(1));  // read from nvflash's backup of GPU 1
    EXPECT_FALSE(hw.HasFanControl(1));
    wchar_t key0[9], key1[9];
    ASSERT_EQ(0, hw.ReadDeviceKey(0, key0));
    ASSERT_EQ(0, hw.ReadDeviceKey(1, key1));
    EXPECT_STREQ(L"0611", key0);
    EXPECT_STREQ(L"0600", key1);
}

TEST_F(HardwareStartup, NotifyWindowReceivesDestroy) {
    Reset("monitorchip");
    HWND window = CreateWindowExW(0, L"STATIC", L"wait", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ASSERT_TRUE(window != NULL);
    HardwareObject hw;
    hw.SetNotifyWindow(window);
    ASSERT_EQ(0, Start(hw));
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, window, WM_DESTROY, WM_DESTROY, PM_REMOVE));
    EXPECT_FALSE(ReadyMessageArrived());
    DestroyWindow(window);
}
