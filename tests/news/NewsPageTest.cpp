// The news page scan and the resolution of its links, on bytes in memory.
// The kinds of page a server sends are in NewsFetcherTest.cpp; these are
// the bounds of the scan and the shapes of links.
#include <gtest/gtest.h>

#include <string>

#include "NewsPage.h"
#include "WebAddress.h"

#include <windows.h>

namespace {

// "title|link;" for each item, or "none" without a begin marker.
std::string Scan(const char* page, size_t size) {
    NewsItemSpans spans[kMaxNewsItems];
    const int count = ScanNewsPage(page, size, spans, kMaxNewsItems);
    if (count < 0) return "none";
    std::string items;
    for (int i = 0; i < count; i++) {
        items += std::string(page + spans[i].title.offset, spans[i].title.length) + "|" +
                 std::string(page + spans[i].link.offset, spans[i].link.length) + ";";
    }
    return items;
}

}  // namespace

// Each page ends where readable memory ends: a search one byte too far, or
// one for a terminating zero, faults.
TEST(NewsPageScan, StaysInsideTheBytesReceived) {
    const struct {
        const char* page;
        const char* items;
    } cases[] = {
        {"<!--AAA", "none"},
        {"<!--AAA-->", ""},
        {"<!--AAA--><a href='a.sht", ""},
        {"<!--AAA--><a href='a.html' title='A'", ""},
        {"<!--AAA--><a href='a.html' title='A'>", "A|a.html;"},
        {"<!--AAA--><a href='a.html' title='>", "|a.html;"},
        {"<!--AAA--><b class='x'><a href='c.html' title='C'>", "C|c.html;"},
        {"<!--AAA--><a href='a.htm' title='A'><a href='b.html' title='B'>", "B|b.html;"},
        {"<!--AAA--><a href='x.shtml' title='X'><a href='y.html' title='Y'>", "X|x.shtml;Y|y.html;"},
        {"<!--BBB--><!--AAA--><a href='a.html' title='A'>", "A|a.html;"},
        {"<!--AAA--><a href='a.html' title='A'><!--BBB--><a href='b.html' title='B'>", "A|a.html;"},
        {"<!--AAA--><a href='a.html' title='A<!--BBB-->'>", ""},
    };
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const size_t pageSize = system.dwPageSize;
    char* memory = static_cast<char*>(VirtualAlloc(nullptr, 2 * pageSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(nullptr, memory);
    DWORD old;
    ASSERT_TRUE(VirtualProtect(memory + pageSize, pageSize, PAGE_NOACCESS, &old));
    for (const auto& c : cases) {
        const size_t size = strlen(c.page);
        char* page = memory + pageSize - size;
        memcpy(page, c.page, size);
        EXPECT_EQ(c.items, Scan(page, size)) << c.page;
    }
    VirtualFree(memory, 0, MEM_RELEASE);
}

// A full buffer of closing quotes: searching again from every quote for the
// strings that never come would take many seconds.
TEST(NewsPageScan, AFullPageOfQuotesTakesOnePass) {
    std::string page = "<!--AAA-->";
    while (page.size() + 2 <= kNewsPageCapacity)
        page += "'>";
    const DWORD started = GetTickCount();
    EXPECT_EQ("", Scan(page.data(), page.size()));
    EXPECT_LT(GetTickCount() - started, 1000u);
}

TEST(NewsLink, RelativeLinksBecomeAddressesAndTheRestStaysInert) {
    const char* news = "http://www.vexapanel.com/07/soft/index.html";
    const struct {
        const char* page;
        const char* link;
        const char* resolved;
        bool opens;  // what the link label makes of it
    } cases[] = {
        {news, "a.html", "http://www.vexapanel.com/07/soft/a.html", true},
        {news, "./n/a.html", "http://www.vexapanel.com/07/soft/n/a.html", true},
        {news, "../08/a.html", "http://www.vexapanel.com/07/08/a.html", true},
        {news, "../../../../a.html", "http://www.vexapanel.com/a.html", true},
        {news, "/a/./b/../c.shtml", "http://www.vexapanel.com/a/c.shtml", true},
        {news, "//cdn.vexapanel.com/a.html", "http://cdn.vexapanel.com/a.html", true},
        {news, "a.html?id=3#top", "http://www.vexapanel.com/07/soft/a.html?id=3#top", true},
        {news, "?q=a.html", "http://www.vexapanel.com/07/soft/index.html?q=a.html", true},
        {"http://127.0.0.1:8080", "a.html", "http://127.0.0.1:8080/a.html", true},
        {news, "https://other.example/a.html", "https://other.example/a.html", true},
        {"", "https://other.example/a.html", "https://other.example/a.html", true},
        {news, "javascript:open('x.html", "javascript:open('x.html", false},
        {news, "a b.html", "http://www.vexapanel.com/07/soft/a b.html", false},
        {"index.html", "a.html", "", false},
        {"http:///index.html", "a.html", "", false},
    };
    for (const auto& c : cases) {
        char out[kMaxNewsLinkLength + 1];
        EXPECT_EQ(strlen(c.resolved), ResolveNewsLink(c.page, c.link, strlen(c.link), out, sizeof(out))) << c.link;
        EXPECT_STREQ(c.resolved, out) << c.link;
        EXPECT_EQ(c.opens, IsWellFormedWebAddress(out)) << c.link;
    }
    // No room for the result: nothing at all.
    char out[kMaxNewsLinkLength + 1];
    EXPECT_EQ(0u, ResolveNewsLink("http://host/", "a.html", 6, out, 18));
    EXPECT_STREQ("", out);
    EXPECT_EQ(18u, ResolveNewsLink("http://host/", "a.html", 6, out, 19));
    const std::string longLink = std::string(kMaxNewsLinkLength, 'a') + ".html";
    EXPECT_EQ(0u, ResolveNewsLink("http://host/", longLink.data(), longLink.size(), out, sizeof(out)));

    // A zero byte inside the link would cut the address handed on; no link
    // at all is the page itself.
    const char withZero[] = "a.html\0http://elsewhere/";
    EXPECT_EQ(0u, ResolveNewsLink("http://host/", withZero, sizeof(withZero) - 1, out, sizeof(out)));
    EXPECT_STREQ("", out);
    EXPECT_EQ(12u, ResolveNewsLink("http://host/", nullptr, 0, out, sizeof(out)));
    EXPECT_STREQ("http://host/", out);
}
