// The addresses handed to the browser: a well-formed one is an http(s)
// address without a character that could leave its quotes, and quoting it
// gives exactly it between two quotes, inside the buffer given.

#include <string.h>

#include <string>
#include <vector>

#include "FuzzInput.h"
#include "WebAddress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const size_t outSize = input.Byte() & 1 ? kMaxWebAddressLength + 3 : input.Byte() * 9;
    std::vector<uint8_t> bytes = input.Rest();
    std::string address(bytes.begin(), bytes.end());
    address = address.c_str();

    const bool wellFormed = IsWellFormedWebAddress(address.c_str());
    std::vector<char> out(outSize + 1, 'Z');
    const bool quoted = QuoteWebAddressArgument(address.c_str(), out.data(), outSize);
    FUZZ_CHECK(out[outSize] == 'Z');
    FUZZ_CHECK(!quoted || wellFormed);
    if (!wellFormed) return 0;

    FUZZ_CHECK(address.size() <= kMaxWebAddressLength);
    std::string lower = address.substr(0, 8);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
    }
    FUZZ_CHECK(lower.compare(0, 7, "http://") == 0 || lower.compare(0, 8, "https://") == 0);
    for (unsigned char c : address) {
        FUZZ_CHECK(c > 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '<' && c != '>' && c != '`');
    }
    FUZZ_CHECK(quoted == (outSize >= address.size() + 3));
    if (quoted) {
        FUZZ_CHECK(out[0] == '"' && memcmp(out.data() + 1, address.data(), address.size()) == 0);
        FUZZ_CHECK(out[address.size() + 1] == '"' && out[address.size() + 2] == '\0');
    }
    // A well-formed address stays well formed in the other letter case of
    // its scheme, and quoting does not change what was checked.
    std::string upper = address;
    for (size_t i = 0; i < 4; i++)
        upper[i] = (char)(upper[i] ^ 0x20);
    FUZZ_CHECK(IsWellFormedWebAddress(upper.c_str()));
    return 0;
}
