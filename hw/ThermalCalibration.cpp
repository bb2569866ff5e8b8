#include "ThermalCalibration.h"

#include "HardwareObject.h"

bool ComputeThermalOffset(const int32_t* differences, int count, int8_t oldOffset, uint8_t* newOffset) {
    if (count <= 2) {
        return false;
    }
    // Trim the true extremes: differences may be negative when the chip reads
    // above the driver.
    int32_t smallest = differences[0];
    int32_t largest = differences[0];
    int64_t sum = 0;
    for (int i = 0; i < count; i++) {
        int32_t d = differences[i];
        sum += d;
        if (d < smallest) {
            smallest = d;
        }
        if (d > largest) {
            largest = d;
        }
    }
    int64_t mean = (sum - smallest - largest) / (count - 2);
    *newOffset = (uint8_t)(mean + oldOffset);
    return true;
}

void CalibrateThermalOffset(HardwareObject& hw) {
    int8_t oldOffset[kMaxGpus] = {0, 0};
    for (uint8_t gpu = 0; gpu < hw.GpuCount() && gpu < kMaxGpus; gpu++) {
        uint8_t value = 0;
        if (hw.ReadTemperatureOffset(gpu, &value) == kNvOk) {
            oldOffset[gpu] = (int8_t)value;
        }
    }
    for (uint8_t gpu = 0; gpu < hw.GpuCount() && gpu < kMaxGpus; gpu++) {
        if (!hw.HasMonitorChip(gpu)) {
            continue;
        }
        int32_t differences[kCalibrationSamples];
        int count = 0;
        for (int i = 0; i < kCalibrationSamples; i++) {
            uint8_t board = 0;
            int32_t driver = 0;
            if (hw.ReadBoardTemperature(gpu, &board) == kNvOk && hw.ReadGpuTemperature(gpu, &driver) == kNvOk) {
                differences[count++] = driver - (int32_t)board;
            }
        }
        uint8_t offset = 0;
        if (ComputeThermalOffset(differences, count, oldOffset[gpu], &offset)) {
            hw.WriteTemperatureOffset(gpu, offset);
        }
    }
}
