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
    // The register holds a signed byte: an offset beyond it is held at the
    // limit, not wrapped to the opposite sign.
    int64_t offset = mean + oldOffset;
    if (offset > 127) offset = 127;
    if (offset < -128) offset = -128;
    *newOffset = (uint8_t)(int8_t)offset;
    return true;
}

void CalibrateThermalOffset(HardwareObject& hw) {
    int8_t oldOffset[kMaxGpus] = {0, 0};
    bool offsetRead[kMaxGpus] = {false, false};
    for (uint8_t gpu = 0; gpu < hw.GpuCount() && gpu < kMaxGpus; gpu++) {
        uint8_t value = 0;
        if (hw.ReadTemperatureOffset(gpu, &value) == kNvOk) {
            oldOffset[gpu] = (int8_t)value;
            offsetRead[gpu] = true;
        }
    }
    for (uint8_t gpu = 0; gpu < hw.GpuCount() && gpu < kMaxGpus; gpu++) {
        // Without the offset in force, the samples give only the residual
        // and writing it would throw the calibration away.
        if (!hw.HasMonitorChip(gpu) || !offsetRead[gpu]) {
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
