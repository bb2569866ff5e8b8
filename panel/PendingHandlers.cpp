// The news: the download the panel starts once it is built.

#include "MainPanel.h"
#include "Messages.h"
#include "NewsFetcher.h"

void MainPanel::StartNewsFetch() {
    NewsFetcher& news = ProgramNewsFetcher();
    // Puts the status line in this run's language before anything shows it.
    news.SetStatus(news.GetStatus());
    news.Start(window, UM_NEWS_DONE);
}
