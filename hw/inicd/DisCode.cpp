// inicd.dll: turns the scrambled card database back into text in place.

#include <windows.h>

#include "DMiniCipher.h"

extern "C" __declspec(dllexport) int __cdecl DisCode(wchar_t* buffer, int unitCount) {
    if (!buffer || unitCount <= 0) {
        return 0;
    }
    static_assert(sizeof(wchar_t) == sizeof(uint16_t), "UTF-16 units");
    DMiniScramble((uint16_t*)buffer, (size_t)unitCount);
    return 1;
}
