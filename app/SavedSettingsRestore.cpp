#include "SavedSettingsRestore.h"

#include "Application.h"
#include "SavedHardwareSettings.h"
#include "SettingsFileText.h"
#include "ProgramFile.h"

bool ApplySavedSettingsAtStart(Application& app) {
    if (!app.panel.registry.restoreUserSettings) return false;
    return ApplySettingsFile(app.hardware, app.cards, ProgramFile(kSettingsFileName).Path()) > 0;
}
