#include "WebAddress.h"

#include <cstring>

namespace {

bool IsAsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Unreserved and reserved URI characters, less '%' which is checked apart.
bool IsUriCharacter(char c) {
    return IsAsciiAlnum(c) || (c != '\0' && std::strchr("-._~:/?#[]@!$&'()*+,;=", c) != nullptr);
}

bool StartsWithIgnoringCase(const char* text, const char* prefix) {
    for (; *prefix; text++, prefix++) {
        char c = *text;
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != *prefix) return false;
    }
    return true;
}

// Host labels of letters, digits and hyphens, separated by single dots.
const char* SkipHost(const char* p) {
    const char* start = p;
    bool labelStart = true;
    for (; IsAsciiAlnum(*p) || *p == '-' || *p == '.'; p++) {
        if (*p == '.') {
            if (labelStart) return nullptr;
            labelStart = true;
        } else {
            if (labelStart && *p == '-') return nullptr;
            labelStart = false;
        }
    }
    if (p == start || labelStart) return nullptr;
    return p;
}

}  // namespace

bool IsWellFormedWebAddress(const char* address) {
    if (!address) return false;
    const std::size_t length = std::strlen(address);
    if (length == 0 || length > kMaxWebAddressLength) return false;
    const char* p;
    if (StartsWithIgnoringCase(address, "http://"))
        p = address + 7;
    else if (StartsWithIgnoringCase(address, "https://"))
        p = address + 8;
    else
        return false;

    p = SkipHost(p);
    if (!p) return false;
    if (*p == ':') {
        p++;
        int digits = 0;
        for (; *p >= '0' && *p <= '9'; p++)
            digits++;
        if (digits == 0 || digits > 5) return false;
    }
    if (*p != '\0' && *p != '/' && *p != '?' && *p != '#') return false;
    for (; *p; p++) {
        if (*p == '%') {
            if (!IsHexDigit(p[1]) || !IsHexDigit(p[2])) return false;
            p += 2;
        } else if (!IsUriCharacter(*p)) {
            return false;
        }
    }
    return true;
}

bool QuoteWebAddressArgument(const char* address, char* out, std::size_t outSize) {
    if (!IsWellFormedWebAddress(address)) return false;
    const std::size_t length = std::strlen(address);
    if (outSize < length + 3) return false;
    // Without spaces, quotes or backslashes inside, the quotes keep the
    // address one argument for any command-line parser.
    out[0] = '"';
    std::memcpy(out + 1, address, length);
    out[length + 1] = '"';
    out[length + 2] = '\0';
    return true;
}
