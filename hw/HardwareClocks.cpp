// Clock reading and programming through the driver's performance levels.

#include <string.h>

#include "HardwareObject.h"

namespace {

const uint32_t kLevelFlagsTrial = 8;
const uint32_t kLevelFlagsApplied = 0;

uint32_t Clamp(uint32_t value, int limit) {
    return value > (uint32_t)limit ? (uint32_t)limit : value;
}

ClockGroup* GroupForDomain(LevelClocks* clocks, uint32_t domainId) {
    switch (domainId) {
        case kNvDomainCore:
            return &clocks->core;
        case kNvDomainMemory:
            return &clocks->memory;
        case kNvDomainShader:
            return &clocks->shader;
        default:
            return nullptr;
    }
}

bool LevelMatches(uint32_t flags, uint32_t selector) {
    return selector != 0 ? (flags & selector) != 0 : (flags == 0 || flags == 1);
}

}  // namespace

NvStatus HardwareObject::ReadCurrentClocks(uint8_t gpu, uint32_t* core, uint32_t* shader, uint32_t* memory) {
    if (!ValidGpu(gpu)) {
        return kStatusNoSuchDevice;
    }
    NvPerfClocks record;
    memset(&record, 0, sizeof(record));
    record.version = kNvPerfClocksVersion;
    NvStatus status = nvapi_.GetPerfClocks(GpuHandle(gpu), kNvAllLevels, &record);
    // An empty reply means the handle went stale: -101 makes the caller
    // enumerate the GPUs again.
    if (record.domainCount == 0 || record.levelCount == 0) {
        return kNvExpectedPhysicalGpuHandle;
    }
    if (status != kNvOk) {
        return status;
    }
    uint32_t levels = Clamp(record.levelCount, kNvMaxPerfLevels);
    if (record.currentLevel >= levels) {
        return kNvExpectedPhysicalGpuHandle;
    }
    const NvPerfLevel& level = record.level[record.currentLevel];
    uint32_t domains = Clamp(record.domainCount, kNvMaxPerfDomains);
    for (uint32_t i = 0; i < domains; i++) {
        const NvPerfDomain& d = level.domain[i];
        if (d.domainId == kNvDomainCore) {
            *core = d.frequency;
        } else if (d.domainId == kNvDomainMemory) {
            *memory = d.frequency;
        } else if (d.domainId == kNvDomainShader) {
            *shader = d.frequency;
        }
    }
    return kNvOk;
}

NvStatus HardwareObject::TransferLevelClocks(uint8_t gpu, LevelClocks* clocks) {
    if (!ValidGpu(gpu)) {
        return kStatusNoSuchDevice;
    }
    if (clocks->writeFlag) clocksWritten_.fetch_or(1u << gpu);
    NvPerfClocks record;
    memset(&record, 0, sizeof(record));
    record.version = kNvPerfClocksVersion;
    NvStatus status = nvapi_.GetPerfClocks(GpuHandle(gpu), kNvAllLevels, &record);
    if (status != kNvOk) {
        return status;
    }
    uint32_t levels = Clamp(record.levelCount, kNvMaxPerfLevels);
    uint32_t position = levels;
    for (uint32_t i = 0; i < levels; i++) {
        if (LevelMatches(record.level[i].flags, clocks->levelSelector)) {
            position = i;
            break;
        }
    }
    if (position == levels) {
        return kNvError;
    }
    memset(&record, 0, sizeof(record));
    record.version = kNvPerfClocksVersion;
    status = nvapi_.GetPerfClocks(GpuHandle(gpu), position, &record);
    if (status != kNvOk) {
        return status;
    }
    NvPerfLevel& level = record.level[0];
    uint32_t domains = Clamp(record.domainCount, kNvMaxPerfDomains);
    if (!clocks->writeFlag) {
        for (uint32_t i = 0; i < domains; i++) {
            const NvPerfDomain& d = level.domain[i];
            ClockGroup* group = GroupForDomain(clocks, d.domainId);
            if (group) {
                group->frequency = d.frequency;
                group->further = d.further;
                group->lowerLimit = d.lowerLimit;
                group->upperLimit = d.upperLimit;
            }
        }
        return kNvOk;
    }
    for (uint32_t i = 0; i < domains; i++) {
        NvPerfDomain& d = level.domain[i];
        ClockGroup* group = GroupForDomain(clocks, d.domainId);
        if (group) {
            d.frequency = group->frequency;
            d.flags |= kNvDomainApply;
        }
    }
    level.flags = clocks->trialFlag ? kLevelFlagsTrial : kLevelFlagsApplied;
    status = nvapi_.SetPerfClocks(GpuHandle(gpu), level.levelId, &record);
    return (status == kNvOk || status == kNvSettingAccepted) ? kNvOk : status;
}

namespace {

NvStatus Transfer(HardwareObject* hw, uint8_t gpu, LevelClocks* clocks, uint32_t selector, uint32_t write,
                  uint32_t trial) {
    clocks->levelSelector = selector;
    clocks->writeFlag = write;
    clocks->trialFlag = trial;
    return hw->TransferLevelClocks(gpu, clocks);
}

}  // namespace

NvStatus HardwareObject::Read2DClocks(uint8_t gpu, LevelClocks* clocks) {
    return Transfer(this, gpu, clocks, kLevelSelector2D, 0, 0);
}

NvStatus HardwareObject::Read3DClocks(uint8_t gpu, LevelClocks* clocks) {
    return Transfer(this, gpu, clocks, kLevelSelector3D, 0, 0);
}

NvStatus HardwareObject::Apply2DClocks(uint8_t gpu, LevelClocks* clocks) {
    return Transfer(this, gpu, clocks, kLevelSelector2D, 1, 0);
}

NvStatus HardwareObject::Apply3DClocks(uint8_t gpu, LevelClocks* clocks) {
    return Transfer(this, gpu, clocks, kLevelSelector3D, 1, 0);
}

NvStatus HardwareObject::Try2DClocks(uint8_t gpu, LevelClocks* clocks) {
    return Transfer(this, gpu, clocks, kLevelSelector2D, 1, 1);
}

NvStatus HardwareObject::Try3DClocks(uint8_t gpu, LevelClocks* clocks) {
    return Transfer(this, gpu, clocks, kLevelSelector3D, 1, 1);
}
