// The card's behaviour over time and its driver-side controls: the thermal
// model, performance levels and clock settings, the driver's cooler control.
#include <memory>

#include "DriverClient.h"
#include "SimFixture.h"

using namespace simtest;

namespace {

const uint32_t kCore = 0, kMemory = 4, kShader = 7;

class ModelTest : public CardTest {
protected:
    static void SetUpTestSuite() { UseState(L"sim-model-test.state"); }

    void Start(const char* scenario) {
        PowerUp(scenario);
        ASSERT_EQ(0, driver_.Start());
    }
    // Fixes the monitor chip's fan at a target speed.
    void ManualFan(int rpm) {
        uint16_t count = (uint16_t)(1500000 / rpm);
        ASSERT_EQ(0, driver_.WriteReg(0, 0x5C, 0x60, 0x01));
        ASSERT_EQ(0, driver_.WriteReg(0, 0x5C, 0x74, (uint8_t)(count >> 8)));
        ASSERT_EQ(0, driver_.WriteReg(0, 0x5C, 0x75, (uint8_t)(count & 0xFF)));
    }
    double SettledDie() {
        EXPECT_TRUE(VcardSettle());
        return Info().dieCelsius;
    }
    // One level, queried alone, with the wanted clocks of some domains
    // flagged, sent as a trial or applied setting.
    int Set(int gpu, int position, bool trial, std::initializer_list<std::pair<uint32_t, uint32_t>> clocks) {
        EXPECT_EQ(0, driver_.Perf(gpu, position, rec_.get()));
        Level& level = rec_->level[0];
        for (auto& c : clocks) {
            for (uint32_t d = 0; d < rec_->domainCount; ++d) {
                if (level.domain[d].id == c.first) {
                    level.domain[d].frequency = c.second;
                    level.domain[d].flags |= 1;
                }
            }
        }
        level.flags = trial ? 8 : 0;
        return driver_.perfSet(driver_.handles[gpu], level.id, rec_.get());
    }
    // Running clock of a domain as the all-levels query reports it.
    uint32_t Current(int gpu, uint32_t domain) {
        EXPECT_EQ(0, driver_.Perf(gpu, -1, rec_.get()));
        const Level& level = rec_->level[rec_->currentLevel];
        for (uint32_t d = 0; d < rec_->domainCount; ++d) {
            if (level.domain[d].id == domain) return level.domain[d].frequency;
        }
        return 0;
    }

    DriverClient driver_;
    std::unique_ptr<PerfClocks> rec_{new PerfClocks()};
};

TEST_F(ModelTest, LoadHeatsAndTheFanCoolsWithinBounds) {
    Start("monitorchip");
    ManualFan(1500);
    double idle = SettledDie();
    EXPECT_GT(idle, 30) << "above the air around it";
    ASSERT_TRUE(VcardSetBusy(0, true));
    double busy = SettledDie();
    EXPECT_GT(busy, idle + 10);
    ManualFan(3000);
    double cooled = SettledDie();
    EXPECT_LT(cooled, busy - 5);
    ManualFan(23);  // as good as stopped
    double stalled = SettledDie();
    EXPECT_GT(stalled, 90);
    EXPECT_LE(stalled, 125);

    int driverCelsius = 0;
    ASSERT_EQ(0, driver_.Temperature(0, &driverCelsius));
    EXPECT_EQ(Info().driverCelsius, driverCelsius);
    EXPECT_NEAR(stalled, driverCelsius, 1.0);
}

TEST_F(ModelTest, HigherClocksHeatMore) {
    Start("monitorchip");
    ManualFan(2000);
    ASSERT_TRUE(VcardSetBusy(0, true));
    double stock = SettledDie();
    ASSERT_EQ(0, Set(0, 1, false, {{kCore, 800000}, {kShader, 2000000}, {kMemory, 1100000}}));
    double raised = SettledDie();
    EXPECT_GT(raised, stock + 3);
    ASSERT_EQ(0, Set(0, 1, false, {{kCore, 400000}, {kShader, 1000000}, {kMemory, 600000}}));
    EXPECT_LT(SettledDie(), stock - 3);
}

TEST_F(ModelTest, TemperatureMovesWithTimeConstantsOfSeconds) {
    Start("monitorchip");
    ASSERT_TRUE(VcardSetDieTemperature(0, 90, false));
    ASSERT_TRUE(VcardAdvance(1000));
    double afterOne = Info().dieCelsius;
    EXPECT_LT(afterOne, 90);
    EXPECT_GT(afterOne, 80) << "a die does not cool in a second";
    ASSERT_TRUE(VcardAdvance(60000));
    EXPECT_LT(Info().dieCelsius, 50);

    ASSERT_TRUE(VcardSetDieTemperature(0, 90, true));
    ASSERT_TRUE(VcardAdvance(60000));
    EXPECT_EQ(90, Info().dieCelsius) << "held";
    ASSERT_TRUE(VcardReleaseDieTemperature(0));
    ASSERT_TRUE(VcardAdvance(60000));
    EXPECT_LT(Info().dieCelsius, 50);
}

TEST_F(ModelTest, IdleCardRunsTheTwoDLevelAndABusyOneTheThreeDLevel) {
    Start("monitorchip");
    ASSERT_EQ(0, driver_.Perf(0, -1, rec_.get()));
    ASSERT_EQ(2u, rec_->levelCount);
    ASSERT_EQ(3u, rec_->domainCount);
    EXPECT_EQ(1u, rec_->level[0].flags);
    EXPECT_EQ(4u, rec_->level[1].flags);
    EXPECT_EQ(0u, rec_->currentLevel);
    EXPECT_EQ(300000u, Current(0, kCore));
    EXPECT_EQ(750000u, Current(0, kShader));
    EXPECT_EQ(900000u, Current(0, kMemory));
    ASSERT_TRUE(VcardSetBusy(0, true));
    EXPECT_EQ(600000u, Current(0, kCore));
    EXPECT_EQ(1500000u, Current(0, kShader));
    EXPECT_EQ(1u, rec_->currentLevel);

    const Domain& core = rec_->level[1].domain[0];
    EXPECT_EQ(0u, core.id);
    EXPECT_EQ(400000u, core.lower);
    EXPECT_EQ(800000u, core.upper);
    EXPECT_EQ(600000u, core.further) << "the default clock";
}

TEST_F(ModelTest, QueryOfOneLevelReturnsItAtPositionZero) {
    Start("monitorchip");
    ASSERT_EQ(0, driver_.Perf(0, 1, rec_.get()));
    EXPECT_EQ(1u, rec_->levelCount);
    EXPECT_EQ(3u, rec_->level[0].id);
    EXPECT_EQ(4u, rec_->level[0].flags);
    EXPECT_EQ(-5, driver_.Perf(0, 2, rec_.get()));
}

TEST_F(ModelTest, TrialAboveTheStabilityLimitIsRefusedAndBelowItRuns) {
    Start("monitorchip");
    VcardCardInfo info = Info();
    ASSERT_EQ(715000u, info.stableLimit[0]);
    EXPECT_EQ(-1, Set(0, 1, true, {{kCore, 720000}}));
    EXPECT_EQ(0u, Info().level[1].trial[0]) << "a refusal changes nothing";
    EXPECT_EQ(0, Set(0, 1, true, {{kCore, 715000}, {kShader, 1780000}}));
    EXPECT_EQ(715000u, Current(0, kCore)) << "a trial runs its level, even on an idle card";
    EXPECT_EQ(1780000u, Current(0, kShader));
    EXPECT_EQ(-1, Set(0, 1, true, {{kShader, 1785000}}));
    EXPECT_EQ(1780000u, Current(0, kShader));
    EXPECT_EQ(600000u, Info().level[1].frequency[0]) << "trials leave the applied setting";
}

TEST_F(ModelTest, AppliedSettingMovesTheClocksAndEndsTheTrial) {
    Start("monitorchip");
    ASSERT_EQ(0, Set(0, 1, true, {{kCore, 700000}}));
    EXPECT_EQ(0, Set(0, 1, false, {{kCore, 690000}})) << "the trial made that level run";
    EXPECT_EQ(300000u, Current(0, kCore)) << "idle again: back at 2D";
    ASSERT_TRUE(VcardSetBusy(0, true));
    EXPECT_EQ(690000u, Current(0, kCore));
    EXPECT_EQ(1500000u, Current(0, kShader)) << "unflagged domains keep theirs";

    EXPECT_EQ(0, Set(0, 1, false, {{kCore, 780000}})) << "applied settings are not checked for stability";
    EXPECT_EQ(780000u, Current(0, kCore));
    EXPECT_EQ(-118, Set(0, 0, false, {{kCore, 350000}})) << "accepted for the level that is not running";
    ASSERT_TRUE(VcardSetBusy(0, false));
    EXPECT_EQ(350000u, Current(0, kCore));
}

TEST_F(ModelTest, ClocksOutsideTheLimitsAndUnknownLevelsAreInvalid) {
    Start("monitorchip");
    EXPECT_EQ(-5, Set(0, 1, false, {{kCore, 810000}}));
    EXPECT_EQ(-5, Set(0, 1, true, {{kCore, 390000}}));
    EXPECT_EQ(-5, Set(0, 1, false, {{kCore, 700000}, {kMemory, 1200000}}));
    EXPECT_EQ(600000u, Info().level[1].frequency[0]) << "no domain changes when one is refused";
    EXPECT_EQ(0, driver_.Perf(0, 1, rec_.get()));
    EXPECT_EQ(-5, driver_.perfSet(driver_.handles[0], 99, rec_.get()));
    EXPECT_EQ(-5, Set(0, 1, false, {})) << "nothing flagged";
}

TEST_F(ModelTest, RefusedClockSettingsFault) {
    Start("monitorchip");
    ASSERT_TRUE(VcardRefuseClockSettings(true, -104));
    EXPECT_EQ(-104, Set(0, 1, true, {{kCore, 610000}}));
    EXPECT_EQ(-104, Set(0, 1, false, {{kCore, 610000}}));
    ASSERT_TRUE(VcardRefuseClockSettings(false));
    EXPECT_EQ(0, Set(0, 1, true, {{kCore, 610000}}));
}

TEST_F(ModelTest, LevelAndDomainShapesOfTheScenarios) {
    Start("sli");
    ASSERT_EQ(0, driver_.Perf(1, -1, rec_.get()));
    ASSERT_EQ(3u, rec_->levelCount);
    EXPECT_EQ(0u, rec_->level[0].flags);
    EXPECT_EQ(2u, rec_->level[1].flags);
    EXPECT_EQ(4u, rec_->level[2].flags);
    ASSERT_EQ(4u, rec_->domainCount);
    EXPECT_EQ(5u, rec_->level[2].domain[3].id);
    EXPECT_EQ(-118, Set(1, 2, false, {{kMemory, 1000000}})) << "the idle card runs level 0";
    EXPECT_EQ(970000u, Info(1).level[2].frequency[3]) << "the second memory domain is untouched";
    EXPECT_EQ(1000000u, Info(1).level[2].frequency[1]);
    EXPECT_EQ(600000u, Info(0).level[1].frequency[0]) << "the other card is untouched";

    PowerUp("3d-only");
    ASSERT_EQ(0, driver_.Perf(0, -1, rec_.get()));
    ASSERT_EQ(1u, rec_->levelCount);
    EXPECT_EQ(4u, rec_->level[0].flags);
    EXPECT_EQ(0u, rec_->currentLevel);
    EXPECT_EQ(600000u, Current(0, kCore)) << "the only level runs idle too";

    PowerUp("no-shader");
    ASSERT_EQ(0, driver_.Perf(0, -1, rec_.get()));
    ASSERT_EQ(2u, rec_->domainCount);
    EXPECT_EQ(0u, Current(0, kShader));
    EXPECT_EQ(275000u, Current(0, kCore));
}

TEST_F(ModelTest, DriverCoolerLevelsAndPolicies) {
    Start("driver-fan");
    CoolerSettings c;
    ASSERT_EQ(0, driver_.Coolers(0, &c));
    ASSERT_EQ(1u, c.count);
    EXPECT_EQ(1u, c.cooler[0].type);
    EXPECT_EQ(25u, c.cooler[0].minLevel);
    EXPECT_EQ(100u, c.cooler[0].maxLevel);
    uint32_t automatic = c.cooler[0].defaultPolicy;
    EXPECT_NE(1u, automatic);
    EXPECT_EQ(automatic, c.cooler[0].currentPolicy);

    ASSERT_EQ(0, driver_.SetCooler(0, 80, 1));
    ASSERT_TRUE(VcardAdvance(15000));
    EXPECT_NEAR(3200 * 0.8, Info().fanRpm, 0.5);
    ASSERT_EQ(0, driver_.Coolers(0, &c));
    EXPECT_EQ(80u, c.cooler[0].currentLevel);
    EXPECT_EQ(1u, c.cooler[0].currentPolicy);
    EXPECT_EQ(-5, driver_.SetCooler(0, 20, 1)) << "below the minimum level";
    EXPECT_EQ(-5, driver_.SetCooler(0, 50, 0));

    ASSERT_EQ(0, driver_.SetCooler(0, 0, automatic));
    ASSERT_TRUE(VcardSetDieTemperature(0, 95, true));
    ASSERT_TRUE(VcardAdvance(15000));
    ASSERT_EQ(0, driver_.Coolers(0, &c));
    EXPECT_EQ(100u, c.cooler[0].currentLevel) << "the driver's curve at 95 C";
    ASSERT_TRUE(VcardSetDieTemperature(0, 40, true));
    ASSERT_TRUE(VcardAdvance(15000));
    ASSERT_EQ(0, driver_.Coolers(0, &c));
    EXPECT_EQ(25u, c.cooler[0].currentLevel);
    EXPECT_NEAR(3200 * 0.25, Info().fanRpm, 0.5);
}

TEST_F(ModelTest, CoolerListedWithoutFanControlDrivesNothing) {
    Start("no-fan");
    double rpm = Info().fanRpm;
    EXPECT_NEAR(3200 * 0.7, rpm, 0.5);
    ASSERT_EQ(0, driver_.SetCooler(0, 100, 1));
    ASSERT_TRUE(VcardAdvance(15000));
    EXPECT_NEAR(rpm, Info().fanRpm, 0.5);

    PowerUp("sli");
    ASSERT_EQ(0, driver_.Enumerate());
    CoolerSettings c;
    ASSERT_EQ(0, driver_.Coolers(1, &c));
    EXPECT_EQ(1u, c.cooler[0].defaultPolicy) << "a card whose default policy is manual";
}

}  // namespace
