#include "BiosSignature.h"

#include "HardwareTypes.h"

bool FindFanWiringSignature(const uint8_t* text, size_t length, int32_t* wiring) {
    if (length < 8) {
        return false;
    }
    for (size_t p = 0; p + 8 <= length; p++) {
        if (text[p] != 'V') {
            continue;
        }
        if (text[p + 5] == 'D' && text[p + 6] == 'M') {
            *wiring = kFanWiringNone;
            return true;
        }
        if (text[p + 5] == '-' && text[p + 6] == 'F') {
            *wiring = kFanWiringAdtPwm2;
            return true;
        }
    }
    return false;
}
