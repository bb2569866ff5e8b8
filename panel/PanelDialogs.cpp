// The panel's About and Settings buttons. Each stays pressed while its
// dialog is open and comes back up when the dialog closes.

#include "AboutDialog.h"
#include "MainPanel.h"
#include "SettingsDialog.h"

void MainPanel::ShowAboutDialog() {
    ShowAboutDialogBox(window);
    aboutGroup.Select(nullptr);
}

void MainPanel::ShowSettingsDialog() {
    ShowSettingsDialogBox(window, &registry);
    settingsGroup.Select(nullptr);
}
