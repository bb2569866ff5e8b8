// The news page as received: the items between its two markers, and where
// their links point. Pure logic over a bounded run of bytes, since the bytes
// come from a server: nothing here reads past the count it is given or
// expects a terminating zero.
#pragma once

#include <cstddef>

// The receive buffer: a longer page is cut at this size.
const std::size_t kNewsPageCapacity = 300000;
// Items past this many are ignored.
const int kMaxNewsItems = 200;

// The marked section runs from the first begin marker to the first end
// marker after it, or to the end of the bytes when there is none.
extern const char kNewsBeginMarker[];  // "<!--AAA-->"
extern const char kNewsEndMarker[];    // "<!--BBB-->"

// Bytes of the page: from offset, length bytes.
struct PageSpan {
    std::size_t offset;
    std::size_t length;
};

struct NewsItemSpans {
    PageSpan title;
    PageSpan link;  // from after "href='" to the end of ".html" or ".shtml"
};

// Scans an anchor written as <a href='LINK.html' title='TITLE'> (".shtml"
// too); an anchor whose parts come in another order is skipped. Writes at
// most `capacity` items and answers how many, or -1 when the page has no
// begin marker.
int ScanNewsPage(const char* page, std::size_t size, NewsItemSpans* items, int capacity);

// Longest link passed on once resolved; a longer one is dropped.
const std::size_t kMaxNewsLinkLength = 2048;

// Resolves a link of the page against the page's own absolute address, as a
// browser would: "a.html", "../a.html", "/a.html" and "//host/a.html" become
// absolute; a link with a scheme of its own is kept as it is, for the label
// to open or refuse. Writes a terminated string to out and answers its
// length; 0 (and an empty out) when a link without a scheme meets a page
// address without scheme and host, the link holds a zero byte, or the
// result is longer than kMaxNewsLinkLength or outSize - 1.
std::size_t ResolveNewsLink(const char* pageAddress, const char* link, std::size_t linkLength, char* out,
                            std::size_t outSize);
