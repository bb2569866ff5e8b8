#pragma once
// The Test button's walk from a level's present clocks to the sliders'
// targets in 5 MHz steps, all three clocks together. Pure arithmetic, so
// the steps can be checked without a card.

#include <stdint.h>

struct ClockTriple {
    uint32_t gpu, shader, memory;  // kHz
};

class ClockWalk {
public:
    static const int64_t kStepKHz = 5000;

    ClockWalk(const ClockTriple& present, const ClockTriple& target);

    // How many steps the longest way takes (at least 1).
    uint32_t StepCount() const { return steps_; }
    // The clocks of the next trial: each clock one step further per counter,
    // never past its target in either direction.
    ClockTriple Candidate() const;
    // Percent of the walk the candidate stands for.
    uint32_t Progress() const;
    bool AtTarget(const ClockTriple& clocks) const;
    // Moves on every clock whose candidate is still short of its target.
    void Advance();

private:
    ClockTriple present_, target_;
    uint32_t steps_;
    uint32_t counter_[3];
};
