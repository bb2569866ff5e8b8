// The Run value's text: judging stays inside the given length, a recognised
// word is one the program writes, and what is composed reads back.

#include <string.h>

#include "FuzzInput.h"
#include "RunValueText.h"

namespace {

bool SameIgnoringAsciiCase(Utf16Unit a, Utf16Unit b) {
    if (a == b) return true;
    Utf16Unit low = a < b ? a : b, high = a < b ? b : a;
    return high - low == 0x20 && low >= 'A' && low <= 'Z';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const int composeMode = input.Byte() % 8;
    const size_t outChars = input.Byte() & 1 ? kRunValueBufferChars : input.Byte();
    std::vector<Utf16Unit> text = input.RestUnits();

    // Exactly the given units: reading one more is a heap overflow.
    int mode = -7;
    RunValueWord word = ParseRunValueText(text.data(), text.size(), &mode);
    size_t length = 0;
    while (length < text.size() && text[length] != 0)
        length++;
    size_t blank = length;
    while (blank > 0 && text[blank - 1] != ' ')
        blank--;
    if (word == RunValueWord::None) {
        FUZZ_CHECK(blank <= 1 && mode == -7);
    } else if (word == RunValueWord::Unrecognised) {
        FUZZ_CHECK(blank > 1 && mode == -7);
    } else {
        FUZZ_CHECK(blank > 1 && mode >= kRunModeNormal && mode <= kRunModeOnlyApplySettings);
        const Utf16Unit* expected = RunModeWord(mode);
        FUZZ_CHECK(Utf16Length(expected) == length - blank);
        for (size_t i = blank; i < length; i++)
            FUZZ_CHECK(SameIgnoringAsciiCase(text[i], expected[i - blank]));
    }
    FUZZ_CHECK(ParseRunValueText(text.data(), text.size(), nullptr) == word);

    // The text as a program path: what is composed is judged as its mode.
    std::vector<Utf16Unit> path = Terminated(text);
    std::vector<Utf16Unit> out(outChars + 1, 0x5A5A);
    size_t written = ComposeRunValue(path.data(), composeMode, out.data(), outChars);
    FUZZ_CHECK(out[outChars] == 0x5A5A);
    if (outChars > 0) {
        FUZZ_CHECK(written < outChars && out[written] == 0 && Utf16Length(out.data()) == written);
    }
    const bool pathFits = length > 0 && length <= kRunValueMaxPathChars;
    if (written == 0) {
        const Utf16Unit* modeWord = RunModeWord(composeMode);
        bool quoted = false;
        for (size_t i = 0; i < length; i++)
            quoted = quoted || path[i] == '"';
        FUZZ_CHECK(!modeWord || !pathFits || quoted || 3 + length + Utf16Length(modeWord) + 1 > outChars);
        return 0;
    }
    FUZZ_CHECK(pathFits && written <= kRunValueMaxChars);
    FUZZ_CHECK(out[0] == '"' && memcmp(out.data() + 1, path.data(), length * sizeof(Utf16Unit)) == 0 &&
               out[length + 1] == '"' && out[length + 2] == ' ');
    int read = 0;
    FUZZ_CHECK(ParseRunValueText(out.data(), written, &read) == RunValueWord::Recognised && read == composeMode);
    return 0;
}
