#pragma once
// The program's view of the graphics cards: the driver binding, the chips on
// each card's I2C bus, the fan, temperatures and clocks. Every operation
// takes the GPU index first and returns a status (0 success, a negative
// driver status, -104 no such device on this GPU, -1 I2C bus busy).

#include <windows.h>

#include <atomic>

#include "HardwareTypes.h"
#include "NvapiBinding.h"
#include "NvapiTypes.h"
#include "PmReaderBinding.h"

class I2cChipRegisters;
enum Adt7473Pwm : uint8_t;

const int kMaxGpus = 2;

// Addresses on a card's I2C bus (8-bit form).
const uint8_t kMonitorChipAddress = 0x5C;
const uint8_t kMonitorChipAltAddress = 0x5A;
const uint8_t kAdt7473Address = 0x5C;

const DWORD kI2cMutexWaitMs = 2000;
// How long teardown waits for a start-up worker still running (say, a flash
// tool backup after a failed start) before leaving it to the process end.
const DWORD kStartupWorkerExitWaitMs = 5000;
const UINT kUmHardwareReady = WM_USER + 46;  // 1070, thread message

enum HardwareStartResult {
    kHardwareStarted = 0,      // the start-up worker runs
    kHardwareUnavailable = 1,  // the driver or the GPUs could not be used
    kWindowsTooOld = 3,        // older than Windows XP
};

class HardwareObject {
public:
    // driverLibrary: "nvapi.dll" unless a test binds a stand-in.
    explicit HardwareObject(const char* driverLibrary = "nvapi.dll");
    virtual ~HardwareObject();
    HardwareObject(const HardwareObject&) = delete;
    HardwareObject& operator=(const HardwareObject&) = delete;

    // Start-up hands these over before the hardware starts: the worker posts
    // WM_DESTROY to the notify window when done, or kUmHardwareReady to the
    // GUI thread when there is no such window.
    void SetGuiThreadId(DWORD id) { guiThreadId_ = id; }
    DWORD GuiThreadId() const { return guiThreadId_; }
    void SetNotifyWindow(HWND hwnd) { notifyWindow_ = hwnd; }
    HWND NotifyWindow() const { return notifyWindow_; }

    HardwareStartResult InitializeHardware();
    // Waits for the start-up worker to end; true when it has (or never ran).
    bool WaitForStartupCheck(DWORD timeoutMs);
    // The worker has finished its work (set just before it signals).
    bool StartupCheckDone() const { return startupCheckDone_ != 0; }
    // After -101 or -10 enumerates the GPUs again: 0 when every card of the
    // start is back with a fresh handle, else a failure status (the next call
    // then fails and tries again). Any other status comes back unchanged.
    NvStatus RecoverGpuHandles(NvStatus status);

    // The GPUs found at start (at most two), kept for the whole run.
    uint8_t GpuCount() const { return gpuCount_; }
    bool HasMonitorChip(uint8_t gpu) const;
    bool HasAdt7473(uint8_t gpu) const;
    int32_t GetFanWiring(uint8_t gpu) const;
    // A fan this program can read and set: the monitor chip's, or the
    // driver's cooler on a card whose BIOS wires the fan. Every fan call
    // checks it first.
    bool HasFanControl(uint8_t gpu) const;
    bool HasTachometer(uint8_t gpu) const;
    bool HasShaderClock(uint8_t gpu) const;
    PerfCapabilities GetPerfCapabilities(uint8_t gpu) const;
    uint8_t MonitorChipAddress(uint8_t gpu) const;
    int32_t SavedMaximumDuty(uint8_t gpu) const;
    bool IsWow64() const { return isWow64_ != 0; }
    // Tests only: take the path of a 32-bit process on 64-bit Windows (no
    // port I/O, GPU 0's BIOS from a flash tool backup) whatever the process.
    void ForceWow64ForTest() { forceWow64_ = true; }
    bool PortIoReady() const { return pmReader_.PortIoReady(); }

    // I2C transport, serialised by the mutex "HwObj_I2cMutex". With
    // detectedAddress the GPU's monitor chip address is used, else 0x5C.
    NvStatus I2cRead(uint8_t gpu, const uint8_t* reg, uint32_t regCount, uint8_t* data, uint32_t dataCount,
                     bool detectedAddress);
    NvStatus I2cWrite(uint8_t gpu, const uint8_t* reg, uint32_t regCount, const uint8_t* data, uint32_t dataCount,
                      bool detectedAddress);
    NvStatus ReadRegister(uint8_t gpu, uint8_t reg, uint8_t* value, bool detectedAddress);
    NvStatus WriteRegister(uint8_t gpu, uint8_t reg, uint8_t value, bool detectedAddress);

    // Fan. Values are RPM for the monitor chip and a working ADT7473
    // tachometer (measured), percent otherwise.
    NvStatus ReadFanSpeed(uint8_t gpu, uint32_t* value, bool measured);
    NvStatus SetFanSpeed(uint8_t gpu, uint32_t value);
    // temperatures[4] °C and speeds[5] RPM are used only with the monitor
    // chip and may be null otherwise.
    NvStatus SetFanAuto(uint8_t gpu, const uint32_t* temperatures, const uint32_t* speeds);
    NvStatus IsFanAuto(uint8_t gpu, BOOL* isAuto);
    // Into record, or into the GPU's cache when record is null.
    NvStatus ReadCoolerSettings(uint8_t gpu, NvCoolerSettings* record);
    // 0 and the first cooler of type fan, or -1 when there is none.
    static NvStatus FindFanCooler(const NvCoolerSettings& record, uint32_t* index);

    // Temperatures and monitor chip bytes (-104 without the monitor chip).
    NvStatus ReadGpuTemperature(uint8_t gpu, int32_t* celsius);
    NvStatus ReadBoardTemperature(uint8_t gpu, uint8_t* celsius);
    NvStatus ReadTemperatureOffset(uint8_t gpu, uint8_t* offset);
    NvStatus WriteTemperatureOffset(uint8_t gpu, uint8_t offset);
    NvStatus SetMonitorLimit(uint8_t gpu, uint8_t value);
    NvStatus PrepareMonitorChip(uint8_t gpu, uint32_t* out);

    // The PCI device id in four lower-case hex digits, e.g. "0290".
    NvStatus ReadDeviceKey(uint8_t gpu, wchar_t key[9]);

    // Clocks in kHz.
    NvStatus ReadCurrentClocks(uint8_t gpu, uint32_t* core, uint32_t* shader, uint32_t* memory);
    NvStatus Read2DClocks(uint8_t gpu, LevelClocks* clocks);
    NvStatus Read3DClocks(uint8_t gpu, LevelClocks* clocks);
    NvStatus Apply2DClocks(uint8_t gpu, LevelClocks* clocks);
    NvStatus Apply3DClocks(uint8_t gpu, LevelClocks* clocks);
    NvStatus Try2DClocks(uint8_t gpu, LevelClocks* clocks);
    NvStatus Try3DClocks(uint8_t gpu, LevelClocks* clocks);
    // One routine for reading and writing, chosen by clocks->writeFlag.
    NvStatus TransferLevelClocks(uint8_t gpu, LevelClocks* clocks);

    // What this run changed on a card, for a process about to die to undo:
    // a fan it fixed at a speed (until handed back to automatic) and clocks
    // it wrote.
    bool FanFixedByThisRun(uint8_t gpu) const { return gpu < kMaxGpus && (fanFixed_.load() >> gpu & 1) != 0; }
    bool ClocksWrittenByThisRun(uint8_t gpu) const { return gpu < kMaxGpus && (clocksWritten_.load() >> gpu & 1) != 0; }

private:
    // Into handles (kNvMaxPhysicalGpus entries); *count capped at kMaxGpus.
    NvStatus EnumerateGpus(NvPhysicalGpuHandle* handles, uint8_t* count);
    void PublishHandles(const NvPhysicalGpuHandle* handles, uint8_t count);
    NvPhysicalGpuHandle GpuHandle(uint8_t gpu) const { return gpuHandles_[gpu].load(); }
    bool CheckPerformanceLevels(uint8_t gpu);
    void DetectWow64();
    void DetectMonitorChip(uint8_t gpu);
    void ProbeAdt7473(uint8_t gpu);
    NvStatus I2cTransfer(bool write, uint8_t gpu, const uint8_t* reg, uint32_t regCount, uint8_t* data,
                         uint32_t dataCount, bool detectedAddress);
    // The registers of each chip on a GPU's bus: the monitor chip at the
    // GPU's detected address, the ADT7473 at its fixed one.
    I2cChipRegisters MonitorChipRegisters(uint8_t gpu);
    I2cChipRegisters Adt7473Registers(uint8_t gpu);
    bool ValidGpu(uint8_t gpu) const { return gpu < gpuCount_; }
    NvStatus WriteFanAuto(uint8_t gpu, const uint32_t* temperatures, const uint32_t* speeds);
    NvStatus QueryFanCooler(uint8_t gpu, NvCoolerSettings* record, uint32_t* index);
    NvStatus SetDriverCoolerLevel(uint8_t gpu, uint32_t index, uint32_t level, uint32_t policy);
    // The ADT7473 output the GPU's fan wiring names.
    Adt7473Pwm AdtPwmOutput(uint8_t gpu) const;

    // The start-up worker and its steps.
    static unsigned __stdcall StartupHardwareCheck(void* self);
    void RunStartupCheck();
    void ReadFanWiringFromBios(uint8_t gpu);
    void ReadBiosFromMemory(uint8_t text[]);
    void TestAdt7473Tachometer(uint8_t gpu);

    NvapiBinding nvapi_;
    // Rewritten by a recovery on the monitor thread while other threads make
    // calls with them: each handle is replaced whole.
    std::atomic<NvPhysicalGpuHandle> gpuHandles_[kMaxGpus];
    uint8_t gpuCount_ = 0;
    NvCoolerSettings coolerCache_[kMaxGpus] = {};
    volatile LONG fanWiring_[kMaxGpus];  // kFanWiringDriver until the BIOS says otherwise
    volatile LONG hasAdt7473_[kMaxGpus] = {};
    volatile LONG tachometerPresent_[kMaxGpus] = {};
    volatile LONG savedMaximumDuty_[kMaxGpus];  // -1 until start-up saves one
    HWND notifyWindow_ = nullptr;
    DWORD guiThreadId_ = 0;
    PerfCapabilities perfCapabilities_[kMaxGpus] = {};
    HandleHolder i2cMutex_;
    uint8_t monitorChipAddress_[kMaxGpus] = {};
    BOOL isWow64_ = FALSE;
    PmReaderBinding pmReader_;
    HandleHolder startupThread_;
    volatile LONG startupCheckDone_ = 0;
    bool forceWow64_ = false;
    std::atomic<uint32_t> fanFixed_{0};
    std::atomic<uint32_t> clocksWritten_{0};
};
