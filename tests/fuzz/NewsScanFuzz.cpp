// The news page scan: every item lies inside the marked section of the
// bytes given, in page order, shaped as the anchor it was read from; a
// smaller capacity gives the first items of a larger one.

#include <string.h>

#include <vector>

#include "FuzzInput.h"
#include "NewsPage.h"

namespace {

bool EndsWith(const char* page, const PageSpan& span, const char* tail) {
    const size_t n = strlen(tail);
    return span.length >= n && memcmp(page + span.offset + span.length - n, tail, n) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Exactly the received bytes, unterminated, as the download leaves them.
    std::vector<char> bytes(data, data + size);
    const char* page = bytes.data();
    std::vector<NewsItemSpans> items(kMaxNewsItems);
    const int count = ScanNewsPage(page, size, items.data(), kMaxNewsItems);

    const char* begin =
        size == 0 ? nullptr : static_cast<const char*>(memmem(page, size, kNewsBeginMarker, strlen(kNewsBeginMarker)));
    if (!begin) {
        FUZZ_CHECK(count == -1);
        return 0;
    }
    FUZZ_CHECK(count >= 0 && count <= kMaxNewsItems);
    const size_t sectionBegin = begin - page;
    const char* endMarker =
        static_cast<const char*>(memmem(begin, size - sectionBegin, kNewsEndMarker, strlen(kNewsEndMarker)));
    const size_t sectionEnd = endMarker ? endMarker - page : size;

    size_t after = sectionBegin;
    for (int i = 0; i < count; i++) {
        const NewsItemSpans& item = items[i];
        FUZZ_CHECK(item.link.offset >= after + 6 && item.link.offset <= sectionEnd);
        FUZZ_CHECK(item.link.length <= sectionEnd - item.link.offset);
        FUZZ_CHECK(memcmp(page + item.link.offset - 6, "href='", 6) == 0);
        FUZZ_CHECK(EndsWith(page, item.link, ".html") || EndsWith(page, item.link, ".shtml"));
        FUZZ_CHECK(item.title.offset >= item.link.offset + item.link.length + 8);
        FUZZ_CHECK(memcmp(page + item.title.offset - 8, " title='", 8) == 0);
        FUZZ_CHECK(item.title.offset <= sectionEnd && item.title.length <= sectionEnd - item.title.offset);
        // The anchor closes right after the title, inside the section.
        const size_t close = item.title.offset + item.title.length;
        if (item.title.length > 0) {
            FUZZ_CHECK(close + 2 <= sectionEnd && memcmp(page + close, "'>", 2) == 0);
        }
        after = close;
    }

    // Fewer places give the first items.
    const int smaller = count / 2;
    std::vector<NewsItemSpans> first(smaller > 0 ? smaller : 1);
    FUZZ_CHECK(ScanNewsPage(page, size, first.data(), smaller) == smaller);
    for (int i = 0; i < smaller; i++) {
        FUZZ_CHECK(memcmp(&first[i], &items[i], sizeof(NewsItemSpans)) == 0);
    }
    return 0;
}
