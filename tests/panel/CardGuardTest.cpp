// The card watch pass by pass: which sequences of readings raise an alarm,
// which keep it quiet, and when it is armed again.
#include <gtest/gtest.h>

#include <vector>

#include "CardGuard.h"

namespace {

GuardReading Hot(int32_t celsius) {
    GuardReading r;
    r.temperatureRead = true;
    r.celsius = celsius;
    return r;
}

GuardReading Fan(int32_t celsius, uint32_t rpm, bool shouldTurn = true, bool inRpm = true) {
    GuardReading r = Hot(celsius);
    r.fanRead = true;
    r.fanInRpm = inRpm;
    r.fanSpeed = rpm;
    r.fanShouldTurn = shouldTurn;
    return r;
}

GuardReading Unread() {
    return GuardReading();
}

}  // namespace

TEST(CardGuard, EachSequenceRaisesItsEventsOnTheRightPass) {
    struct Case {
        const char* name;
        std::vector<GuardReading> passes;
        std::vector<unsigned> events;  // per pass
    } cases[] = {
        {"three hot passes", {Hot(100), Hot(101), Hot(100), Hot(105)}, {0, 0, kGuardOverheated, 0}},
        {"a cool pass breaks the row", {Hot(100), Hot(99), Hot(100), Hot(100)}, {0, 0, 0, 0}},
        {"an unread pass neither breaks nor counts",
         {Hot(100), Unread(), Hot(100), Hot(100)},
         {0, 0, 0, kGuardOverheated}},
        {"re-armed only below 90",
         {Hot(100), Hot(100), Hot(100), Hot(95), Hot(100), Hot(100), Hot(100), Hot(89), Hot(100), Hot(100), Hot(100)},
         {0, 0, kGuardOverheated, 0, 0, 0, 0, kGuardCooled, 0, 0, kGuardOverheated}},
        {"a still fan on a hot GPU, five passes",
         {Fan(70, 0), Fan(70, 0), Fan(70, 0), Fan(70, 0), Fan(70, 0), Fan(70, 0), Fan(70, 1200)},
         {0, 0, 0, 0, kGuardFanStopped, 0, kGuardFanTurns}},
        {"a still fan on a cool GPU",
         {Fan(60, 0), Fan(30, 0), Fan(60, 0), Fan(60, 0), Fan(60, 0), Fan(60, 0)},
         {0, 0, 0, 0, 0, 0}},
        {"a fan meant to stand",
         {Fan(70, 0, false), Fan(70, 0, false), Fan(70, 0, false), Fan(70, 0, false), Fan(70, 0, false)},
         {0, 0, 0, 0, 0}},
        {"a speed setting is no tachometer",
         {Fan(70, 0, true, false), Fan(70, 0, true, false), Fan(70, 0, true, false), Fan(70, 0, true, false),
          Fan(70, 0, true, false)},
         {0, 0, 0, 0, 0}},
        {"a turn breaks the row",
         {Fan(70, 0), Fan(70, 0), Fan(70, 0), Fan(70, 0), Fan(70, 900), Fan(70, 0)},
         {0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        CardGuard guard;
        ASSERT_EQ(c.passes.size(), c.events.size()) << c.name;
        for (size_t i = 0; i < c.passes.size(); i++)
            EXPECT_EQ(c.events[i], guard.Follow(c.passes[i])) << c.name << ", pass " << i + 1;
    }
}
