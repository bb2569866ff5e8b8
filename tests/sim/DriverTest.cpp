// The driver's entry points: binding, enumeration, identity, statuses and the
// record versions it insists on, and the faults that hit driver calls.
#include "DriverClient.h"
#include "SimFixture.h"

using namespace simtest;

namespace {

class DriverTest : public CardTest {
protected:
    static void SetUpTestSuite() { UseState(L"sim-driver-test.state"); }
};

TEST_F(DriverTest, EveryScenarioLoadsAndEnumeratesWhatItDescribes) {
    struct Case {
        const char* scenario;
        int initStatus;
        int enumStatus;
        uint32_t gpus;
        uint32_t deviceWord0;
    };
    const Case cases[] = {
        {"monitorchip", 0, 0, 1, 0x061110DE},
        {"monitorchip-5a", 0, 0, 1, 0x061110DE},
        {"adt7473", 0, 0, 1, 0x062210DE},
        {"adt7473-pwm2", 0, 0, 1, 0x062210DE},
        {"adt7473-notach", 0, 0, 1, 0x062210DE},
        {"driver-fan", 0, 0, 1, 0x061410DE},
        {"no-fan", 0, 0, 1, 0x061010DE},
        {"sli", 0, 0, 2, 0x061110DE},
        {"3d-only", 0, 0, 1, 0x061110DE},
        {"no-shader", 0, 0, 1, 0x029110DE},
        {"no-driver", -1, 0, 0, 0},
        {"no-gpu", 0, -6, 0, 0},
    };
    int listed = 0;
    while (VcardScenarioName(listed))
        ++listed;
    EXPECT_EQ((int)(sizeof(cases) / sizeof(cases[0])), listed) << "a built-in scenario has no case here";

    for (const Case& c : cases) {
        SCOPED_TRACE(c.scenario);
        PowerUp(c.scenario);
        DriverClient driver;
        ASSERT_TRUE(driver.loaded());
        ASSERT_EQ(c.initStatus, driver.init());
        if (c.initStatus != 0) {
            EXPECT_EQ(-4, driver.Enumerate()) << "calls before a successful initialisation";
            continue;
        }
        EXPECT_EQ(c.enumStatus, driver.Enumerate());
        EXPECT_EQ(c.gpus, driver.count);
        EXPECT_EQ((int)c.gpus, VcardGpuCount());
        if (c.gpus == 0) continue;
        uint32_t device = 0, subsystem = 0, revision = 0, ext = 0;
        ASSERT_EQ(0, driver.pci(driver.handles[0], &device, &subsystem, &revision, &ext));
        EXPECT_EQ(c.deviceWord0, device);
        EXPECT_EQ(device >> 16, ext);
    }
}

TEST_F(DriverTest, SliCardsAreTwoDifferentDevices) {
    PowerUp("sli");
    DriverClient driver;
    ASSERT_EQ(0, driver.Start());
    ASSERT_EQ(2u, driver.count);
    uint32_t device[2], subsystem, revision, ext;
    for (int g = 0; g < 2; ++g) {
        ASSERT_EQ(0, driver.pci(driver.handles[g], &device[g], &subsystem, &revision, &ext));
    }
    EXPECT_NE(device[0], device[1]);
    EXPECT_EQ(0x060010DEu, device[1]);
}

TEST_F(DriverTest, CallsBeforeInitialisationAreRefused) {
    PowerUp("monitorchip");
    DriverClient driver;
    ASSERT_TRUE(driver.loaded());
    EXPECT_EQ(-4, driver.Enumerate());
    ASSERT_EQ(0, driver.init());
    EXPECT_EQ(0, driver.Enumerate());
}

TEST_F(DriverTest, UnknownInterfaceIdHasNoFunction) {
    PowerUp("monitorchip");
    DriverClient driver;
    EXPECT_EQ(nullptr, driver.Query(0x12345678));
    EXPECT_NE(nullptr, driver.Query(0xE5AC921F));
}

TEST_F(DriverTest, RecordsWithTheWrongVersionWordAreRefused) {
    PowerUp("monitorchip");
    DriverClient driver;
    ASSERT_EQ(0, driver.Start());
    uint8_t reg = 0x04, value = 0;
    I2cInfo info = DriverClient::MakeI2c(0x5C, &reg, &value);
    // The other architecture's size: a 32-bit record in a 64-bit process or
    // the reverse.
    info.version = Version(sizeof(void*) == 8 ? 0x20 : 0x30);
    EXPECT_EQ(-9, driver.i2cRead(driver.handles[0], &info));
    info.version = Version(sizeof(I2cInfo));
    EXPECT_EQ(0, driver.i2cRead(driver.handles[0], &info));
    EXPECT_EQ(0x5C, value);

    ThermalSettings thermal = {};
    thermal.version = 0x10040;
    EXPECT_EQ(-9, driver.thermal(driver.handles[0], 15, &thermal));
    PerfClocks* perf = new PerfClocks();
    perf->version = 0x12A70;
    EXPECT_EQ(-9, driver.perfGet(driver.handles[0], -1, perf));
    delete perf;
    CoolerSettings cooler = {};
    cooler.version = 0x10094;
    EXPECT_EQ(-9, driver.coolerGet(driver.handles[0], 7, &cooler));
}

TEST_F(DriverTest, SomethingThatIsNoHandleIsNotAPhysicalGpu) {
    PowerUp("monitorchip");
    DriverClient driver;
    ASSERT_EQ(0, driver.Start());
    int celsius;
    Gpu saved = driver.handles[0];
    driver.handles[0] = (Gpu)(uintptr_t)0x1234;
    EXPECT_EQ(-101, driver.Temperature(0, &celsius));
    driver.handles[0] = nullptr;
    EXPECT_EQ(-101, driver.Temperature(0, &celsius));
    driver.handles[0] = saved;
    EXPECT_EQ(0, driver.Temperature(0, &celsius));
}

TEST_F(DriverTest, InvalidatedHandlesFailUntilEnumeratedAgain) {
    PowerUp("monitorchip");
    DriverClient driver;
    ASSERT_EQ(0, driver.Start());
    int celsius;
    ASSERT_TRUE(VcardInvalidateHandles());
    EXPECT_EQ(-10, driver.Temperature(0, &celsius));
    EXPECT_EQ(-10, driver.Temperature(0, &celsius)) << "stale handles stay stale";
    ASSERT_EQ(0, driver.Enumerate());
    EXPECT_EQ(0, driver.Temperature(0, &celsius));
}

TEST_F(DriverTest, InjectedStatusHitsTheNamedCallOnce) {
    PowerUp("sli");
    DriverClient driver;
    ASSERT_EQ(0, driver.Start());
    int celsius;
    uint32_t d, s, r, e;
    ASSERT_TRUE(VcardInjectStatusOnce(0xE3640A56, 1, -10));
    EXPECT_EQ(0, driver.Temperature(0, &celsius)) << "other GPU";
    EXPECT_EQ(0, driver.pci(driver.handles[1], &d, &s, &r, &e)) << "other call";
    EXPECT_EQ(-10, driver.Temperature(1, &celsius));
    EXPECT_EQ(0, driver.Temperature(1, &celsius)) << "only once";

    ASSERT_TRUE(VcardInjectStatusOnce(0, -1, -101));
    EXPECT_EQ(-101, driver.pci(driver.handles[0], &d, &s, &r, &e));
    EXPECT_EQ(0, driver.pci(driver.handles[0], &d, &s, &r, &e));
}

TEST_F(DriverTest, InitialisationCanBeMadeToFailOnce) {
    PowerUp("monitorchip");
    ASSERT_TRUE(VcardInjectStatusOnce(0x0150E828, -1, -6));
    {
        DriverClient driver;
        EXPECT_EQ(-6, driver.init());
    }
    DriverClient driver;
    EXPECT_EQ(0, driver.init());
}

TEST_F(DriverTest, ThermalRecordListsTheGpuSensorAfterABoardSensorWhereTheCardDoes) {
    PowerUp("sli");
    ASSERT_TRUE(VcardSetDieTemperature(1, 71, true));
    DriverClient driver;
    ASSERT_EQ(0, driver.Start());
    ThermalSettings t = {};
    t.version = 0x10044;
    ASSERT_EQ(0, driver.thermal(driver.handles[1], 15, &t));
    ASSERT_EQ(2u, t.count);
    EXPECT_EQ(8u, t.sensor[0].target);
    EXPECT_EQ(1u, t.sensor[1].target);
    EXPECT_EQ(71, t.sensor[1].current);
    EXPECT_LT(t.sensor[0].current, 71);

    ThermalSettings one = {};
    one.version = 0x10044;
    ASSERT_EQ(0, driver.thermal(driver.handles[1], 1, &one));
    EXPECT_EQ(1u, one.count);
    EXPECT_EQ(1u, one.sensor[0].target);
    EXPECT_EQ(-5, driver.thermal(driver.handles[1], 2, &one));
}

TEST_F(DriverTest, CountersSeeEveryCallAndTransaction) {
    PowerUp("monitorchip");
    ASSERT_TRUE(VcardResetCounters());
    DriverClient driver;
    ASSERT_EQ(0, driver.Start());
    uint8_t value;
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(0, driver.ReadReg(0, 0x5C, 0x14, &value));
    ASSERT_EQ(0, driver.WriteReg(0, 0x5C, 0x64, 3));
    EXPECT_NE(0, driver.ReadReg(0, 0x50, 0x00, &value)) << "nobody at 0x50";
    VcardCounters c;
    ASSERT_TRUE(VcardGetCounters(&c));
    EXPECT_EQ(1u, c.calls[kVcardCallInitialize]);
    EXPECT_EQ(1u, c.calls[kVcardCallEnumGpus]);
    EXPECT_EQ(6u, c.calls[kVcardCallI2cRead]);
    EXPECT_EQ(1u, c.calls[kVcardCallI2cWrite]);
    EXPECT_EQ(9u, c.driverCalls);
    EXPECT_EQ(7u, c.i2cTransactions);
    EXPECT_EQ(1u, c.i2cFailures);
    EXPECT_GE(c.queryInterface, 10u);
}

}  // namespace
