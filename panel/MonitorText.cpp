#include "MonitorText.h"

void FormatNumber(int64_t value, const wchar_t* suffix, wchar_t* out) {
    wchar_t digits[24];
    int count = 0;
    uint64_t magnitude = value < 0 ? 0 - (uint64_t)value : (uint64_t)value;
    do {
        digits[count++] = (wchar_t)(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    size_t at = 0;
    if (value < 0) out[at++] = L'-';
    while (count > 0 && at < kReadingChars - 1)
        out[at++] = digits[--count];
    for (; suffix && *suffix && at < kReadingChars - 1; suffix++)
        out[at++] = *suffix;
    out[at] = 0;
}

Reading FanReading(uint32_t speed, const FanShown& fan) {
    Reading r;
    FormatNumber(speed, fan.inRpm ? nullptr : L"%", r.text);
    // In hundredths, exactly: 95 % <= 100 % of the speed <= 105 %.
    const uint64_t hundredths = (uint64_t)speed * 100;
    bool inside = (uint64_t)fan.silentSpeed * 95 <= hundredths && hundredths <= (uint64_t)fan.maximumSpeed * 105;
    r.colour = (inside || fan.alwaysWhite) ? kColourWhite : kColourRed;
    return r;
}

Reading FanWithoutReading() {
    Reading r;
    FormatNumber(100, L"%", r.text);
    r.colour = kColourWhite;
    return r;
}

Reading ClockReading(uint32_t khz) {
    Reading r;
    FormatNumber(khz / 1000, nullptr, r.text);
    r.colour = kColourWhite;
    return r;
}

Reading TemperatureReading(int32_t celsius) {
    Reading r;
    FormatNumber(celsius, nullptr, r.text);
    r.colour = celsius > kHottestWhiteCelsius ? kColourRed : kColourWhite;
    return r;
}
