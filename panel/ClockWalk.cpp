#include "ClockWalk.h"

namespace {

uint32_t At(const ClockTriple& c, int i) {
    return i == 0 ? c.gpu : i == 1 ? c.shader : c.memory;
}

// One clock's value after `count` steps. Worked in 64 bits: a walk down
// from a low clock would wrap below zero in 32-bit unsigned arithmetic and
// then compare as far above its target.
uint32_t Stepped(uint32_t present, uint32_t target, uint32_t count) {
    int64_t step = target < present ? -ClockWalk::kStepKHz : ClockWalk::kStepKHz;
    int64_t value = (int64_t)present + step * count;
    if (step > 0) return value > (int64_t)target ? target : (uint32_t)value;
    return value < (int64_t)target ? target : (uint32_t)value;
}

}  // namespace

ClockWalk::ClockWalk(const ClockTriple& present, const ClockTriple& target)
    : present_(present), target_(target), steps_(1) {
    int64_t longest = 0;
    for (int i = 0; i < 3; i++) {
        int64_t distance = (int64_t)At(target, i) - (int64_t)At(present, i);
        if (distance < 0) distance = -distance;
        if (distance > longest) longest = distance;
        counter_[i] = 1;
    }
    int64_t steps = (longest + kStepKHz - 1) / kStepKHz;
    steps_ = steps < 1 ? 1 : (uint32_t)steps;
}

ClockTriple ClockWalk::Candidate() const {
    ClockTriple c;
    c.gpu = Stepped(present_.gpu, target_.gpu, counter_[0]);
    c.shader = Stepped(present_.shader, target_.shader, counter_[1]);
    c.memory = Stepped(present_.memory, target_.memory, counter_[2]);
    return c;
}

uint32_t ClockWalk::Progress() const {
    uint32_t most = counter_[0];
    if (counter_[1] > most) most = counter_[1];
    if (counter_[2] > most) most = counter_[2];
    return most * 100 / steps_;
}

bool ClockWalk::AtTarget(const ClockTriple& c) const {
    return c.gpu == target_.gpu && c.shader == target_.shader && c.memory == target_.memory;
}

void ClockWalk::Advance() {
    ClockTriple c = Candidate();
    for (int i = 0; i < 3; i++) {
        if (At(c, i) != At(target_, i)) counter_[i]++;
    }
}
