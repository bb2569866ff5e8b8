// What the panel does when the monitor thread finds a card in danger: a
// message once per alarm, a card left on a fixed speed handed back to its
// own control, and the tray icon's tip showing the alarm while it lasts.

#include "MainPanel.h"

#include "LanguageState.h"
#include "ProgramName.h"

namespace {

const int kTextOverheated = 3;
const int kTextFanStopped = 103;

}  // namespace

void MainPanel::OnCardAlarm(WPARAM gpu, LPARAM events) {
    // Any process can post this: only a card of ours and known events.
    if (gpu >= Hardware().GpuCount() || gpu >= kMaxGpus) return;
    const uint8_t card = static_cast<uint8_t>(gpu);
    const unsigned raised = static_cast<unsigned>(events) & (kGuardOverheated | kGuardFanStopped);
    const unsigned cleared = static_cast<unsigned>(events) & (kGuardCooled | kGuardFanTurns);
    if (cleared & kGuardCooled) alarms_[card] &= ~static_cast<unsigned>(kGuardOverheated);
    if (cleared & kGuardFanTurns) alarms_[card] &= ~static_cast<unsigned>(kGuardFanStopped);
    alarms_[card] |= raised;
    if ((raised & kGuardOverheated) && Cards().FanWorkMode(card) == kFanManualMode && IsAdministrator()) {
        // A fixed speed no longer follows the heat: the card's own control
        // does, or, where it has none, full speed.
        if (!fan_.FanToAutomatic(card)) Hardware().SetFanSpeed(card, Cards().Fan(card, kFanMaximum));
        if (card == CurrentCard()) fan_.ShowAutomatic();
    }
    ShowTrayTip();
    if (!raised || alarmShowing_ || ending_) return;
    // One box at a time: alarms raised while it is up are in the tip.
    alarmShowing_ = true;
    MessageBoxW(window, LangText(raised & kGuardOverheated ? kTextOverheated : kTextFanStopped), kProgramName,
                MB_ICONERROR | MB_SETFOREGROUND);
    alarmShowing_ = false;
}

void MainPanel::ShowTrayTip() {
    // The worse alarm of any card, or the program's name.
    const wchar_t* tip = nullptr;
    for (uint8_t card = 0; card < kMaxGpus; card++) {
        if (alarms_[card] & kGuardOverheated) tip = LangText(kTextOverheated);
        if ((alarms_[card] & kGuardFanStopped) && !tip) tip = LangText(kTextFanStopped);
    }
    tray_.SetTip(tip ? tip : kProgramName);
}
