// What the steering library's files share: the error text and a lock on
// the card that also checks a GPU index.
#pragma once

#include "SharedCard.h"

namespace vcard {

void SetControlError(const char* text);

class GpuLock {
public:
    explicit GpuLock(int gpu);
    bool ok() const { return lock_ && gpu_ >= 0 && gpu_ < lock_->gpuCount; }
    CardState& card() const { return *lock_.get(); }
    GpuState& gpu() const { return lock_->gpu[gpu_]; }

private:
    CardLock lock_;
    int gpu_;
};

}  // namespace vcard
