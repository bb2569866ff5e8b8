// Handlers of the panel's controls whose work arrives with later parts of
// the panel: the tray, the dialogs, the saved settings and the news. Until
// then each one does nothing, so that the dispatch is complete and nothing
// reaches an unbuilt feature.

#include "MainPanel.h"

// A group button stays pressed until its action is over; with no action
// yet, it comes back up at once.
void MainPanel::ShowAboutDialog() {
    aboutGroup.Select(nullptr);
}
void MainPanel::ShowSettingsDialog() {
    settingsGroup.Select(nullptr);
}
void MainPanel::RestoreDefaultHardwareSettings() {
    restoreGroup.Select(nullptr);
}
void MainPanel::ChooseBios() {
    biosGroup.Select(nullptr);
}
void MainPanel::PrepareTray() {}
void MainPanel::AddTrayIcon() {}
void MainPanel::StartNewsFetch() {}
void MainPanel::LoadHardwareSettings() {}

// Without a tray icon a hidden window could not be brought back: closing
// the window ends the program instead.
void MainPanel::HideToTray() {
    PostQuitMessage(0);
}
void MainPanel::QuitProgram() {
    PostQuitMessage(0);
}
