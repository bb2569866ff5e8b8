#include "ClockWalk.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Trial {
    uint32_t gpu, shader, memory, progress;
};

std::vector<Trial> Walk(ClockTriple present, ClockTriple target) {
    ClockWalk walk(present, target);
    std::vector<Trial> trials;
    for (int guard = 0; guard < 1000; guard++) {
        ClockTriple c = walk.Candidate();
        trials.push_back({c.gpu, c.shader, c.memory, walk.Progress()});
        if (walk.AtTarget(c)) break;
        walk.Advance();
    }
    return trials;
}

}  // namespace

TEST(ClockWalk, StepsProgressAndDirections) {
    // 12 MHz up on the GPU only: +5, +10, +12 with 33, 66, 100 percent.
    std::vector<Trial> up = Walk({600000, 1500000, 900000}, {612000, 1500000, 900000});
    ASSERT_EQ(3u, up.size());
    EXPECT_EQ(605000u, up[0].gpu);
    EXPECT_EQ(610000u, up[1].gpu);
    EXPECT_EQ(612000u, up[2].gpu);
    EXPECT_EQ(33u, up[0].progress);
    EXPECT_EQ(66u, up[1].progress);
    EXPECT_EQ(100u, up[2].progress);
    for (const Trial& t : up) {
        EXPECT_EQ(1500000u, t.shader);
        EXPECT_EQ(900000u, t.memory);
    }

    // Targets equal to the present clocks: one trial of the present clocks.
    std::vector<Trial> same = Walk({500000, 1000000, 700000}, {500000, 1000000, 700000});
    ASSERT_EQ(1u, same.size());
    EXPECT_EQ(500000u, same[0].gpu);
    EXPECT_EQ(100u, same[0].progress);

    // Down, up and down at once; each clock stops exactly at its target.
    std::vector<Trial> mixed = Walk({600000, 1200000, 900000}, {588000, 1207000, 899000});
    ASSERT_EQ(3u, mixed.size());
    EXPECT_EQ(595000u, mixed[0].gpu);
    EXPECT_EQ(1205000u, mixed[0].shader);
    EXPECT_EQ(899000u, mixed[0].memory);
    EXPECT_EQ(1207000u, mixed[1].shader);
    EXPECT_EQ(899000u, mixed[1].memory);
    EXPECT_EQ(588000u, mixed[2].gpu);

    // A walk down from a low clock never wraps below zero.
    std::vector<Trial> low = Walk({12000, 0, 0}, {3000, 0, 0});
    ASSERT_EQ(2u, low.size());
    EXPECT_EQ(7000u, low[0].gpu);
    EXPECT_EQ(3000u, low[1].gpu);
    // Nor from the top of the unsigned range up.
    std::vector<Trial> high = Walk({4294960000u, 0, 0}, {4294967295u, 0, 0});
    ASSERT_EQ(2u, high.size());
    EXPECT_EQ(4294965000u, high[0].gpu);
    EXPECT_EQ(4294967295u, high[1].gpu);
}
