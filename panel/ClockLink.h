#pragma once
// The GPU and shader sliders linked at the ratio 2.2, in whole kHz. Exact
// integer arithmetic: a float ratio comes out 1 kHz short in the i686 build,
// whose x87 keeps the product in extended precision (a shader of 1320 MHz
// gave a GPU of 599.999 MHz), while the x86_64 build rounds it to 600.

#include <stdint.h>

// shader = GPU x 11 / 5, truncated.
int64_t ShaderClockForGpu(int64_t gpuKHz);
// GPU = shader x 5 / 11, truncated.
int64_t GpuClockForShader(int64_t shaderKHz);
