#pragma once
// Watches one card's readings from pass to pass of the monitor thread for
// the two states a user must hear about at once: a GPU that has stayed at
// 100 °C or above, and a fan that stands still while the GPU is hot. Each
// alarm is raised once and re-armed only when the danger has passed, so
// that a card hovering at the limit does not bury the user in messages.
// Pure logic.

#include <stdint.h>

// What one monitor pass read of the card.
struct GuardReading {
    bool temperatureRead = false;
    int32_t celsius = 0;
    bool fanRead = false;
    bool fanInRpm = false;  // a tachometer reading, not a setting
    uint32_t fanSpeed = 0;
    bool fanShouldTurn = false;  // automatic, or a manual speed above 0
};

enum GuardEvent : unsigned {
    kGuardOverheated = 1,  // three passes in a row at kOverheatCelsius or above
    kGuardCooled = 2,      // below kCooledCelsius after an overheat
    kGuardFanStopped = 4,  // five passes at 0 rpm while it should turn, the GPU hot
    kGuardFanTurns = 8,    // turning again (or no longer meant to) after a stop
};

class CardGuard {
public:
    static constexpr int32_t kOverheatCelsius = 100;
    static constexpr int32_t kCooledCelsius = 90;
    static constexpr int kOverheatPasses = 3;
    static constexpr int32_t kHotForFanCelsius = 60;
    static constexpr int kStoppedFanPasses = 5;

    // The events this pass raises, as a mask of GuardEvent.
    unsigned Follow(const GuardReading& reading);

private:
    int hotPasses_ = 0;
    bool overheated_ = false;
    int stoppedPasses_ = 0;
    bool fanStopped_ = false;
};
