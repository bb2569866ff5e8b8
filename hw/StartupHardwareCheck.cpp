// The start-up worker: learns how each card's fan is wired from its video
// BIOS text, tests the ADT7473's tachometer, then signals that the hardware
// is ready.

#include <string.h>

#include "Adt7473.h"
#include "BiosSignature.h"
#include "ChipRegisters.h"
#include "HardwareObject.h"
#include "NvFlash.h"

namespace {

const DWORD_PTR kBiosPhysicalAddress = 0xC0000;
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
            // Saved so that a manual duty can lift the limit and automatic
            // mode can put it back.
            I2cChipRegisters registers = Adt7473Registers(gpu);
            uint8_t maxDuty = 0;
            if (Adt7473(registers).ReadBiosMaximumDuty(AdtPwmOutput(gpu), &maxDuty)) {
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
        if (!pmReader_.ReadPhysicalLong(kBiosPhysicalAddress + word * 4, &value)) {
            break;
        }
        memcpy(text + word * 4, &value, 4);
    }
}

void HardwareObject::ReadFanWiringFromBios(uint8_t gpu) {
    uint8_t text[kBiosTextBytes];
    memset(text, 0, sizeof(text));
    int32_t wiring = kFanWiringDriver;
    if (gpu == 0 && pmReader_.PortIoReady() && pmReader_.CanReadPhysicalMemory()) {
        ReadBiosFromMemory(text);
        if (!FindFanWiringSignature(text, sizeof(text), &wiring)) {
            wiring = kFanWiringDriver;
        }
        fanWiring_[gpu] = wiring;
        return;
    }
    bool textRead = false;
    if (BackupImage(gpu, text, &textRead) == kNvflashDone && textRead &&
        FindFanWiringSignature(text, sizeof(text), &wiring)) {
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
    I2cChipRegisters registers = Adt7473Registers(gpu);
    Adt7473 chip(registers);
    int good = 0;
    for (int i = 0; i < kTachTestPasses; i++) {
        if (chip.TachometerAnswers()) {
            good++;
        }
    }
    tachometerPresent_[gpu] = good >= kTachGoodPassesNeeded;
    if (wasAuto) {
        SetFanAuto(gpu, nullptr, nullptr);
    } else {
        SetFanSpeed(gpu, duty);
    }
}
