// The About and Settings dialogs. Until they exist, their buttons come back
// up at once.

#include "MainPanel.h"

void MainPanel::ShowAboutDialog() {
    aboutGroup.Select(nullptr);
}

void MainPanel::ShowSettingsDialog() {
    settingsGroup.Select(nullptr);
}
