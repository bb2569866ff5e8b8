#include "SavedSettingsRestore.h"

#include "Application.h"
#include "ClockTrial.h"
#include "SavedHardwareSettings.h"
#include "SettingsFileText.h"
#include "ProgramFile.h"

namespace {

// Whether every card answers its clock and temperature reads for the time.
bool CardsAnswerFor(HardwareObject& hw, DWORD ms) {
    const DWORD kReadPauseMs = 500;
    for (DWORD start = GetTickCount();;) {
        for (uint8_t gpu = 0; gpu < hw.GpuCount(); gpu++) {
            uint32_t core = 0, shader = 0, memory = 0;
            int32_t celsius = 0;
            if (hw.ReadCurrentClocks(gpu, &core, &shader, &memory) != kNvOk) return false;
            if (hw.ReadGpuTemperature(gpu, &celsius) != kNvOk) return false;
        }
        if (GetTickCount() - start >= ms) return true;
        Sleep(kReadPauseMs);
    }
}

}  // namespace

bool ApplySavedSettingsAtStart(Application& app) {
    if (!app.panel.registry.restoreUserSettings) return false;
    const bool withClocks = BeginClockTrial();
    const int applied = ApplySettingsFile(app.hardware, app.cards, ProgramFile(kSettingsFileName).Path(), withClocks);
    // Without a window this start stays until the card has shown that it
    // keeps running on the clocks; a start killed meanwhile leaves the trial
    // open for the next one to find.
    if (withClocks && (applied == 0 || CardsAnswerFor(app.hardware, ClockTrialHoldMs()))) EndClockTrial();
    return applied > 0;
}
