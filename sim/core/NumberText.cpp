#include "NumberText.h"

#include <errno.h>
#include <stdlib.h>

bool ParseNumberText(const char* text, long* value) {
    if (!text) return false;
    const char* p = text;
    bool negative = *p == '-';
    if (negative) ++p;
    int base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
    }
    if (*p == '\0' || *p == '+' || *p == '-' || *p == ' ') return false;
    char* end = nullptr;
    errno = 0;
    unsigned long magnitude = strtoul(p, &end, base);
    if (*end != '\0' || errno == ERANGE) return false;
    // Hex words such as 0xE5AC921F name interface ids: keep their bits.
    if (base == 16 && !negative) {
        *value = (long)magnitude;
        return true;
    }
    if (magnitude > 0x7FFFFFFFul + (negative ? 1ul : 0ul)) return false;
    *value = negative ? -(long)(magnitude - 1) - 1 : (long)magnitude;
    return true;
}
