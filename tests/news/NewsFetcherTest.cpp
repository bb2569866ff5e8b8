// The news download through WinINet against a real server on the loopback
// address (news_server.py, started around this program by
// with-news-server.sh): what each kind of page becomes, failures and
// time-outs, the hand-over to the interface thread, and quitting while a
// download still waits.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "LanguageState.h"
#include "NewsFetcher.h"
#include "NewsPage.h"

namespace {

const DWORD kTimeoutMs = 1500;
const DWORD kSystemError = 0xFFFFFFFF;  // any of the system's own codes

struct Ports {
    int server = 0;
    int refused = 0;
};

Ports ServerPorts() {
    Ports ports;
    char value[64] = {};
    if (GetEnvironmentVariableA("VEXA_NEWS_SERVER", value, sizeof(value)))
        std::sscanf(value, "%d %d", &ports.server, &ports.refused);
    return ports;
}

std::string Host(int port) {
    return "http://127.0.0.1:" + std::to_string(port);
}

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::string PagePath(const std::string& name) {
    return "news-pages\\" + name;
}

void WritePage(const std::string& name, const std::string& bytes) {
    FILE* f = std::fopen(PagePath(name).c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::string Ansi(int textId) {
    char text[256] = {};
    WideCharToMultiByte(CP_ACP, 0, LangText(textId), -1, text, sizeof(text), nullptr, nullptr);
    return text;
}

std::string Anchor(const std::string& link, const std::string& title) {
    return "<li><a href='" + link + "' title='" + title + "'>" + title + "</a></li>\n";
}

std::string ItemsPage(int count) {
    std::string page = "<html><body><ul><!--AAA-->\n";
    for (int i = 0; i < count; i++)
        page += Anchor("n" + std::to_string(i) + ".html", "Item " + std::to_string(i));
    return page + "<!--BBB--></ul></body></html>\n";
}

// Three items, then one whose closing "'>" ends `overrun` bytes past the
// receive buffer, then many more and the end marker far beyond it.
std::string PageAcrossTheCut(size_t overrun) {
    std::string page =
        "<!--AAA-->" + Anchor("n0.html", "Item 0") + Anchor("n1.html", "Item 1") + Anchor("n2.html", "Item 2");
    const std::string edge = "<a href='edge.html' title='Edge'>";
    page += std::string(kNewsPageCapacity + overrun - edge.size() - page.size(), ' ') + edge;
    for (int i = 0; i < 3000; i++)
        page += Anchor("late.html", "Beyond the cut");
    return page + "<!--BBB-->";
}

struct FetchCase {
    const char* name;
    std::string page;  // empty: the server answers `path` itself
    const char* path;  // null: the refused port; for a page, "" asks for it under /pages/
    int status;        // 0 failed, 2 items, 3 no items
    DWORD error;
    int count;
    const char* lastTitle = nullptr;
    const char* lastLink = nullptr;  // after the test server's address when it starts with '/'
};

}  // namespace

TEST(NewsFetcher, EachKindOfPageBecomesItsList) {
    const Ports ports = ServerPorts();
    ASSERT_NE(0, ports.server) << "run through with-news-server.sh";
    const FetchCase cases[] = {
        {"no-markers", "<html><body>No news today</body></html>", "", 0, NewsFetcher::kErrorNoBeginMarker, 1},
        {"no-items", "<!--AAA--><p>Nothing <b class='new'>new</b></p><!--BBB-->", "", 3, 0, 1},
        {"one", ItemsPage(1), "", 2, 0, 1, "Item 0", "/pages/n0.html"},
        {"nine", ItemsPage(9), "", 2, 0, 9, "Item 8", "/pages/n8.html"},
        {"ten", ItemsPage(10), "", 2, 0, 10, "Item 9", "/pages/n9.html"},
        {"two-hundred", ItemsPage(200), "", 2, 0, 200, "Item 199", "/pages/n199.html"},
        {"two-hundred-one", ItemsPage(201), "", 2, 0, 200, "Item 199", "/pages/n199.html"},
        {"links", "<!--AAA-->" + Anchor("http://www.vexapanel.com/a.html", "Abs") + Anchor("../s.shtml", "Shtml"), "",
         2, 0, 2, "Shtml", "/s.shtml"},
        {"title-before-href", "<!--AAA--><a title='No' href='no.html'>" + Anchor("k.html", "Kept"), "", 2, 0, 1, "Kept",
         "/pages/k.html"},
        {"title-open-at-the-end", "<!--AAA-->" + Anchor("a.html", "A") + "<a href='b.html' title='Cut", "", 2, 0, 1,
         "A", "/pages/a.html"},
        {"closing-on-the-last-byte", "<!--AAA-->" + Anchor("a.html", "A") + "<a href='b.html' title='B'>", "", 2, 0, 2,
         "B", "/pages/b.html"},
        {"over-the-buffer-ending-on-its-last-byte", PageAcrossTheCut(0), "", 2, 0, 4, "Edge", "/pages/edge.html"},
        {"over-the-buffer-one-byte-past-it", PageAcrossTheCut(1), "", 2, 0, 3, "Item 2", "/pages/n2.html"},
        {"not-found", ItemsPage(3), "/status/404/not-found.html", 0, NewsFetcher::kErrorHttpStatus, 1},
        {"server-error", ItemsPage(3), "/status/500/server-error.html", 0, NewsFetcher::kErrorHttpStatus, 1},
        {"redirected", ItemsPage(2), "/moved/redirected.html", 2, 0, 2, "Item 1", "/pages/n1.html"},
        {"sends-nothing", "", "/empty", 0, NewsFetcher::kErrorNothingReceived, 1},
        {"refused", "", nullptr, 0, kSystemError, 1},
        {"never-answers", "", "/stall/table", 0, kSystemError, 1},
        {"never-sends-the-body", "", "/stall-body/table", 0, NewsFetcher::kErrorNothingReceived, 1},
    };
    for (const FetchCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string address = Host(c.path ? ports.server : ports.refused) + (c.path ? c.path : "/07/soft/index.html");
        if (!c.page.empty()) {
            WritePage(std::string(c.name) + ".html", c.page);
            // A query and a fragment change neither the request nor the links.
            address =
                Host(ports.server) + (*c.path ? c.path : "/pages/" + std::string(c.name) + ".html?from=panel#news");
        }
        NewsFetcher fetcher;
        fetcher.UsePageForTests(Wide(address).c_str(), kTimeoutMs);
        const DWORD started = GetTickCount();
        const DWORD error = fetcher.Download();
        // A silent server costs a time-out or two, never more.
        EXPECT_LT(GetTickCount() - started, 3 * kTimeoutMs + 2000);

        if (c.error == kSystemError) {
            EXPECT_TRUE(error != 0 && error != 8 && error != 40000 && error != 40001) << error;
        } else {
            EXPECT_EQ(c.error, error);
        }
        EXPECT_EQ(error, fetcher.GetError());
        EXPECT_EQ(c.status, fetcher.GetStatus());
        NewsListRef list = fetcher.Items();
        ASSERT_EQ(c.count, list.Count());
        if (c.status != NewsFetcher::kStatusItems) {
            // The status line in the language of the run, with no link.
            EXPECT_EQ(Ansi(c.status == NewsFetcher::kStatusNoItems ? 65 : 63), list.Title(0));
            EXPECT_STREQ("", list.Link(0));
            continue;
        }
        EXPECT_STREQ(c.lastTitle, list.Title(c.count - 1));
        EXPECT_EQ(Host(ports.server) + c.lastLink, list.Link(c.count - 1));
    }
}

// The interface thread neither pumps nor answers here while the download
// runs, as when it waits for something else: the download must still end,
// and every look at the list finds it empty or whole.
TEST(NewsFetcherThread, HandsTheListOverWholeAndPostsWhenDone) {
    WritePage("handover.html", ItemsPage(200));
    NewsFetcher fetcher;
    fetcher.UsePageForTests(Wide(Host(ServerPorts().server) + "/pages/handover.html").c_str(), 5000);
    HWND sink = CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    const UINT done = WM_APP + 7;

    ASSERT_TRUE(fetcher.Start(sink, done));
    EXPECT_FALSE(fetcher.Start(sink, done)) << "one download at a time";
    for (const DWORD started = GetTickCount(); fetcher.Busy() && GetTickCount() - started < 10000;) {
        NewsListRef list = fetcher.Items();
        ASSERT_TRUE(list.Count() == 0 || list.Count() == 200) << list.Count();
        if (list.Count() == 200) {
            ASSERT_STREQ("Item 199", list.Title(199));
        }
    }
    ASSERT_FALSE(fetcher.Busy());
    int posts = 0;
    for (MSG msg; PeekMessageW(&msg, sink, done, done, PM_REMOVE);)
        posts++;
    EXPECT_EQ(1, posts);
    EXPECT_EQ(200, fetcher.Items().Count());
    DestroyWindow(sink);
}

// The program quits while its download waits for a server that never
// answers: the process must end at once, not when the download gives up.
TEST(NewsFetcherThread, QuittingDuringADownloadEndsTheProcessAtOnce) {
    const std::string token = "quit-" + std::to_string(GetTickCount());
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --gtest_filter=NewsFetcherQuitChild.*";
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = nul;
    PROCESS_INFORMATION child = {};
    SetEnvironmentVariableA("VEXA_NEWS_QUIT_CHILD", token.c_str());
    ASSERT_TRUE(
        CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child));
    SetEnvironmentVariableA("VEXA_NEWS_QUIT_CHILD", nullptr);
    CloseHandle(nul);

    // Far below the child's download time-out of a minute.
    const DWORD waited = WaitForSingleObject(child.hProcess, 15000);
    DWORD exitCode = 1;
    GetExitCodeProcess(child.hProcess, &exitCode);
    if (waited != WAIT_OBJECT_0) TerminateProcess(child.hProcess, 1);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    EXPECT_EQ(WAIT_OBJECT_0, waited);
    EXPECT_EQ(0u, exitCode);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(PagePath(token + ".seen").c_str()))
        << "the child's download never reached the server";
}

// The child's side of the test above, with the program's own fetcher, which
// is freed at exit under the running download; skipped in a normal run.
TEST(NewsFetcherQuitChild, StartsTheDownloadAndReturnsWhileItWaits) {
    char token[64] = {};
    if (!GetEnvironmentVariableA("VEXA_NEWS_QUIT_CHILD", token, sizeof(token))) GTEST_SKIP();
    NewsFetcher& fetcher = ProgramNewsFetcher();
    fetcher.UsePageForTests(Wide(Host(ServerPorts().server) + "/stall/" + token).c_str(), 60000);
    ASSERT_TRUE(fetcher.Start(nullptr, 0));
    const std::string seen = PagePath(std::string(token) + ".seen");
    for (int i = 0; i < 100 && GetFileAttributesA(seen.c_str()) == INVALID_FILE_ATTRIBUTES; i++)
        Sleep(100);
    ASSERT_TRUE(fetcher.Busy());
}
