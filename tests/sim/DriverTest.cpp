// The driver's entry points: binding, enumeration, identity, statuses and
// the record versions it insists on.
#include "DriverClient.h"
#include "SimFixture.h"

using namespace simtest;

namespace {

class DriverTest : public CardTest {
protected:
    static void SetUpTestSuite() { UseState(L"sim-driver-test.state"); }
};

TEST_F(DriverTest, DefaultCardEnumeratesWithItsDeviceId) {
    PowerUp("monitorchip");
    DriverClient driver;
    ASSERT_TRUE(driver.loaded());
    ASSERT_EQ(0, driver.Start());
    ASSERT_EQ(1u, driver.count);
    uint32_t device = 0, subsystem = 0, revision = 0, ext = 0;
    ASSERT_EQ(0, driver.pci(driver.handles[0], &device, &subsystem, &revision, &ext));
    EXPECT_EQ(0x061110DEu, device);
    EXPECT_EQ(0x0611u, ext);
}

}  // namespace
