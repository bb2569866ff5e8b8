#include "NewsFetcher.h"

#include <atomic>
#include <cwchar>
#include <memory>
#include <new>

#include "HandleHolders.h"
#include "LanguageState.h"
#include "LockScope.h"
#include "ThreadStart.h"
#include "NewsPage.h"
#include "WinInetFunctions.h"

const wchar_t NewsFetcher::kPageAddress[] = L"http://www.vexapanel.com/07/soft/index.html";

namespace {

const int kTextFailed = 63;
const int kTextDownloading = 64;
const int kTextNoItems = 65;

const wchar_t kAgent[] = L"VexaPanel";
const size_t kAddressChars = 400;
// An address of kAddressChars characters in the ANSI code page, at most
// four bytes a character.
const size_t kNarrowAddressBytes = 4 * kAddressChars;

struct InternetHandleTraits {
    using Type = HINTERNET;
    static bool Valid(HINTERNET h) { return h != nullptr; }
    // Only handles the bound library made are ever held.
    static void Close(HINTERNET h) { WinInet()->InternetCloseHandle(h); }
};
using InternetHandleHolder = UniqueHandle<InternetHandleTraits>;

// The error of a call that failed; never 0, which would read as success.
DWORD FailureCode() {
    const DWORD error = GetLastError();
    return error ? error : ERROR_INTERNET_INTERNAL_ERROR;
}

NewsList* MakeStatusLine(int status) {
    const int textId = status == NewsFetcher::kStatusDownloading ? kTextDownloading
                       : status == NewsFetcher::kStatusNoItems   ? kTextNoItems
                                                                 : kTextFailed;
    char title[256];
    if (!WideCharToMultiByte(CP_ACP, 0, LangText(textId), -1, title, sizeof(title), nullptr, nullptr)) title[0] = 0;
    return NewsList::MakeStatusLine(title);
}

// The items of the received bytes as a list, links resolved against the
// page; the error when there are none to make.
DWORD MakeList(const char* page, size_t received, const char* pageAddress, NewsList** result) {
    std::unique_ptr<NewsItemSpans[]> spans(new (std::nothrow) NewsItemSpans[kMaxNewsItems]);
    if (!spans) return NewsFetcher::kErrorOutOfMemory;
    const int count = ScanNewsPage(page, received, spans.get(), kMaxNewsItems);
    if (count < 0) return NewsFetcher::kErrorNoBeginMarker;

    // A resolved link is never longer than the page address and the link
    // together, nor than the longest link kept.
    const size_t addressLength = strlen(pageAddress);
    size_t textBytes = 0;
    for (int i = 0; i < count; i++) {
        size_t link = spans[i].link.length + addressLength + 1;
        textBytes += spans[i].title.length + 1 + (link < kMaxNewsLinkLength ? link : kMaxNewsLinkLength) + 1;
    }
    NewsList* list = NewsList::Make(count, textBytes);
    if (!list) return NewsFetcher::kErrorOutOfMemory;
    for (int i = 0; i < count; i++) {
        char link[kMaxNewsLinkLength + 1];
        // A link that cannot be resolved stays empty: its row opens nothing.
        size_t linkLength =
            ResolveNewsLink(pageAddress, page + spans[i].link.offset, spans[i].link.length, link, sizeof(link));
        list->Add(page + spans[i].title.offset, spans[i].title.length, link, linkLength);
    }
    *result = list;
    return 0;
}

void SetTimeouts(const WinInetFunctions& net, HINTERNET handle, DWORD connectTimeoutMs, DWORD receiveTimeoutMs) {
    // One connection attempt: a retry would multiply the time a dead server
    // can hold the download.
    DWORD retries = 1;
    net.InternetSetOptionW(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &connectTimeoutMs, sizeof(DWORD));
    net.InternetSetOptionW(handle, INTERNET_OPTION_CONNECT_RETRIES, &retries, sizeof(DWORD));
    net.InternetSetOptionW(handle, INTERNET_OPTION_SEND_TIMEOUT, &receiveTimeoutMs, sizeof(DWORD));
    net.InternetSetOptionW(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &receiveTimeoutMs, sizeof(DWORD));
}

// Opens the request for the page and sends it. Connection and request are
// opened one by one rather than in one call, so that the connection takes
// the time-outs: some WinINet versions give a connection made by
// InternetOpenUrl no receive time-out whatever the session says.
DWORD SendRequest(const WinInetFunctions& net, HINTERNET session, const wchar_t* address, DWORD connectTimeoutMs,
                  DWORD receiveTimeoutMs, InternetHandleHolder* connection, InternetHandleHolder* request) {
    wchar_t host[INTERNET_MAX_HOST_NAME_LENGTH + 1];
    // The path and, after it, the query: the request asks for both.
    wchar_t path[2 * kAddressChars] = {};
    wchar_t query[kAddressChars] = {};
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = INTERNET_MAX_HOST_NAME_LENGTH + 1;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = kAddressChars;
    parts.lpszExtraInfo = query;
    parts.dwExtraInfoLength = kAddressChars;
    if (!net.InternetCrackUrlW(address, 0, 0, &parts)) return FailureCode();
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
        return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    // A fragment is the browser's, never sent.
    if (wchar_t* fragment = wcschr(query, L'#')) *fragment = L'\0';
    lstrcatW(path, query);

    connection->Reset(net.InternetConnectW(session, host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!*connection) return FailureCode();
    SetTimeouts(net, connection->Get(), connectTimeoutMs, receiveTimeoutMs);
    DWORD flags = INTERNET_FLAG_RELOAD;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
    request->Reset(
        net.HttpOpenRequestW(connection->Get(), nullptr, path[0] ? path : L"/", nullptr, nullptr, nullptr, flags, 0));
    if (!*request) return FailureCode();
    if (!net.HttpSendRequestW(request->Get(), nullptr, 0, nullptr, 0)) return FailureCode();
    // A missing page or a failing server still sends a page, often made from
    // the site's own template: only a success is news.
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!net.HttpQueryInfoW(request->Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return FailureCode();
    if (status < 200 || status > 299) return NewsFetcher::kErrorHttpStatus;
    return 0;
}

// Where the page came from after any redirect, for resolving its relative
// links; the address asked for when the request cannot tell.
void FinalAddress(const WinInetFunctions& net, HINTERNET request, const wchar_t* asked, char* out, size_t outBytes) {
    // The length handed back is in bytes on some versions and in characters
    // on others: the text is taken up to its terminator, which the zeroed
    // last character guarantees.
    wchar_t reached[kAddressChars] = {};
    DWORD size = sizeof(reached) - sizeof(wchar_t);
    const wchar_t* address = asked;
    if (net.InternetQueryOptionW(request, INTERNET_OPTION_URL, reached, &size) && reached[0]) address = reached;
    if (!WideCharToMultiByte(CP_ACP, 0, address, -1, out, (int)outBytes, nullptr, nullptr)) out[0] = 0;
}

// One request for the page and one read of it.
DWORD Fetch(const wchar_t* address, DWORD connectTimeoutMs, DWORD receiveTimeoutMs, NewsList** result) {
    const WinInetFunctions* bound = WinInet();
    if (!bound) return ERROR_INTERNET_INTERNAL_ERROR;
    const WinInetFunctions& net = *bound;
    InternetHandleHolder session(net.InternetOpenW(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!session) return FailureCode();
    SetTimeouts(net, session.Get(), connectTimeoutMs, receiveTimeoutMs);

    // Closed request first, then connection, then session.
    InternetHandleHolder connection;
    InternetHandleHolder request;
    const DWORD sent =
        SendRequest(net, session.Get(), address, connectTimeoutMs, receiveTimeoutMs, &connection, &request);
    if (sent != 0) return sent;

    std::unique_ptr<char[]> page(new (std::nothrow) char[kNewsPageCapacity]);
    if (!page) return NewsFetcher::kErrorOutOfMemory;
    DWORD received = 0;
    // A failed read (a time-out) counts as nothing received.
    if (!net.InternetReadFile(request.Get(), page.get(), kNewsPageCapacity, &received)) received = 0;
    if (received == 0) return NewsFetcher::kErrorNothingReceived;

    char narrowAddress[kNarrowAddressBytes];
    FinalAddress(net, request.Get(), address, narrowAddress, sizeof(narrowAddress));
    return MakeList(page.get(), received, narrowAddress, result);
}

}  // namespace

// What a fetcher and its download thread share. Either may be the last to
// let go: the program may quit, and free the fetcher, while the download
// still waits for the server.
struct NewsFetcher::Shared {
    Shared() {
        InitializeCriticalSection(&lock);
        lstrcpynW(address, kPageAddress, kAddressChars);
    }
    ~Shared() {
        if (list) list->Release();
        DeleteCriticalSection(&lock);
    }
    Shared(const Shared&) = delete;
    Shared& operator=(const Shared&) = delete;

    void AddRef() { references.fetch_add(1, std::memory_order_relaxed); }
    void Release() {
        if (references.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }

    // Puts in a status with its list, and the error when one is given, in
    // one step; the list replaced goes when its last reader lets go.
    void Publish(int newStatus, NewsList* newList, const DWORD* newError) {
        NewsList* old;
        {
            LockScope hold(&lock);
            status = newStatus;
            if (newError) error = *newError;
            old = list;
            list = newList;
        }
        if (old) old->Release();
    }

    void SetStatus(int newStatus) {
        if (newStatus != kStatusItems) {
            Publish(newStatus, MakeStatusLine(newStatus), nullptr);
            return;
        }
        LockScope hold(&lock);
        status = newStatus;
    }

    DWORD Download() {
        wchar_t pageAddress[kAddressChars];
        DWORD connectMs, receiveMs;
        {
            LockScope hold(&lock);
            lstrcpynW(pageAddress, address, kAddressChars);
            connectMs = connectTimeoutMs;
            receiveMs = receiveTimeoutMs;
        }
        // No items, not even the status line, while the download runs: an
        // About dialog opened now shows no list rather than one about to
        // change.
        const DWORD cleared = 0;
        Publish(kStatusDownloading, nullptr, &cleared);

        NewsList* items = nullptr;
        const DWORD result = Fetch(pageAddress, connectMs, receiveMs, &items);
        if (result == 0 && items->Count() > 0) {
            Publish(kStatusItems, items, &result);
            return result;
        }
        if (items) items->Release();
        const int ended = result ? kStatusFailed : kStatusNoItems;
        Publish(ended, MakeStatusLine(ended), &result);
        return result;
    }

    std::atomic<long> references{1};
    CRITICAL_SECTION lock;
    // Guarded by the lock.
    NewsList* list = nullptr;
    int status = kStatusFailed;
    DWORD error = 0;
    wchar_t address[kAddressChars];
    DWORD connectTimeoutMs = kConnectTimeoutMs;
    DWORD receiveTimeoutMs = kReceiveTimeoutMs;
    HWND window = nullptr;
    UINT doneMessage = 0;
    std::atomic<bool> busy{false};
};

NewsFetcher::NewsFetcher() : shared_(new (std::nothrow) Shared) {}

NewsFetcher::~NewsFetcher() {
    if (shared_) shared_->Release();
}

void NewsFetcher::SetStatus(int status) {
    if (shared_) shared_->SetStatus(status);
}

bool NewsFetcher::Start(HWND window, UINT doneMessage) {
    if (!shared_) return false;
    bool idle = false;
    if (!shared_->busy.compare_exchange_strong(idle, true)) return false;
    {
        LockScope hold(&shared_->lock);
        shared_->window = window;
        shared_->doneMessage = doneMessage;
    }
    shared_->AddRef();
    // Nobody waits for the thread by its handle.
    HandleHolder thread(StartThread(DownloadThread, shared_, kNetworkThreadStackBytes));
    if (!thread) {
        shared_->busy = false;
        shared_->Release();
        return false;
    }
    return true;
}

unsigned __stdcall NewsFetcher::DownloadThread(void* parameter) {
    Shared* shared = static_cast<Shared*>(parameter);
    shared->Download();
    HWND window;
    UINT message;
    {
        LockScope hold(&shared->lock);
        window = shared->window;
        message = shared->doneMessage;
    }
    // Posted rather than sent: the window's thread may be waiting for
    // something else at this moment, and nothing here needs its answer.
    // The list is already in place whole when the message arrives.
    if (window) PostMessageW(window, message, 0, 0);
    shared->busy = false;
    shared->Release();
    return 0;
}

DWORD NewsFetcher::Download() {
    return shared_ ? shared_->Download() : kErrorOutOfMemory;
}

NewsListRef NewsFetcher::Items() const {
    if (!shared_) return NewsListRef();
    LockScope hold(&shared_->lock);
    if (shared_->list) shared_->list->AddRef();
    return NewsListRef(shared_->list);
}

int NewsFetcher::GetStatus() const {
    if (!shared_) return kStatusFailed;
    LockScope hold(&shared_->lock);
    return shared_->status;
}

DWORD NewsFetcher::GetError() const {
    if (!shared_) return kErrorOutOfMemory;
    LockScope hold(&shared_->lock);
    return shared_->error;
}

bool NewsFetcher::Busy() const {
    return shared_ && shared_->busy;
}

void NewsFetcher::UsePageForTests(const wchar_t* address, DWORD timeoutMs) {
    if (!shared_) return;
    LockScope hold(&shared_->lock);
    lstrcpynW(shared_->address, address, kAddressChars);
    shared_->connectTimeoutMs = timeoutMs;
    shared_->receiveTimeoutMs = timeoutMs;
}

NewsFetcher& ProgramNewsFetcher() {
    static NewsFetcher fetcher;
    return fetcher;
}
