// The panel's About and Settings buttons. Each stays pressed while its
// dialog is open and comes back up when the dialog closes. About lists the
// news the panel fetches once it is built.

#include "AboutDialog.h"
#include "MainPanel.h"
#include "Messages.h"
#include "NewsFetcher.h"
#include "SettingsDialog.h"

void MainPanel::StartNewsFetch() {
    NewsFetcher& news = ProgramNewsFetcher();
    // Puts the status line in this run's language before anything shows it.
    news.SetStatus(news.GetStatus());
    news.Start(window, UM_NEWS_DONE);
}

void MainPanel::ShowAboutDialog() {
    ShowAboutDialogBox(window);
    aboutGroup_.Select(nullptr);
}

void MainPanel::ShowSettingsDialog() {
    ReadLogonTaskChoice(registry);
    ShowSettingsDialogBox(window, &registry);
    settingsGroup_.Select(nullptr);
}
