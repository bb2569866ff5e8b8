#include "ClockLink.h"

// Slider values are unsigned 32-bit kHz, so the products stay far inside
// 64 bits; a negative value (never a clock) truncates toward zero as well.
int64_t ShaderClockForGpu(int64_t gpuKHz) {
    return gpuKHz * 11 / 5;
}

int64_t GpuClockForShader(int64_t shaderKHz) {
    return shaderKHz * 5 / 11;
}
