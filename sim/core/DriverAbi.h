// The driver interface as the virtual driver implements it: interface ids,
// statuses and record layouts. Records carry a version word, the record size
// in the low 16 bits and the record version (1) in the high 16 bits; a record
// with pointers changes size, and so version word, between 32- and 64-bit
// builds, exactly as with the real driver.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace vcard {

// Interface ids answered by nvapi_QueryInterface.
const uint32_t kIdInitialize = 0x0150E828;
const uint32_t kIdEnumPhysicalGpus = 0xE5AC921F;
const uint32_t kIdGetPciIdentifiers = 0x2DDFB66E;
const uint32_t kIdGetThermalSettings = 0xE3640A56;
const uint32_t kIdI2cRead = 0x2FDE12C5;
const uint32_t kIdI2cWrite = 0xE812EB07;
const uint32_t kIdGetCoolerSettings = 0xDA141340;
const uint32_t kIdSetCoolerLevels = 0x891FA0AE;
const uint32_t kIdGetPerfClocks = 0x1EA54A3B;
const uint32_t kIdSetPerfClocks = 0x07BCF4AC;

// Driver statuses.
const int32_t kStatusOk = 0;
const int32_t kStatusError = -1;
const int32_t kStatusNotInitialized = -4;
const int32_t kStatusInvalidArgument = -5;
const int32_t kStatusDeviceNotFound = -6;
const int32_t kStatusIncompatibleVersion = -9;
const int32_t kStatusHandleInvalidated = -10;
const int32_t kStatusExpectedPhysicalGpu = -101;
const int32_t kStatusNotSupported = -104;
// A clock setting accepted for a level that is not running: it takes effect
// when the card next enters that level.
const int32_t kStatusSettingPending = -118;

const int kMaxPhysicalGpus = 64;
const uint32_t kAllSensors = 15;
const uint32_t kAllCoolers = 7;
const int32_t kAllLevels = -1;

const uint32_t kDomainCore = 0;
const uint32_t kDomainMemory = 4;
const uint32_t kDomainShader = 7;

const uint32_t kThermalTargetGpu = 1;
const uint32_t kThermalTargetBoard = 8;
const uint32_t kCoolerPolicyManual = 1;

inline uint32_t RecordVersion(size_t size) {
    return (uint32_t)size | (1u << 16);
}

typedef void* GpuHandle;

// One I2C transaction; natural alignment, so pointer-size dependent.
struct I2cInfo {
    uint32_t version;
    uint32_t displayMask;
    uint8_t isDdcPort;
    uint8_t deviceAddress;  // 8-bit form: 7-bit address shifted left
    uint8_t* registerBytes;
    uint32_t registerCount;
    uint8_t* data;
    uint32_t dataCount;
    uint32_t speed;
};
static_assert(sizeof(I2cInfo) == (sizeof(void*) == 4 ? 0x20 : 0x30), "I2C record");
const uint32_t kI2cInfoVersion = RecordVersion(sizeof(I2cInfo));

const int kMaxCoolers = 3;

struct CoolerEntry {
    uint32_t type;  // 1 = fan
    uint32_t controller;
    uint32_t defaultMinLevel;
    uint32_t defaultMaxLevel;
    uint32_t minLevel;
    uint32_t maxLevel;
    uint32_t currentLevel;  // percent
    uint32_t defaultPolicy;
    uint32_t currentPolicy;  // 1 = manual
    uint32_t target;
    uint32_t controlType;
    uint32_t active;
};

struct CoolerSettings {
    uint32_t version;
    uint32_t count;
    CoolerEntry cooler[kMaxCoolers];
};
static_assert(sizeof(CoolerSettings) == 152, "cooler settings record");
const uint32_t kCoolerSettingsVersion = 0x10098;

struct CoolerLevels {
    uint32_t version;
    struct {
        uint32_t level;
        uint32_t policy;
    } cooler[kMaxCoolers];
};
static_assert(sizeof(CoolerLevels) == 28, "cooler level record");
const uint32_t kCoolerLevelsVersion = 0x1001C;

const int kMaxSensors = 3;

struct ThermalSettings {
    uint32_t version;
    uint32_t count;
    struct {
        uint32_t controller;
        int32_t defaultMinTemp;
        int32_t defaultMaxTemp;
        int32_t currentTemp;
        uint32_t target;
    } sensor[kMaxSensors];
};
static_assert(sizeof(ThermalSettings) == 68, "thermal record");
const uint32_t kThermalSettingsVersion = 0x10044;

const int kRecordLevels = 12;
const int kRecordDomains = 32;

struct PerfDomain {
    uint32_t domainId;
    uint32_t reserved;
    uint32_t frequency;  // kHz
    uint32_t defaultFrequency;
    uint32_t lowerLimit;
    uint32_t upperLimit;
    uint32_t flags;  // bit 0: apply this domain (setting)
};

struct PerfLevel {
    uint32_t levelId;
    uint32_t flags;  // 0/1 2D, bit 1, bit 2 = 3D; on a setting 8 = trial
    PerfDomain domain[kRecordDomains];
};

struct PerfClocks {
    uint32_t version;
    uint32_t levelCount;
    uint32_t currentLevel;
    uint32_t domainCount;
    uint32_t reserved;
    PerfLevel level[kRecordLevels];
};
static_assert(sizeof(PerfDomain) == 28, "perf domain");
static_assert(sizeof(PerfLevel) == 904, "perf level");
static_assert(sizeof(PerfClocks) == 10868, "perf clocks record");
static_assert(offsetof(PerfClocks, level) == 20, "perf clocks header");
const uint32_t kPerfClocksVersion = 0x12A74;

const uint32_t kLevelFlagTrial = 8;
const uint32_t kDomainFlagApply = 1;

}  // namespace vcard
