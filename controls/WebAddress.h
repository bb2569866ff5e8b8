// Checks of the web addresses a link label may hand to the browser. The
// addresses come from a downloaded page, so they are untrusted input that
// ends up on a command line. Pure logic.
#pragma once

#include <cstddef>

// True only for an absolute http:// or https:// address: a host of letters,
// digits, hyphens and dots, an optional port, then only characters a URI
// may hold (no spaces, quotes, backslashes or control characters) and
// well-formed %XX escapes.
bool IsWellFormedWebAddress(const char* address);

// Writes the address as one double-quoted command-line argument. False when
// the address is not well formed or does not fit.
bool QuoteWebAddressArgument(const char* address, char* out, std::size_t outSize);

// Longest address accepted.
const std::size_t kMaxWebAddressLength = 2048;
