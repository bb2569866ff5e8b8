// The saved hardware settings on the panel: loading them at the build and
// the restore-defaults button. Until the settings file is read and written,
// both do nothing (the button comes back up at once).

#include "MainPanel.h"

void MainPanel::LoadHardwareSettings() {}

void MainPanel::RestoreDefaultHardwareSettings() {
    restoreGroup.Select(nullptr);
}
