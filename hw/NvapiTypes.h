// Driver-interface record layouts and status values, declared from the
// driver's documented ABI. Records carry a version word: the record size in
// the low 16 bits and the record version (1) in the high 16 bits.
#pragma once

#include <stddef.h>
#include <stdint.h>

typedef int32_t NvStatus;
typedef void* NvPhysicalGpuHandle;

const NvStatus kNvOk = 0;
const NvStatus kNvError = -1;
const NvStatus kNvLibraryNotFound = -2;
const NvStatus kNvNoImplementation = -3;
const NvStatus kNvApiNotInitialized = -4;
const NvStatus kNvInvalidHandle = -10;
const NvStatus kNvExpectedPhysicalGpuHandle = -101;
const NvStatus kNvNotSupported = -104;
const NvStatus kNvSettingAccepted = -118;  // a clock setting the driver took with a remark

// Program statuses sharing the driver's range.
const NvStatus kStatusNoSuchDevice = kNvNotSupported;
const NvStatus kStatusI2cBusBusy = -1;

const int kNvMaxPhysicalGpus = 64;
const uint32_t kNvAllSensors = 15;
const uint32_t kNvAllCoolers = 7;
const uint32_t kNvAllLevels = 0xFFFFFFFFu;
const uint32_t kNvThermalTargetGpu = 1;
const uint32_t kNvCoolerTypeFan = 1;
const uint32_t kNvCoolerPolicyManual = 1;
const uint32_t kNvCoolerPolicyAuto = 2;

const uint32_t kNvDomainCore = 0;
const uint32_t kNvDomainMemory = 4;
const uint32_t kNvDomainShader = 7;

constexpr uint32_t NvRecordVersion(size_t size) {
    return (uint32_t)size | (1u << 16);
}

#pragma pack(push, 8)

// One I2C transaction. Holds pointers, so its size (and with it the version
// word) differs between 32- and 64-bit builds, as the driver's own does.
struct NvI2cInfo {
    uint32_t version;
    uint32_t displayMask;
    uint8_t isDdcPort;
    uint8_t deviceAddress;
    uint8_t* registerBytes;
    uint32_t registerCount;
    uint8_t* dataBytes;
    uint32_t dataCount;
    uint32_t speed;
};

#pragma pack(pop)

#pragma pack(push, 4)

const int kNvMaxCoolers = 3;

struct NvCooler {
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

struct NvCoolerSettings {
    uint32_t version;
    uint32_t count;
    NvCooler cooler[kNvMaxCoolers];
};

struct NvCoolerLevel {
    uint32_t level;
    uint32_t policy;
};

struct NvCoolerLevels {
    uint32_t version;
    NvCoolerLevel cooler[kNvMaxCoolers];
};

const int kNvMaxThermalSensors = 3;

struct NvThermalSensor {
    uint32_t controller;
    uint32_t defaultMinTemp;
    uint32_t defaultMaxTemp;
    int32_t currentTemp;
    uint32_t target;  // 1 = GPU
};

struct NvThermalSettings {
    uint32_t version;
    uint32_t count;
    NvThermalSensor sensor[kNvMaxThermalSensors];
};

const int kNvMaxPerfLevels = 12;
const int kNvMaxPerfDomains = 32;

struct NvPerfDomain {
    uint32_t domainId;  // 0 core, 4 memory, 7 shader
    uint32_t unused;
    uint32_t frequency;  // kHz
    uint32_t further;
    uint32_t lowerLimit;
    uint32_t upperLimit;
    uint32_t flags;  // bit 0 = apply this domain
};

const uint32_t kNvDomainApply = 1;

struct NvPerfLevel {
    uint32_t levelId;
    uint32_t flags;  // 0/1 = 2D, bit 1, bit 2 = 3D; 8 = trial, 0 = applied on write
    NvPerfDomain domain[kNvMaxPerfDomains];
};

struct NvPerfClocks {
    uint32_t version;
    uint32_t levelCount;
    uint32_t currentLevel;
    uint32_t domainCount;
    uint32_t unused;
    NvPerfLevel level[kNvMaxPerfLevels];
};

#pragma pack(pop)

static_assert(sizeof(NvI2cInfo) == (sizeof(void*) == 4 ? 0x20 : 0x30), "NV_I2C_INFO layout");
static_assert(sizeof(NvCoolerSettings) == 152, "cooler settings record");
static_assert(sizeof(NvCoolerLevels) == 28, "cooler level record");
static_assert(sizeof(NvThermalSettings) == 68, "thermal record");
static_assert(sizeof(NvPerfDomain) == 28, "perf domain");
static_assert(sizeof(NvPerfLevel) == 904, "perf level");
static_assert(sizeof(NvPerfClocks) == 10868, "perf clocks record");
static_assert(offsetof(NvPerfClocks, level) == 20, "perf clocks header");

constexpr uint32_t kNvI2cInfoVersion = NvRecordVersion(sizeof(NvI2cInfo));
constexpr uint32_t kNvCoolerSettingsVersion = NvRecordVersion(sizeof(NvCoolerSettings));
constexpr uint32_t kNvCoolerLevelsVersion = NvRecordVersion(sizeof(NvCoolerLevels));
constexpr uint32_t kNvThermalSettingsVersion = NvRecordVersion(sizeof(NvThermalSettings));
constexpr uint32_t kNvPerfClocksVersion = NvRecordVersion(sizeof(NvPerfClocks));
