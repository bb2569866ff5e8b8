// The start-up worker: learns how each card's fan is wired from its video
// BIOS text, tests the ADT7473's tachometer, then signals that the hardware
// is ready.

#include <string.h>

#include "BiosSignature.h"
#include "HardwareObject.h"
#include "NvFlash.h"

namespace {

const DWORD_PTR kBiosPhysicalAddress = 0xC0000;
const uint8_t kAdtRegTachLow = 0x28;
const uint8_t kAdtRegTachHigh = 0x29;
const uint8_t kAdtRegMaxDuty = 0x38;
const uint32_t kTachTestPercent = 45;
const DWORD kTachSpinUpMs = 100;
const int kTachTestPasses = 5;
const int kTachGoodPassesNeeded = 2;
// A manual duty that cannot be read back is restored as full speed rather
// than as a stopped fan.
const uint32_t kFallbackDutyPercent = 100;

}  // namespace

unsigned __stdcall HardwareObject::StartupHardwareCheck(void* self) {
    static_cast<HardwareObject*>(self)->RunStartupCheck();
    return 0;
}

void HardwareObject::RunStartupCheck() {
    for (uint8_t gpu = 0; gpu < gpuCount_; gpu++) {
        ReadFanWiringFromBios(gpu);
        if (HasAdt7473(gpu)) {
            TestAdt7473Tachometer(gpu);
            uint8_t maxDuty = 0;
            uint8_t reg = (uint8_t)(kAdtRegMaxDuty + AdtPwmOutput(gpu));
            if (ReadRegister(gpu, reg, &maxDuty, false) == kNvOk && (maxDuty & 0x80)) {
                savedMaximumDuty_[gpu] = maxDuty;
            }
        }
    }
    InterlockedExchange(&startupCheckDone_, 1);
    if (notifyWindow_) {
        PostMessageW(notifyWindow_, WM_DESTROY, 0, 0);
    } else {
        PostThreadMessageW(guiThreadId_, kUmHardwareReady, 0, 0);
    }
}

void HardwareObject::ReadBiosFromMemory(uint8_t text[]) {
    for (size_t word = 0; word < kBiosTextBytes / 4; word++) {
        DWORD value = 0;
        if ((getPhysLong_(kBiosPhysicalAddress + word * 4, &value) & 0xFF) == 0) {
            break;
        }
        memcpy(text + word * 4, &value, 4);
    }
}

void HardwareObject::ReadFanWiringFromBios(uint8_t gpu) {
    uint8_t text[kBiosTextBytes];
    memset(text, 0, sizeof(text));
    int32_t wiring = kFanWiringDriver;
    if (gpu == 0 && portIoReady_ && getPhysLong_) {
        ReadBiosFromMemory(text);
        if (!FindFanWiringSignature(text, sizeof(text), &wiring)) {
            wiring = kFanWiringDriver;
        }
        fanWiring_[gpu] = wiring;
        return;
    }
    bool textRead = false;
    if (BackupImage(gpu, text, &textRead) == kNvflashDone && textRead && FindFanWiringSignature(text, sizeof(text), &wiring)) {
        fanWiring_[gpu] = wiring;
    }
}

void HardwareObject::TestAdt7473Tachometer(uint8_t gpu) {
    BOOL wasAuto = FALSE;
    if (IsFanAuto(gpu, &wasAuto) != kNvOk) {
        return;
    }
    uint32_t duty = kFallbackDutyPercent;
    ReadFanSpeed(gpu, &duty, false);
    SetFanSpeed(gpu, kTachTestPercent);
    Sleep(kTachSpinUpMs);
    int good = 0;
    for (int i = 0; i < kTachTestPasses; i++) {
        uint8_t low = 0, high = 0;
        if (ReadRegister(gpu, kAdtRegTachLow, &low, false) == kNvOk &&
            ReadRegister(gpu, kAdtRegTachHigh, &high, false) == kNvOk && low != 0xFF && high != 0xFF) {
            good++;
        }
    }
    tachometerPresent_[gpu] = good >= kTachGoodPassesNeeded;
    if (wasAuto) {
        SetFanAuto(gpu, NULL, NULL);
    } else {
        SetFanSpeed(gpu, duty);
    }
}
