#include "NewsPage.h"

#include <cstring>

const char kNewsBeginMarker[] = "<!--AAA-->";
const char kNewsEndMarker[] = "<!--BBB-->";

namespace {

const std::size_t kNone = static_cast<std::size_t>(-1);

const char kHref[] = "href='";
const char kHtml[] = ".html";
const char kShtml[] = ".shtml";
const char kTitle[] = " title='";
const char kClose[] = "'>";

template <std::size_t N>
constexpr std::size_t Length(const char (&)[N]) {
    return N - 1;
}

// First occurrence of needle lying wholly inside text[from, end).
std::size_t FindIn(const char* text, std::size_t from, std::size_t end, const char* needle, std::size_t length) {
    if (length == 0 || end < length) return kNone;
    const std::size_t last = end - length;
    while (from <= last) {
        const void* hit = std::memchr(text + from, needle[0], last - from + 1);
        if (!hit) return kNone;
        const std::size_t at = static_cast<const char*>(hit) - text;
        if (std::memcmp(text + at, needle, length) == 0) return at;
        from = at + 1;
    }
    return kNone;
}

// One search string of the scan, remembering its last answer. The cursor
// only moves forward, so an occurrence at or after it is still the first,
// and a string once missing stays missing: a page of many anchors costs one
// pass per string instead of one per anchor.
class Finder {
public:
    Finder(const char* text, std::size_t end, const char* needle, std::size_t length)
        : text_(text), end_(end), needle_(needle), length_(length) {}

    std::size_t From(std::size_t cursor) {
        if (!searched_ || (found_ != kNone && found_ < cursor)) {
            found_ = FindIn(text_, cursor, end_, needle_, length_);
            searched_ = true;
        }
        return found_;
    }

private:
    const char* text_;
    std::size_t end_;
    const char* needle_;
    std::size_t length_;
    std::size_t found_ = kNone;
    bool searched_ = false;
};

}  // namespace

int ScanNewsPage(const char* page, std::size_t size, NewsItemSpans* items, int capacity) {
    const std::size_t begin = FindIn(page, 0, size, kNewsBeginMarker, Length(kNewsBeginMarker));
    if (begin == kNone) return -1;
    std::size_t end = FindIn(page, begin, size, kNewsEndMarker, Length(kNewsEndMarker));
    if (end == kNone) end = size;

    Finder href(page, end, kHref, Length(kHref));
    Finder html(page, end, kHtml, Length(kHtml));
    Finder shtml(page, end, kShtml, Length(kShtml));
    Finder title(page, end, kTitle, Length(kTitle));
    Finder close(page, end, kClose, Length(kClose));

    int count = 0;
    std::size_t c = begin;
    while (c < end && count < capacity) {
        const std::size_t h = href.From(c);
        const std::size_t e1 = html.From(c);
        const std::size_t e2 = shtml.From(c);
        const std::size_t t = title.From(c);
        const std::size_t g = close.From(c);
        // kNone is the largest value, so the earlier extension wins and a
        // missing one never does.
        const std::size_t x = e1 < e2 ? e1 : e2;
        if (g == kNone) break;
        if (h == kNone || x == kNone || t == kNone || g < h || g < x || g < t) {
            c = g + 2;
            continue;
        }
        if (!(h < x && x < t && t < g)) {
            c = g + 1;
            continue;
        }
        const std::size_t linkEnd = x + (x == e1 ? Length(kHtml) : Length(kShtml));
        const std::size_t titleBegin = t + Length(kTitle);
        NewsItemSpans& item = items[count++];
        item.link.offset = h + Length(kHref);
        item.link.length = linkEnd - item.link.offset;
        item.title.offset = titleBegin;
        // " title='>" leaves its closing quote inside the attribute: no title.
        item.title.length = g > titleBegin ? g - titleBegin : 0;
        c = g + 2;
    }
    return count;
}

namespace {

bool IsAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsSchemeCharacter(char c) {
    return IsAlpha(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// Length of the scheme that opens text ("http" of "http://..."), 0 for none.
std::size_t SchemeLength(const char* text, std::size_t length) {
    if (length == 0 || !IsAlpha(text[0])) return 0;
    for (std::size_t i = 1; i < length; i++) {
        if (text[i] == ':') return i;
        if (!IsSchemeCharacter(text[i])) return 0;
    }
    return 0;
}

// First of any of the stop characters in text[from, length), else length.
std::size_t SpanUntil(const char* text, std::size_t from, std::size_t length, const char* stops) {
    for (std::size_t i = from; i < length; i++) {
        if (text[i] != '\0' && std::strchr(stops, text[i])) return i;
    }
    return length;
}

// Appends to a fixed buffer; once something does not fit, nothing more is
// written and the result is refused.
class Output {
public:
    Output(char* out, std::size_t limit) : out_(out), limit_(limit) {}

    void Add(const char* text, std::size_t length) {
        // Nothing to add may come without text at all.
        if (length == 0) return;
        if (!fits_ || length > limit_ - length_) {
            fits_ = false;
            return;
        }
        std::memcpy(out_ + length_, text, length);
        length_ += length;
    }
    // Drops the last "/segment" written after `floor`.
    void DropLastSegment(std::size_t floor) {
        while (length_ > floor && out_[length_ - 1] != '/')
            length_--;
        if (length_ > floor) length_--;
    }
    std::size_t Length() const { return length_; }
    bool Fits() const { return fits_; }

private:
    char* out_;
    std::size_t limit_;
    std::size_t length_ = 0;
    bool fits_ = true;
};

// Writes path segments, taking "." and ".." away as a browser does.
class PathWriter {
public:
    explicit PathWriter(Output& out) : out_(out), floor_(out.Length()) {}

    // The segments of text, which holds no leading '/'; `last` when nothing
    // follows them.
    void Segments(const char* text, std::size_t length, bool last) {
        std::size_t from = 0;
        for (;;) {
            const std::size_t to = SpanUntil(text, from, length, "/");
            Segment(text + from, to - from, last && to == length);
            if (to == length) return;
            from = to + 1;
        }
    }

private:
    void Segment(const char* text, std::size_t length, bool last) {
        const bool dot = length == 1 && text[0] == '.';
        const bool dotDot = length == 2 && text[0] == '.' && text[1] == '.';
        if (dotDot) out_.DropLastSegment(floor_);
        if (dot || dotDot) {
            // "a/." and "a/.." name a folder: the path keeps its final slash.
            if (last) out_.Add("/", 1);
            return;
        }
        out_.Add("/", 1);
        out_.Add(text, length);
    }

    Output& out_;
    std::size_t floor_;
};

// Terminates what was written, or refuses it all when something did not fit.
std::size_t Finish(const Output& result, char* out) {
    const std::size_t length = result.Fits() ? result.Length() : 0;
    out[length] = '\0';
    return length;
}

}  // namespace

std::size_t ResolveNewsLink(const char* pageAddress, const char* link, std::size_t linkLength, char* out,
                            std::size_t outSize) {
    if (!out || outSize == 0) return 0;
    out[0] = '\0';
    if (!link && linkLength > 0) return 0;
    // A zero byte is no part of an address; the string handed on would end
    // there and name another one.
    if (linkLength > 0 && std::memchr(link, '\0', linkLength)) return 0;
    const std::size_t limit = outSize - 1 < kMaxNewsLinkLength ? outSize - 1 : kMaxNewsLinkLength;
    Output result(out, limit);

    if (SchemeLength(link, linkLength) > 0) {
        result.Add(link, linkLength);
        return Finish(result, out);
    }
    if (!pageAddress) return 0;

    // The page: scheme "://" host, then path, query and fragment.
    const std::size_t baseLength = std::strlen(pageAddress);
    const std::size_t scheme = SchemeLength(pageAddress, baseLength);
    if (scheme == 0 || baseLength < scheme + 3 || std::strncmp(pageAddress + scheme, "://", 3) != 0) return 0;
    const std::size_t hostEnd = SpanUntil(pageAddress, scheme + 3, baseLength, "/?#");
    if (hostEnd == scheme + 3) return 0;
    const std::size_t basePathEnd = SpanUntil(pageAddress, hostEnd, baseLength, "?#");
    const std::size_t baseQueryEnd = SpanUntil(pageAddress, basePathEnd, baseLength, "#");

    // The link's path runs to its query or fragment, which follow unchanged.
    const std::size_t pathEnd = SpanUntil(link, 0, linkLength, "?#");

    if (linkLength >= 2 && link[0] == '/' && link[1] == '/') {
        result.Add(pageAddress, scheme + 1);
        const std::size_t hostEndInLink = SpanUntil(link, 2, pathEnd, "/");
        result.Add(link, hostEndInLink);
        if (hostEndInLink < pathEnd)
            PathWriter(result).Segments(link + hostEndInLink + 1, pathEnd - hostEndInLink - 1, true);
        result.Add(link + pathEnd, linkLength - pathEnd);
    } else if (pathEnd > 0 && link[0] == '/') {
        result.Add(pageAddress, hostEnd);
        PathWriter(result).Segments(link + 1, pathEnd - 1, true);
        result.Add(link + pathEnd, linkLength - pathEnd);
    } else if (pathEnd == 0) {
        // Only a query or fragment (or nothing): the page itself.
        result.Add(pageAddress, linkLength > 0 && link[0] == '?' ? basePathEnd : baseQueryEnd);
        result.Add(link, linkLength);
    } else {
        // Relative to the page's folder: its path up to the last slash.
        result.Add(pageAddress, hostEnd);
        std::size_t folderEnd = basePathEnd;
        while (folderEnd > hostEnd && pageAddress[folderEnd - 1] != '/')
            folderEnd--;
        PathWriter path(result);
        if (folderEnd > hostEnd + 1) path.Segments(pageAddress + hostEnd + 1, folderEnd - hostEnd - 2, false);
        path.Segments(link, pathEnd, true);
        result.Add(link + pathEnd, linkLength - pathEnd);
    }
    return Finish(result, out);
}
