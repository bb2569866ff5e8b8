// The saved hardware settings on the panel: saving them, applying them at
// the build, and the restore-defaults button.

#include "MainPanel.h"

#include "LanguageState.h"
#include "ProgramName.h"
#include "ReferenceClocks.h"
#include "SavedHardwareSettings.h"
#include "SettingsFileText.h"
#include "ClockTrial.h"
#include "ProgramFile.h"

namespace {

const int kTextRestoreQuestion = 88;
const int kTextClocksLeftOut = 102;
const int kDefaultAuxValue = 90;

}  // namespace

void MainPanel::SaveHardwareSettings() {
    if (!registry.restoreUserSettings) return;
    SaveSettingsFile(Hardware(), Cards(), CurrentCard(), fan_.SliderSpeed(), ProgramFile(kSettingsFileName).Path());
}

// Told only to someone who sees it: a start to the tray keeps the note until
// the window shows.
void MainPanel::TellClocksLeftOut() {
    if (ending_ || !IsWindowVisible(window)) return;
    if (TakeClocksLeftOutNote()) MessageBoxW(window, LangText(kTextClocksLeftOut), kProgramName, MB_ICONWARNING);
}

void MainPanel::LoadHardwareSettings() {
    if (!registry.restoreUserSettings) return;
    const bool withClocks = BeginClockTrial();
    const int applied = ApplySettingsFile(Hardware(), Cards(), ProgramFile(kSettingsFileName).Path(), withClocks);
    if (withClocks && applied == 0) EndClockTrial();
    // The monitor thread ends the trial once the cards have answered long
    // enough.
    clockTrialOpen_ = withClocks && applied > 0;
    clockTrialSince_ = GetTickCount();
}

void MainPanel::RestoreDefaultHardwareSettings() {
    // Only an administrator tunes, and never under a running walk.
    if (!IsAdministrator() || overclock_.WalkRunning()) {
        restoreGroup_.Select(nullptr);
        return;
    }
    if (MessageBoxW(window, LangText(kTextRestoreQuestion), kProgramName, MB_YESNO | MB_ICONQUESTION) == IDYES) {
        HardwareObject& hw = Hardware();
        uint8_t card = CurrentCard();
        // The switch keeps what the sliders showed for the level it leaves;
        // made before the defaults are taken, it cannot write over them.
        overclock_.ShowLevel2D();
        TakeCardClocksAsDefaults(hw, Cards());
        LevelClocks shown;
        if (ApplyReferenceClocks(hw, Cards(), card, &shown)) overclock_.MoveClockSliders(shown);
        // A card switch stores the hidden slider's value as the card's.
        fan_.SetMonitorLimitSlider(kDefaultAuxValue);
        fan_.SwitchToAutomatic();
        // The sliders now show what the card runs with: nothing to apply.
        overclock_.ForgetProvenClocks(card);
        InvalidateRect(window, NULL, FALSE);
    }
    restoreGroup_.Select(nullptr);
}
