// The news from the maker's web page: downloaded once in the background at
// start, scanned for its items, and kept as a list the About dialog shows.
// When the download fails or finds nothing the list holds one status line.
#pragma once

#include <windows.h>

#include "NewsList.h"

class NewsFetcher {
public:
    enum Status {
        kStatusFailed = 0,
        kStatusDownloading = 1,
        kStatusItems = 2,
        kStatusNoItems = 3,
    };

    // Results of a download besides the system's own error codes.
    static constexpr DWORD kErrorOutOfMemory = 8;
    static constexpr DWORD kErrorNothingReceived = 40000;
    static constexpr DWORD kErrorNoBeginMarker = 40001;
    // The server answered with a status outside 2xx (its error page).
    static constexpr DWORD kErrorHttpStatus = 40002;

    // The page holding the news.
    static const wchar_t kPageAddress[];
    // Limits on connecting and on each wait for data, so that a silent
    // server cannot keep the download thread alive for long.
    static constexpr DWORD kConnectTimeoutMs = 15000;
    static constexpr DWORD kReceiveTimeoutMs = 15000;

    // Status 0 and no list yet: SetStatus puts the line in once the
    // language of the run is chosen.
    NewsFetcher();
    // Does not wait for a download still running: the download keeps what
    // it uses alive on its own and ends by itself.
    ~NewsFetcher();
    NewsFetcher(const NewsFetcher&) = delete;
    NewsFetcher& operator=(const NewsFetcher&) = delete;

    // Records the status; 0, 1 and 3 also replace the list by their status
    // line in the current language, in the ANSI code page.
    void SetStatus(int status);

    // Starts the download on a thread of its own and, when it is over,
    // posts doneMessage (wParam and lParam 0) to window. False when a
    // download is already running or no thread could be started.
    bool Start(HWND window, UINT doneMessage);

    // The whole download on the calling thread: what the thread runs.
    // Answers the error (0 for success).
    DWORD Download();

    // The list as it stands, whole: the download thread replaces it only as
    // a whole, and the holder keeps this one alive.
    NewsListRef Items() const;
    int GetStatus() const;
    DWORD GetError() const;
    // Whether a download thread started by Start is still running.
    bool Busy() const;

    // For tests, which run their own server: another page address and one
    // time-out for connecting and receiving.
    void UsePageForTests(const wchar_t* address, DWORD timeoutMs);

private:
    struct Shared;
    static unsigned __stdcall DownloadThread(void* shared);

    Shared* shared_;
};

// The one fetcher of the program, alive for the whole run.
NewsFetcher& ProgramNewsFetcher();
