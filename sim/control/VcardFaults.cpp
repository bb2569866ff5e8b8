// Fault injection and the I2C mutex hold of the steering library.
#include "vcard/VirtualCardControl.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "ControlSupport.h"
#include "SharedCard.h"

using namespace vcard;

bool VcardFailI2c(int gpu, int address, int reg, bool always, int op, int status) {
    CardLock lock;
    if (!lock) return false;
    for (int i = 0; i < kMaxI2cFaults; ++i) {
        I2cFault& f = lock->faults.i2c[i];
        if (f.active) continue;
        f.active = 1;
        f.gpu = gpu;
        f.address = address;
        f.reg = reg;
        f.ops = op & kVcardI2cAny;
        f.always = always ? 1 : 0;
        f.status = status;
        return true;
    }
    SetControlError("all I2C fault slots are in use");
    return false;
}

bool VcardInjectStatusOnce(uint32_t interfaceId, int gpu, int status) {
    CardLock lock;
    if (!lock) return false;
    Faults& f = lock->faults;
    f.statusOnceArmed = 1;
    f.statusOnceId = interfaceId;
    f.statusOnceGpu = gpu;
    f.statusOnceValue = status;
    return true;
}

bool VcardInvalidateHandles() {
    CardLock lock;
    if (!lock) return false;
    lock->handleGeneration++;
    return true;
}

bool VcardShortenEnumeration(int count, int times) {
    if (count < 0 || times < 0) return false;
    CardLock lock;
    if (!lock) return false;
    lock->faults.shortGpuCount = count;
    lock->faults.shortEnumerations = times;
    return true;
}

bool VcardFailNth(VcardCountedFault kind, int n, int status) {
    if (n < 0) return false;
    CardLock lock;
    if (!lock) return false;
    Faults& f = lock->faults;
    if (kind == kVcardNthDriverCall) {
        f.nthCall = n;
    } else if (kind == kVcardNthI2c) {
        f.nthI2c = n;
    } else {
        return false;
    }
    f.nthStatus = status;
    return true;
}

bool VcardNthPending(VcardCountedFault kind) {
    CardLock lock;
    if (!lock) return false;
    return (kind == kVcardNthDriverCall ? lock->faults.nthCall : lock->faults.nthI2c) > 0;
}

bool VcardRefuseClockSettings(bool refuse, int status) {
    CardLock lock;
    if (!lock) return false;
    lock->faults.refuseClocks = refuse ? 1 : 0;
    lock->faults.refuseClocksStatus = status;
    return true;
}

bool VcardSetFlashFault(VcardFlashFault fault, int exitCode, uint32_t hangMs) {
    CardLock lock;
    if (!lock) return false;
    lock->faults.flashMode = fault;
    lock->faults.flashExitCode = exitCode;
    lock->faults.flashHangMs = hangMs;
    return true;
}

bool VcardSetFlashDurations(uint32_t backupMs, uint32_t updateMs) {
    CardLock lock;
    if (!lock) return false;
    lock->flashBackupMs = backupMs;
    lock->flashUpdateMs = updateMs;
    return true;
}

bool VcardFailWinIo(int count) {
    CardLock lock;
    if (!lock) return false;
    lock->faults.winIoFailures = count;
    return true;
}

bool VcardClearFaults() {
    CardLock lock;
    if (!lock) return false;
    memset(&lock->faults, 0, sizeof(lock->faults));
    lock->faults.refuseClocksStatus = -1;
    return true;
}

bool VcardDescribeFaults(char* text, size_t size) {
    if (!text || size == 0) return false;
    text[0] = '\0';
    CardLock lock;
    if (!lock) return false;
    const Faults& f = lock->faults;
    size_t used = 0;
    auto add = [&](const char* line) {
        int n = snprintf(text + used, size - used, "%s\n", line);
        if (n > 0) used += (size_t)n < size - used ? (size_t)n : size - used - 1;
    };
    char line[160];
    for (int i = 0; i < kMaxI2cFaults; ++i) {
        const I2cFault& x = f.i2c[i];
        if (!x.active) continue;
        char gpu[16] = "any GPU", reg[16] = "any register";
        if (x.gpu >= 0) snprintf(gpu, sizeof(gpu), "GPU %d", (int)x.gpu);
        if (x.reg >= 0) snprintf(reg, sizeof(reg), "register 0x%02X", (unsigned)x.reg);
        snprintf(line, sizeof(line), "I2C %s at 0x%02X, %s, %s: status %d %s",
                 x.ops == 1   ? "reads"
                 : x.ops == 2 ? "writes"
                              : "transfers",
                 (unsigned)x.address, reg, gpu, (int)x.status, x.always ? "always" : "once");
        add(line);
    }
    if (f.statusOnceArmed) {
        snprintf(line, sizeof(line), "next driver call 0x%08X (0 = any) on %d: status %d once",
                 (unsigned)f.statusOnceId, (int)f.statusOnceGpu, (int)f.statusOnceValue);
        add(line);
    }
    if (f.refuseClocks) {
        snprintf(line, sizeof(line), "clock settings refused with status %d", (int)f.refuseClocksStatus);
        add(line);
    }
    if (f.flashMode == kVcardFlashFail) {
        snprintf(line, sizeof(line), "flash tool fails with exit code %d", (int)f.flashExitCode);
        add(line);
    } else if (f.flashMode == kVcardFlashHang) {
        snprintf(line, sizeof(line), "flash tool hangs for %u ms (0 = for good)", (unsigned)f.flashHangMs);
        add(line);
    } else if (f.flashMode == kVcardFlashNoWindow) {
        add("flash tool makes no window for keys");
    }
    if (f.shortEnumerations > 0) {
        snprintf(line, sizeof(line), "the next %d enumerations list %d GPUs", (int)f.shortEnumerations,
                 (int)f.shortGpuCount);
        add(line);
    }
    if (f.winIoFailures > 0) {
        snprintf(line, sizeof(line), "InitializeWinIo fails %d more times", (int)f.winIoFailures);
        add(line);
    }
    if (f.nthCall > 0) {
        snprintf(line, sizeof(line), "driver call %d from now: status %d", (int)f.nthCall, (int)f.nthStatus);
        add(line);
    }
    if (f.nthI2c > 0) {
        snprintf(line, sizeof(line), "I2C transaction %d from now: status %d", (int)f.nthI2c, (int)f.nthStatus);
        add(line);
    }
    return true;
}

// ---- holding the I2C mutex ----------------------------------------------------

VcardI2cMutexHold::VcardI2cMutexHold() : thread_(nullptr), held_(nullptr), release_(nullptr), ms_(0) {}

VcardI2cMutexHold::~VcardI2cMutexHold() {
    Release();
}

unsigned long __stdcall VcardI2cMutexHold::ThreadMain(void* param) {
    VcardI2cMutexHold* self = (VcardI2cMutexHold*)param;
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"HwObj_I2cMutex");
    if (!mutex) return 1;
    DWORD got = WaitForSingleObject(mutex, 5000);
    if (got != WAIT_OBJECT_0 && got != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return 1;
    }
    SetEvent(self->held_);
    WaitForSingleObject(self->release_, self->ms_ ? self->ms_ : INFINITE);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return 0;
}

bool VcardI2cMutexHold::Start(uint32_t ms) {
    Release();
    ms_ = ms;
    held_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!held_ || !release_) {
        Release();
        return false;
    }
    thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
    if (!thread_) {
        Release();
        return false;
    }
    HANDLE waits[2] = {held_, thread_};
    DWORD which = WaitForMultipleObjects(2, waits, FALSE, 6000);
    if (which != WAIT_OBJECT_0) {
        SetControlError("could not take the I2C mutex");
        Release();
        return false;
    }
    return true;
}

void VcardI2cMutexHold::Release() {
    if (thread_) {
        SetEvent(release_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    if (held_) CloseHandle(held_);
    if (release_) CloseHandle(release_);
    held_ = nullptr;
    release_ = nullptr;
}
