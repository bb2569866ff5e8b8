// Resolving a news link against the page's address: the answer is a
// terminated string of the length answered, inside the buffer and the
// longest link kept, an absolute address on the page's scheme whose path
// holds no "." or ".." segments, and resolving it again changes nothing.

#include <string.h>

#include <string>
#include <vector>

#include "FuzzInput.h"
#include "NewsPage.h"

namespace {

// The scheme of an address, or "" when it has none.
std::string SchemeOf(const char* text, size_t length) {
    size_t i = 0;
    while (i < length && text[i] != ':' && text[i] != '/' && text[i] != '?' && text[i] != '#')
        i++;
    if (i == 0 || i == length || text[i] != ':') return "";
    for (size_t k = 0; k < i; k++) {
        const char c = text[k];
        const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!(alpha || (k > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')))) return "";
    }
    return std::string(text, i);
}

// The path of "scheme://host/path?query#fragment" holds no dot segments.
void CheckNoDotSegments(const std::string& address, size_t schemeLength) {
    size_t p = address.find_first_of("/?#", schemeLength + 3);
    const size_t pathEnd = address.find_first_of("?#", p == std::string::npos ? address.size() : p);
    const std::string path = address.substr(
        p == std::string::npos ? address.size() : p,
        (pathEnd == std::string::npos ? address.size() : pathEnd) - (p == std::string::npos ? address.size() : p));
    size_t from = 0;
    while (from < path.size()) {
        size_t to = path.find('/', from + 1);
        if (to == std::string::npos) to = path.size();
        const std::string segment = path.substr(from + 1, to - from - 1);
        FUZZ_CHECK(segment != "." && segment != "..");
        from = to;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const size_t outSize = input.Byte() & 1 ? kMaxNewsLinkLength + 1 : (input.Byte() << 4 | input.Byte() >> 4);
    std::vector<uint8_t> pageBytes = input.Bytes(input.Byte());
    std::string pageAddress(pageBytes.begin(), pageBytes.end());
    pageAddress = pageAddress.c_str();
    // The link as the scan leaves it: bytes of the page, unterminated.
    std::vector<char> link(data + (size - input.Left()), data + size);

    std::vector<char> out(outSize + 1, 'Z');
    const size_t length = ResolveNewsLink(pageAddress.c_str(), link.data(), link.size(), out.data(), outSize);
    FUZZ_CHECK(out[outSize] == 'Z');
    if (outSize == 0) {
        FUZZ_CHECK(length == 0);
        return 0;
    }
    FUZZ_CHECK(length < outSize && length <= kMaxNewsLinkLength);
    FUZZ_CHECK(out[length] == '\0' && strlen(out.data()) == length);
    if (length == 0) return 0;

    const std::string resolved(out.data(), length);
    const std::string linkScheme = SchemeOf(link.data(), link.size());
    if (!linkScheme.empty()) {
        FUZZ_CHECK(resolved == std::string(link.data(), link.size()));
    } else {
        const std::string pageScheme = SchemeOf(pageAddress.data(), pageAddress.size());
        FUZZ_CHECK(!pageScheme.empty() && resolved.compare(0, pageScheme.size() + 3, pageScheme + "://") == 0);
        size_t linkPathEnd = 0;
        while (linkPathEnd < link.size() && link[linkPathEnd] != '?' && link[linkPathEnd] != '#')
            linkPathEnd++;
        // A link of only a query or fragment keeps the page's own path.
        if (linkPathEnd > 0) CheckNoDotSegments(resolved, pageScheme.size());
    }

    // The answer is absolute: resolved again, against any page, it stays.
    std::vector<char> again(kMaxNewsLinkLength + 1);
    FUZZ_CHECK(ResolveNewsLink(pageAddress.c_str(), resolved.data(), resolved.size(), again.data(), again.size()) ==
               length);
    FUZZ_CHECK(resolved == again.data());
    return 0;
}
