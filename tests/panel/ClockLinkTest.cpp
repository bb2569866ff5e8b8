#include "ClockLink.h"

#include <gtest/gtest.h>

// Both directions are the exact quotient for every whole-MHz slider value
// the panel can show: the float ratio missed a kHz on every shader value
// that is a whole multiple of 2.2 in the i686 build.
TEST(ClockLink, EveryMegahertzLinksToTheExactTruncatedQuotient) {
    EXPECT_EQ(1320000, ShaderClockForGpu(600000));
    EXPECT_EQ(600000, GpuClockForShader(1320000));
    EXPECT_EQ(45454, GpuClockForShader(100000));  // 45454.5 truncated
    for (int64_t mhz = 100; mhz <= 2000; mhz++) {
        const int64_t khz = mhz * 1000;
        const int64_t gpu = GpuClockForShader(khz);
        ASSERT_TRUE(gpu * 11 <= khz * 5 && khz * 5 < (gpu + 1) * 11) << mhz << " MHz shader";
        const int64_t shader = ShaderClockForGpu(khz);
        ASSERT_TRUE(shader * 5 <= khz * 11 && khz * 11 < (shader + 1) * 5) << mhz << " MHz GPU";
        if (mhz % 11 == 0) {
            ASSERT_EQ(khz / 11 * 5, gpu) << mhz << " MHz shader";
        }
    }
    // The top of the unsigned 32-bit kHz range does not wrap.
    EXPECT_EQ(9448928049, ShaderClockForGpu(4294967295));
}
