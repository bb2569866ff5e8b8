#include "FanMath.h"

const uint32_t kMonitorCountScale = 1500000;
const uint32_t kAdt7473CountScale = 5400000;
const uint32_t kAdt7473SlowestRpm = 100;

uint32_t MonitorCountToRpm(uint32_t count) {
    return count == 0 ? 0 : kMonitorCountScale / count;
}

uint16_t MonitorRpmToCount(uint32_t rpm) {
    if (rpm == 0) {
        return 0xFFFF;
    }
    uint32_t count = kMonitorCountScale / rpm;
    return count > 0xFFFF ? 0xFFFF : (uint16_t)count;
}

uint8_t MonitorCurveSpeedByte(uint32_t rpm) {
    if (rpm == 0) {
        return 0xFF;
    }
    uint32_t value = (kMonitorCountScale / rpm) >> 4;
    return value > 0xFF ? 0xFF : (uint8_t)value;
}

uint32_t Adt7473CountToRpm(uint32_t count) {
    if (count == 0) {
        return 0;
    }
    uint32_t rpm = kAdt7473CountScale / count;
    return rpm < kAdt7473SlowestRpm ? 0 : rpm;
}

uint32_t Adt7473DutyToPercent(uint8_t duty) {
    return (uint32_t)duty * 100 / 255;
}

uint8_t Adt7473PercentToDuty(uint32_t percent) {
    // percent / 0.39, in integers so that whole results do not fall short.
    uint64_t duty = (uint64_t)percent * 100 / 39;
    return duty > 255 ? 255 : (uint8_t)duty;
}
