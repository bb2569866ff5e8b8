// The start-mode word of the command line: only the four words, whole and in
// any ASCII case, give a mode.

#include <string.h>

#include <string>

#include "FuzzInput.h"
#include "RunValueText.h"
#include "StartMode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The command line ends at its first zero.
    std::string line(reinterpret_cast<const char*>(data), size);
    line = line.c_str();
    const StartMode mode = ParseStartMode(line.c_str());
    FUZZ_CHECK(mode == kStartInteractive || (mode >= kStartNormal && mode <= kStartOnlyApplySettings));
    FUZZ_CHECK(RunModeForWord(line.c_str()) == (int)mode);
    if (mode != kStartInteractive) {
        const Utf16Unit* word = RunModeWord(mode);
        FUZZ_CHECK(Utf16Length(word) == line.size());
        for (size_t i = 0; i < line.size(); i++) {
            char c = line[i];
            if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
            char w = (char)word[i];
            if (w >= 'A' && w <= 'Z') w = (char)(w - 'A' + 'a');
            FUZZ_CHECK(c == w);
        }
    }
    // The same word in the other case means the same.
    std::string flipped = line;
    for (char& c : flipped) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) c ^= 0x20;
    }
    FUZZ_CHECK(ParseStartMode(flipped.c_str()) == mode);
    FUZZ_CHECK(ParseStartMode(nullptr) == kStartInteractive);
    return 0;
}
