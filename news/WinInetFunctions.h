// WinINet for the news download, bound on the download thread's first use
// rather than imported: the library and what it brings would otherwise be
// loaded and initialised at every start, before the window can show.
#pragma once

#include <windows.h>

#include <wininet.h>

struct WinInetFunctions {
    decltype(&::InternetOpenW) InternetOpenW;
    decltype(&::InternetConnectW) InternetConnectW;
    decltype(&::InternetCrackUrlW) InternetCrackUrlW;
    decltype(&::InternetSetOptionW) InternetSetOptionW;
    decltype(&::InternetQueryOptionW) InternetQueryOptionW;
    decltype(&::InternetReadFile) InternetReadFile;
    decltype(&::InternetCloseHandle) InternetCloseHandle;
    decltype(&::HttpOpenRequestW) HttpOpenRequestW;
    decltype(&::HttpSendRequestW) HttpSendRequestW;
    decltype(&::HttpQueryInfoW) HttpQueryInfoW;
};

// Every function, resolved once; null when wininet.dll or one of them is
// missing.
const WinInetFunctions* WinInet();
