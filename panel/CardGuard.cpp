#include "CardGuard.h"

unsigned CardGuard::Follow(const GuardReading& r) {
    unsigned events = 0;
    // A failed read neither breaks a row nor counts in it.
    if (r.temperatureRead) {
        hotPasses_ = r.celsius >= kOverheatCelsius ? hotPasses_ + 1 : 0;
        if (!overheated_ && hotPasses_ >= kOverheatPasses) {
            overheated_ = true;
            events |= kGuardOverheated;
        } else if (overheated_ && r.celsius < kCooledCelsius) {
            overheated_ = false;
            events |= kGuardCooled;
        }
    }
    if (r.fanRead && r.fanInRpm) {
        const bool still = r.fanSpeed == 0 && r.fanShouldTurn;
        const bool hot = r.temperatureRead && r.celsius > kHotForFanCelsius;
        if (still && hot) {
            stoppedPasses_++;
        } else if (!still || r.temperatureRead) {
            stoppedPasses_ = 0;
        }
        if (!fanStopped_ && stoppedPasses_ >= kStoppedFanPasses) {
            fanStopped_ = true;
            events |= kGuardFanStopped;
        } else if (fanStopped_ && !still) {
            fanStopped_ = false;
            events |= kGuardFanTurns;
        }
    }
    return events;
}
