// Handlers of the panel whose work arrives with later parts of it: the news
// and the tray. Until then each one does nothing, so that the dispatch is
// complete and nothing reaches an unbuilt feature.

#include "MainPanel.h"

void MainPanel::PrepareTray() {}
void MainPanel::AddTrayIcon() {}
void MainPanel::StartNewsFetch() {}

// Without a tray icon a hidden window could not be brought back: closing
// the window ends the program instead.
void MainPanel::HideToTray() {
    PostQuitMessage(0);
}
void MainPanel::QuitProgram() {
    PostQuitMessage(0);
}

void MainPanel::ChooseBios() {
    biosGroup.Select(nullptr);
}
