#pragma once
// The card database's scrambling: every 16-bit unit is XORed with a key
// stream that depends only on its position, so the same call scrambles and
// unscrambles. Shared by inicd.dll and the build's encoder. Pure.

#include <stddef.h>
#include <stdint.h>

inline void DMiniScramble(uint16_t* units, size_t count) {
    uint16_t key = 0x5D3A;
    for (size_t i = 0; i < count; i++) {
        units[i] ^= key;
        key = (uint16_t)(key * 25173u + 13849u);
    }
}
