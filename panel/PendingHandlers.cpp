// Handlers of the panel whose work arrives with later parts of it: the news.
// Until then it does nothing, so that the dispatch is complete and nothing
// reaches an unbuilt feature.

#include "MainPanel.h"

void MainPanel::StartNewsFetch() {}

