// The whole virtual card as plain data. It lives in a file mapping shared by
// every process that touches the card, so it holds no pointers and only
// fixed-size fields whose layout is the same in 32- and 64-bit builds.
#pragma once

#include <stdint.h>

namespace vcard {

const uint32_t kStateMagic = 0x44524356;  // "VCRD"
const uint32_t kStateLayout = 6;

const int kMaxGpus = 4;
const int kMaxLevels = 12;
const int kMaxDomains = 8;
const uint32_t kBiosCapacity = 0x20000;  // the card's EEPROM, 128 KiB

enum FanDrive {
    kFanFixed = 0,
    kFanMonitorChip = 1,
    kFanAdtPwm1 = 2,
    kFanAdtPwm2 = 3,
    kFanDriver = 4,
};

// What the driver's cooler control acts on.
enum CoolerBackend {
    kCoolerNone = 0,     // no cooler listed
    kCoolerStored = 1,   // listed, but wired to nothing the driver drives
    kCoolerDirect = 2,   // the GPU's own fan output
    kCoolerAdtPwm1 = 3,  // the driver programs the ADT7473's first PWM output
};

struct MonitorChipState {
    uint8_t present;
    uint8_t address;      // 8-bit form
    uint8_t tachLatched;  // the high byte was read; the low byte is frozen
    uint8_t tachLatchLow;
    int32_t sensorBias;  // chip reading minus die temperature, °C
    uint8_t reg[256];
};

struct Adt7473State {
    uint8_t present;
    uint8_t tachInput;   // 1..4: tachometer input the fan's sense wire reaches; 0 none
    uint8_t bootConfig;  // PWM1 configuration as the BIOS left it
    uint8_t latched[4];  // per tachometer: the low byte was read
    uint8_t latchHigh[4];
    uint8_t pad;
    uint8_t reg[256];
};

struct CoolerState {
    uint32_t backend;  // CoolerBackend
    uint32_t controller;
    uint32_t minLevel;
    uint32_t maxLevel;
    uint32_t defaultPolicy;
    uint32_t policy;       // current policy (1 = manual)
    uint32_t manualLevel;  // level set with the manual policy
    uint32_t pad;
};

struct PerfState {
    uint32_t levelCount;
    uint32_t domainCount;
    uint32_t domainId[kMaxDomains];
    uint32_t stableLimit[kMaxDomains];
    uint32_t levelId[kMaxLevels];
    uint32_t levelFlags[kMaxLevels];
    uint32_t frequency[kMaxLevels][kMaxDomains];
    uint32_t trial[kMaxLevels][kMaxDomains];
    uint32_t defaultFrequency[kMaxLevels][kMaxDomains];
    uint32_t lower[kMaxLevels][kMaxDomains];
    uint32_t upper[kMaxLevels][kMaxDomains];
    int32_t trialLevel;  // position forced by a trial setting, -1 none
    int32_t busy;
};

struct ThermalState {
    double die;  // °C
    double ambient;
    double heatPerMHz[3];    // watts per MHz of core, shader, memory at full load
    double idleLoad;         // fraction of full-load heat when idle
    double resistanceStill;  // °C per watt with the fan stopped
    double resistanceFull;   // °C per watt at full fan speed
    double timeConstantMs;
    int32_t held;
    int32_t boardSensorFirst;  // the thermal record lists a board sensor first
};

struct FanState {
    uint32_t drive;  // FanDrive
    uint32_t fixedPercent;
    double maxRpm;
    double rpm;
    double targetRpm;
    double dutyPercent;
    double timeConstantMs;
    int32_t stalled;  // stands still whatever drives it
    int32_t pad;
};

struct GpuState {
    uint16_t deviceId;
    uint16_t subsystemVendor;
    uint16_t subsystemDevice;
    uint16_t boardId;
    uint32_t revision;
    uint32_t biosSize;
    MonitorChipState monitor;
    Adt7473State adt;
    CoolerState cooler;
    PerfState perf;
    ThermalState thermal;
    FanState fan;
    uint8_t bios[kBiosCapacity];
};

struct I2cFault {
    int32_t active;
    int32_t gpu;  // -1 any
    int32_t address;
    int32_t reg;  // -1 any
    int32_t ops;  // 1 read, 2 write, 3 both
    int32_t always;
    int32_t status;
    int32_t pad;
};

const int kMaxI2cFaults = 8;

struct Faults {
    I2cFault i2c[kMaxI2cFaults];
    int32_t statusOnceArmed;
    uint32_t statusOnceId;  // 0 any call but the initialisation
    int32_t statusOnceGpu;  // -1 any
    int32_t statusOnceValue;
    int32_t refuseClocks;
    int32_t refuseClocksStatus;
    int32_t flashMode;  // VcardFlashFault
    int32_t flashExitCode;
    uint32_t flashHangMs;
    int32_t winIoFailures;
    // A driver reset in progress: the next shortEnumerations enumerations
    // list only shortGpuCount GPUs.
    int32_t shortEnumerations;
    int32_t shortGpuCount;
    // Counted faults: the nth driver call (any, the initialisation too) or
    // the nth I2C transaction from when they were armed fails with nthStatus;
    // 0 when not armed.
    int32_t nthCall;
    int32_t nthI2c;
    int32_t nthStatus;
    int32_t pad;
};

struct Counters {
    uint32_t driverCalls;
    uint32_t calls[10];
    uint32_t i2cTransactions;
    uint32_t i2cFailures;
    uint32_t queryInterface;
    uint32_t physReads;
    uint32_t pad;
};

const int kNameChars = 260;

struct CardState {
    uint32_t magic;
    uint32_t layout;
    uint32_t size;
    int32_t driverPresent;  // NvAPI_Initialize succeeds
    int32_t gpuCount;
    uint32_t handleGeneration;
    int32_t timeMode;  // 0 real time, 1 manual
    uint32_t flashBackupMs;
    uint32_t flashUpdateMs;
    int32_t chosenByReset;  // a reset command picked the scenario: it outlives VEXA_VCARD
    int64_t wallTime;       // FILETIME of the last model step (real time mode)
    int64_t modelTimeMs;
    char scenario[kNameChars];       // what VEXA_VCARD said when the card powered up
    char scenarioError[kNameChars];  // why the scenario did not load, "" if it did
    Faults faults;
    Counters counters;
    GpuState gpu[kMaxGpus];
};

}  // namespace vcard

namespace vcard {
// 32- and 64-bit processes may share one card: the layout must not move.
static_assert(sizeof(GpuState) == 133888, "card state layout");
static_assert(sizeof(CardState) == 536512, "card state layout");
}  // namespace vcard
