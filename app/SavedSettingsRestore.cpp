#include "SavedSettingsRestore.h"

#include "Application.h"

bool ApplySavedSettingsAtStart(Application& app) {
    if (!app.panel.registry.restoreUserSettings) return false;
    // The saved settings file ("DM_CurrSettings.txt") has no reader yet, so
    // there is nothing that could be applied.
    return false;
}
