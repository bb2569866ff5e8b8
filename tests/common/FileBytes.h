// A whole file's bytes, for tests that compare what was written byte for
// byte; "<no file>" when it cannot be opened, which no real file holds.
#pragma once

#include <stdio.h>

#include <string>

inline std::string ReadFileBytes(const wchar_t* name) {
    std::string bytes;
    FILE* f = _wfopen(name, L"rb");
    if (!f) return "<no file>";
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0)
        bytes.append(buffer, n);
    fclose(f);
    return bytes;
}
