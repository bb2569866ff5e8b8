// Steering the virtual card from test programs.
//
// The virtual card (nvapi.dll, PMReader.dll, nvflash.exe, vcard.exe) keeps
// one card state shared by every process: a named file mapping backed by a
// state file. This library opens the same state directly, so a test can set
// the scene, inject faults and look at the card while the code under test
// talks to nvapi.dll as it would to a real driver.
//
// Which state file: the environment variable VEXA_VCARD_STATE (a path; a
// relative one is taken from the folder of the running module), else
// "vcard.state" beside the module. Call VcardUseState first in a test
// program so that its runs do not disturb other programs; the variable is
// set for this process, so nvapi.dll loaded later and child processes
// (nvflash.exe, vcard.exe) share the same card.
//
// Scenario: the built-in names are listed by VcardScenarioName; anything else
// is read as a scenario file (format in sim/README.md). A reset to a bad name
// or file leaves a card whose driver does not initialise and returns false;
// VcardLastError says why.
//
// Every function is safe to call from any thread. Functions returning bool
// return false when the state cannot be opened or an argument is out of
// range (GPU index, address with no chip).
#pragma once

#include <stddef.h>
#include <stdint.h>

// ---- state and scenario ---------------------------------------------------

// Chooses the state file for this process and its children (sets
// VEXA_VCARD_STATE). Call before anything else touches the card.
bool VcardUseState(const wchar_t* stateFile);

// Powers the card up afresh from a scenario: a built-in name, a scenario file
// path, or null/"" for the one VEXA_VCARD names (default "monitorchip").
// Faults, counters, flashed BIOS images and held temperatures are cleared;
// the time mode is kept.
bool VcardReset(const char* scenario);

// Text of the last failure of this library or of the scenario load, "" when
// none.
const char* VcardLastError();

// Built-in scenario names, index 0 up; null past the end.
const char* VcardScenarioName(int index);

// GPUs the driver enumerates (0 for "no-gpu" and "no-driver").
int VcardGpuCount();

// Whether NvAPI_Initialize succeeds on the card as it is.
bool VcardDriverPresent();

// The scenario the card powered up from and, when it did not load, why
// (error "" when it did).
bool VcardGetScenario(char* name, size_t nameSize, char* error, size_t errorSize);

// Full path of the state file in use.
bool VcardGetStatePath(wchar_t* path, size_t size);

// ---- time -------------------------------------------------------------------

enum VcardTimeMode {
    kVcardTimeRealtime = 0,  // the model follows the wall clock (default)
    kVcardTimeManual = 1,    // frozen; only VcardAdvance moves it
};

// The mode is part of the shared state: it holds for every process.
bool VcardSetTimeMode(VcardTimeMode mode);

VcardTimeMode VcardGetTimeMode();

// Steps the thermal and fan models by ms milliseconds (in either mode).
bool VcardAdvance(uint32_t ms);

// Advances until fan speed and temperature stop moving (at most 10 minutes of
// model time).
bool VcardSettle();

// ---- chips on the I2C bus -----------------------------------------------------

// Reads and writes a register as a bus transaction would, but without
// counting it and without faults. Reads have no side effects (tachometer
// latches stay as they are); writes have the chip's own effects.
bool VcardReadRegister(int gpu, int address, int reg, uint8_t* value);
bool VcardWriteRegister(int gpu, int address, int reg, uint8_t value);

// ---- thermal model and load -------------------------------------------------

// Sets the die temperature. With hold, it stays there until released or
// reset; without, the model carries on from it.
bool VcardSetDieTemperature(int gpu, double celsius, bool hold);
bool VcardReleaseDieTemperature(int gpu);
bool VcardSetAmbient(int gpu, double celsius);

// A busy GPU runs its 3D level and heats with full load; an idle one runs its
// 2D level.
bool VcardSetBusy(int gpu, bool busy);

// A stalled fan (a seized bearing, a cable come loose) slows to a stop and
// stays there whatever drives it, until released or reset.
bool VcardStallFan(int gpu, bool stalled);

// ---- state queries ----------------------------------------------------------

enum VcardFanDrive {
    kVcardFanFixed = 0,        // no control: runs at a fixed duty
    kVcardFanMonitorChip = 1,  // the monitor chip's target-speed control
    kVcardFanAdtPwm1 = 2,      // ADT7473 PWM output 1
    kVcardFanAdtPwm2 = 3,      // ADT7473 PWM output 2
    kVcardFanDriver = 4,       // the GPU's own cooler control (driver)
};

struct VcardLevelInfo {
    uint32_t id;
    uint32_t flags;
    // Per domain, in the card's domain order (VcardCardInfo::domainId).
    uint32_t frequency[8];  // applied setting, kHz
    uint32_t trial[8];      // trial setting in force, 0 = none
    uint32_t lower[8];
    uint32_t upper[8];
};

struct VcardCardInfo {
    uint16_t deviceId;
    uint16_t subsystemVendor;
    uint16_t subsystemDevice;
    double dieCelsius;
    bool dieHeld;
    bool busy;
    int driverCelsius;       // what the thermal record reports
    int fanDrive;            // VcardFanDrive
    double fanRpm;           // actual speed
    double fanTargetRpm;     // where the speed is heading
    double fanDutyPercent;   // drive strength behind the target
    bool fanManual;          // the active controller is in manual mode
    int monitorChipAddress;  // 0 = none
    bool hasAdt7473;
    uint32_t coolerLevel;                    // the driver cooler's current level, percent
    uint32_t coolerPolicy;                   // and policy (1 = manual)
    uint32_t coreKHz, shaderKHz, memoryKHz;  // running clocks (0 = no domain)
    int runningLevel;                        // position of the running level
    int levelCount;
    int domainCount;
    uint32_t domainId[8];
    uint32_t stableLimit[8];  // the hidden per-domain stability limit
    VcardLevelInfo level[12];
    uint32_t biosSize;
};

bool VcardGetCardInfo(int gpu, VcardCardInfo* info);

// Copies up to capacity bytes of the GPU's video BIOS image; *size receives
// the image size.
bool VcardGetBiosImage(int gpu, uint8_t* buffer, size_t capacity, size_t* size);
// Replaces the image (as a flash would), e.g. to place a signature.
bool VcardSetBiosImage(int gpu, const uint8_t* data, size_t size);

// ---- counters -----------------------------------------------------------------

enum VcardCall {
    kVcardCallInitialize = 0,
    kVcardCallEnumGpus,
    kVcardCallPciIds,
    kVcardCallThermal,
    kVcardCallI2cRead,
    kVcardCallI2cWrite,
    kVcardCallCoolerGet,
    kVcardCallCoolerSet,
    kVcardCallPerfGet,
    kVcardCallPerfSet,
    kVcardCallCount
};

struct VcardCounters {
    uint32_t driverCalls;             // every call of an nvapi.dll function
    uint32_t calls[kVcardCallCount];  // by function
    uint32_t i2cTransactions;         // I2C reads + writes reaching the bus
    uint32_t i2cFailures;             // of which failed (fault or no chip)
    uint32_t queryInterface;          // nvapi_QueryInterface lookups
    uint32_t physReads;               // PMReader GetPhysLong calls
};

bool VcardGetCounters(VcardCounters* counters);
bool VcardResetCounters();

// ---- faults -------------------------------------------------------------------

enum VcardI2cOp { kVcardI2cRead = 1, kVcardI2cWrite = 2, kVcardI2cAny = 3 };

// The next matching I2C transaction fails (or every one, with always) with
// the driver's status `status` (the default -1 is what a chip that does not
// answer gives). gpu -1 and reg -1 match any.
bool VcardFailI2c(int gpu, int address, int reg, bool always, int op = kVcardI2cAny, int status = -1);

// The next call of the driver function with this interface id (0 = any but
// the initialisation) on GPU gpu (-1 = any) returns status once, untouched.
bool VcardInjectStatusOnce(uint32_t interfaceId, int gpu, int status);

// Invalidates every GPU handle handed out so far: calls with them return -10
// until the handles are enumerated again.
bool VcardInvalidateHandles();

// A driver reset in progress: the next `times` GPU enumerations list only
// `count` GPUs (0: none, status -6), as a driver does while it brings its
// GPUs back one by one.
bool VcardShortenEnumeration(int count, int times);

// Counted faults, for sweeping every call of an operation: the nth driver
// call from now (any function, the initialisation too) or the nth I2C
// transaction from now fails with status, once. n 0 disarms. A new count
// replaces the one armed for the same kind.
enum VcardCountedFault { kVcardNthDriverCall = 0, kVcardNthI2c = 1 };
bool VcardFailNth(VcardCountedFault kind, int n, int status = -1);
// Whether the armed count has not been reached yet.
bool VcardNthPending(VcardCountedFault kind);

// While on, every performance-clock setting is refused with status.
bool VcardRefuseClockSettings(bool refuse, int status = -1);

enum VcardFlashFault {
    kVcardFlashNormal = 0,
    kVcardFlashFail = 1,      // exits with exitCode after the prompts, image unchanged
    kVcardFlashHang = 2,      // stops responding for hangMs (0 = until killed)
    kVcardFlashNoWindow = 3,  // makes no window to receive confirmation keys
};
bool VcardSetFlashFault(VcardFlashFault fault, int exitCode = 1, uint32_t hangMs = 0);
// How long a backup and an update take (default 1200 ms and 2500 ms).
bool VcardSetFlashDurations(uint32_t backupMs, uint32_t updateMs);

// PMReader's InitializeWinIo fails the next `count` times.
bool VcardFailWinIo(int count);

// Clears every fault above (not held temperatures).
bool VcardClearFaults();

// The faults in force, one line each ("" when none).
bool VcardDescribeFaults(char* text, size_t size);

// Holds the mutex "HwObj_I2cMutex" from a thread of this process, as another
// program on the bus would. Start returns once the mutex is held (false if it
// could not be had within 5 s); the hold ends after ms milliseconds, at
// Release, or at destruction.
class VcardI2cMutexHold {
public:
    VcardI2cMutexHold();
    ~VcardI2cMutexHold();
    VcardI2cMutexHold(const VcardI2cMutexHold&) = delete;
    VcardI2cMutexHold& operator=(const VcardI2cMutexHold&) = delete;

    bool Start(uint32_t ms);
    void Release();  // ends the hold now and waits for the thread

private:
    void* thread_;
    void* held_;
    void* release_;
    uint32_t ms_;
    static unsigned long __stdcall ThreadMain(void* self);
};
