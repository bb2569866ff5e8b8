// Clock levels against the virtual card, handle recovery, and a driver that
// answers with impossible counts.

#include "VcardFixture.h"

class HardwareClocks : public VcardTest {};

TEST_F(HardwareClocks, ReadLevelsAndCurrentClocks) {
    Reset("monitorchip");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    LevelClocks c2D, c3D;
    memset(&c2D, 0, sizeof(c2D));
    memset(&c3D, 0, sizeof(c3D));
    ASSERT_EQ(0, hw.Read2DClocks(0, &c2D));
    ASSERT_EQ(0, hw.Read3DClocks(0, &c3D));
    VcardCardInfo info = Info(0);
    // Level 0 of the card is its 2D level (flags 1), level 1 its 3D level.
    EXPECT_EQ(info.level[0].frequency[0], c2D.core.frequency);
    EXPECT_EQ(info.level[0].lower[0], c2D.core.lowerLimit);
    EXPECT_EQ(info.level[0].upper[0], c2D.core.upperLimit);
    EXPECT_EQ(info.level[1].frequency[0], c3D.core.frequency);
    EXPECT_EQ(info.level[1].upper[2], c3D.shader.upperLimit);
    EXPECT_EQ(0u, c3D.levelSelector == 4 ? 0u : 1u);
    uint32_t core = 0, shader = 0, memory = 0;
    ASSERT_EQ(0, hw.ReadCurrentClocks(0, &core, &shader, &memory));
    EXPECT_EQ(info.coreKHz, core);
    EXPECT_EQ(info.shaderKHz, shader);
    EXPECT_EQ(info.memoryKHz, memory);
}

TEST_F(HardwareClocks, TrialAndAppliedSettings) {
    Reset("monitorchip");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    LevelClocks c;
    memset(&c, 0, sizeof(c));
    ASSERT_EQ(0, hw.Read3DClocks(0, &c));
    uint32_t applied = c.core.frequency;
    c.core.frequency = applied + 5000;
    ASSERT_EQ(0, hw.Try3DClocks(0, &c));
    VcardCardInfo info = Info(0);
    EXPECT_EQ(applied + 5000, info.level[1].trial[0]);
    EXPECT_EQ(applied, info.level[1].frequency[0]);  // a trial leaves the setting alone

    c.core.frequency = applied + 10000;
    ASSERT_EQ(0, hw.Apply3DClocks(0, &c));
    EXPECT_EQ(applied + 10000, Info(0).level[1].frequency[0]);

    // The driver's remark after a setting counts as success; a refusal does not.
    ASSERT_TRUE(VcardRefuseClockSettings(true, -118));
    EXPECT_EQ(0, hw.Apply2DClocks(0, &c));
    ASSERT_TRUE(VcardRefuseClockSettings(true, -1));
    EXPECT_EQ(-1, hw.Try2DClocks(0, &c));
}

TEST_F(HardwareClocks, SecondMemoryDomainIsNeitherReadNorWritten) {
    Reset("sli");  // GPU 1 lists a domain 5 beside memory
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    VcardCardInfo before = Info(1);
    int domain5 = -1;
    for (int d = 0; d < before.domainCount; d++) {
        if (before.domainId[d] == 5) {
            domain5 = d;
        }
    }
    ASSERT_GE(domain5, 0);
    LevelClocks c;
    memset(&c, 0, sizeof(c));
    ASSERT_EQ(0, hw.Read3DClocks(0 + 1, &c));
    EXPECT_EQ(970000u, c.memory.frequency);
    c.memory.frequency = 1000000;
    ASSERT_EQ(0, hw.Apply3DClocks(1, &c));
    VcardCardInfo after = Info(1);
    EXPECT_EQ(1000000u, after.level[2].frequency[1]);
    EXPECT_EQ(before.level[2].frequency[domain5], after.level[2].frequency[domain5]);
}

TEST_F(HardwareClocks, LevelSelectionByFlags) {
    Reset("3d-only");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    EXPECT_FALSE(hw.GetPerfCapabilities(0).has2DLevel);
    EXPECT_TRUE(hw.GetPerfCapabilities(0).has3DLevel);
    LevelClocks c;
    memset(&c, 0, sizeof(c));
    EXPECT_EQ(-1, hw.Read2DClocks(0, &c));
    EXPECT_EQ(0, hw.Read3DClocks(0, &c));
    EXPECT_EQ(600000u, c.core.frequency);

    // The sli scenario's second card has a flag-2 level between 2D and 3D;
    // the 3D selector skips it.
    Reset("sli");
    HardwareObject sli;
    ASSERT_EQ(0, Start(sli));
    EXPECT_TRUE(sli.GetPerfCapabilities(1).hasFlag2Level);
    ASSERT_EQ(0, sli.Read3DClocks(1, &c));
    EXPECT_EQ(650000u, c.core.frequency);
    ASSERT_EQ(0, sli.Read2DClocks(1, &c));
    EXPECT_EQ(300000u, c.core.frequency);
}

TEST_F(HardwareClocks, CardWithoutShaderLeavesTheShaderGroup) {
    Reset("no-shader");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    EXPECT_FALSE(hw.HasShaderClock(0));
    LevelClocks c;
    memset(&c, 0, sizeof(c));
    c.shader.frequency = 12345;
    c.shader.upperLimit = 777;
    ASSERT_EQ(0, hw.Read3DClocks(0, &c));
    EXPECT_EQ(450000u, c.core.frequency);
    EXPECT_EQ(12345u, c.shader.frequency);
    EXPECT_EQ(777u, c.shader.upperLimit);
}

TEST_F(HardwareClocks, InvalidHandlesAreRecovered) {
    Reset("monitorchip");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    ASSERT_TRUE(VcardInvalidateHandles());
    uint32_t core = 0, shader = 0, memory = 0;
    NvStatus status = hw.ReadCurrentClocks(0, &core, &shader, &memory);
    EXPECT_TRUE(status == -10 || status == -101) << status;
    int32_t celsius = 0;
    EXPECT_EQ(-10, hw.ReadGpuTemperature(0, &celsius));
    EXPECT_EQ(0, hw.RecoverGpuHandles(status));
    EXPECT_EQ(0, hw.ReadCurrentClocks(0, &core, &shader, &memory));
    EXPECT_EQ(0, hw.ReadGpuTemperature(0, &celsius));

    ASSERT_TRUE(VcardInjectStatusOnce(0x1EA54A3B, 0, -101));
    EXPECT_EQ(-101, hw.ReadCurrentClocks(0, &core, &shader, &memory));
    EXPECT_EQ(-7, hw.RecoverGpuHandles(-7));  // other statuses pass unchanged
    EXPECT_EQ(0, hw.RecoverGpuHandles(-101));
}

namespace {

struct ReaderState {
    HardwareObject* hw;
    volatile LONG stop;
    volatile LONG reads;
    volatile LONG unexpected;  // a status other than success or a stale handle
};

DWORD WINAPI ReadTemperaturesUntilStopped(void* argument) {
    ReaderState* state = static_cast<ReaderState*>(argument);
    while (!state->stop) {
        for (uint8_t gpu = 0; gpu < 2; gpu++) {
            int32_t celsius = 0;
            NvStatus status = state->hw->ReadGpuTemperature(gpu, &celsius);
            if (status != 0 && status != -10) InterlockedIncrement(&state->unexpected);
        }
        InterlockedIncrement(&state->reads);
    }
    return 0;
}

}  // namespace

// A driver reset that brings its GPUs back one at a time must not cost the
// panel a card: recovery waits until both are listed again, while another
// thread keeps calling with the handles being replaced.
TEST_F(HardwareClocks, RecoveryKeepsEveryCardOfTheStart) {
    Reset("sli");
    HardwareObject hw;
    ASSERT_EQ(0, Start(hw));
    ASSERT_EQ(2, hw.GpuCount());
    ReaderState reader = {&hw, 0, 0, 0};
    HANDLE thread = CreateThread(NULL, 0, ReadTemperaturesUntilStopped, &reader, 0, NULL);
    ASSERT_NE(nullptr, thread);

    ASSERT_TRUE(VcardInvalidateHandles());
    ASSERT_TRUE(VcardShortenEnumeration(1, 2));
    int32_t celsius = 0;
    for (int attempt = 0; attempt < 2; attempt++) {
        NvStatus status = hw.ReadGpuTemperature(1, &celsius);
        ASSERT_EQ(-10, status);
        EXPECT_NE(0, hw.RecoverGpuHandles(status)) << "attempt " << attempt;
        EXPECT_EQ(2, hw.GpuCount());
    }
    NvStatus status = hw.ReadGpuTemperature(1, &celsius);
    ASSERT_EQ(-10, status);
    EXPECT_EQ(0, hw.RecoverGpuHandles(status));
    EXPECT_EQ(0, hw.ReadGpuTemperature(1, &celsius));
    EXPECT_EQ(0, hw.ReadGpuTemperature(0, &celsius));

    // A driver with no GPUs at all for a moment is survived the same way.
    ASSERT_TRUE(VcardInvalidateHandles());
    ASSERT_TRUE(VcardShortenEnumeration(0, 1));
    EXPECT_NE(0, hw.RecoverGpuHandles(hw.ReadGpuTemperature(0, &celsius)));
    EXPECT_EQ(0, hw.RecoverGpuHandles(hw.ReadGpuTemperature(0, &celsius)));
    EXPECT_EQ(0, hw.ReadGpuTemperature(1, &celsius));

    // Replaced while the other thread keeps calling: it must have made
    // calls in between for the check below to mean anything.
    for (int i = 0; i < 50 || (reader.reads < 20 && i < 2000); i++) {
        ASSERT_TRUE(VcardInvalidateHandles());
        hw.RecoverGpuHandles(-10);
        Sleep(1);
    }
    InterlockedExchange(&reader.stop, 1);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_GT(reader.reads, 0);
    EXPECT_EQ(0, reader.unexpected);
}

TEST_F(HardwareClocks, GarbageCountsStayInsideTheRecords) {
    Reset("monitorchip");
    HardwareObject hw("hw_garbage_nvapi.dll");
    ASSERT_EQ(0, Start(hw));
    EXPECT_EQ(2, hw.GpuCount());  // 200 reported, two handled
    uint32_t core = 0, shader = 0, memory = 0;
    EXPECT_EQ(-101, hw.ReadCurrentClocks(0, &core, &shader, &memory));  // current level 999
    LevelClocks c;
    memset(&c, 0, sizeof(c));
    ASSERT_EQ(0, hw.Read3DClocks(0, &c));
    // The last of the 32 domains the record holds with the core id is 30.
    EXPECT_EQ(100000u + 30, c.core.frequency);
    int32_t celsius = 0;
    EXPECT_EQ(-1, hw.ReadGpuTemperature(0, &celsius));
    uint32_t value = 0;
    EXPECT_EQ(-1, hw.ReadFanSpeed(0, &value, false));  // 77 coolers listed, no fan among the three
    wchar_t key[9];
    ASSERT_EQ(0, hw.ReadDeviceKey(0, key));
    EXPECT_STREQ(L"ffff", key);
}
