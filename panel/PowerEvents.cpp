// Sleep and wake. A chip can come back from sleep at its power-on defaults,
// and the fan sync would then take the card's automatic mode for a choice
// of the user's: the sync waits while the machine sleeps, and on the way
// back every card gets the user's fan settings and the clocks last applied.

#include "MainPanel.h"

#include "Messages.h"
#include "ReferenceClocks.h"
#include "ThermalCalibration.h"

void MainPanel::OnPowerBroadcast(WPARAM event) {
    if (event == PBT_APMSUSPEND) {
        KillTimer(window, TIMER_FAN_SYNC);
        return;
    }
    // After a critical suspend only the automatic resume arrives; after a
    // normal one both may: putting the settings back twice changes nothing.
    if (event != PBT_APMRESUMEAUTOMATIC && event != PBT_APMRESUMESUSPEND) return;
    if (ending_) return;
    if (IsAdministrator()) PutSettingsBackAfterSleep();
    SetTimer(window, TIMER_FAN_SYNC, kFanSyncPeriodMs, NULL);
}

void MainPanel::PutSettingsBackAfterSleep() {
    HardwareObject& hw = Hardware();
    CardSettings& cards = Cards();
    for (uint8_t card = 0; card < hw.GpuCount() && card < kMaxGpus; card++) {
        if (hw.HasFanControl(card)) {
            uint32_t speed = cards.Fan(card, kFanManual);
            if (cards.FanWorkMode(card) != kFanManualMode) {
                fan_.FanToAutomatic(card);
            } else if (fan_.ClampFanSpeed(card, &speed)) {
                hw.SetFanSpeed(card, speed);
            }
        }
        // A walk still running puts its own clocks on the card.
        if (overclock_.WalkRunning() && card == CurrentCard()) continue;
        LevelClocks shown;
        ApplyReferenceClocks(hw, cards, card, &shown);
    }
    CalibrateThermalOffset(hw);
}
