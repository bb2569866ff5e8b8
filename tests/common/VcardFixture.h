#pragma once
// Common set-up for tests that run the hardware layer against the virtual
// card: a private card state for this test program, a scenario per test,
// model time frozen so that readings do not drift between two reads.

#include <gtest/gtest.h>
#include <windows.h>

#include <stdio.h>

#include <string>

#include "HardwareObject.h"
#include "vcard/VirtualCardControl.h"

class VcardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(VcardUseState(L"hw_vcard_tests.state")); }

    void Reset(const char* scenario) {
        ASSERT_TRUE(VcardReset(scenario)) << VcardLastError();
        ASSERT_TRUE(VcardSetTimeMode(kVcardTimeManual));
    }

    // Starts the hardware as start-up does and waits for the start-up worker.
    int Start(HardwareObject& hw) {
        hw.SetGuiThreadId(GetCurrentThreadId());
        MSG stale;
        while (PeekMessageW(&stale, (HWND)-1, kUmHardwareReady, kUmHardwareReady, PM_REMOVE)) {
        }
        int result = hw.InitializeHardware();
        if (result == 0) {
            EXPECT_TRUE(hw.WaitForStartupCheck(60000));
        }
        return result;
    }

    static uint8_t Reg(int gpu, int address, int reg) {
        uint8_t value = 0xEE;
        EXPECT_TRUE(VcardReadRegister(gpu, address, reg, &value)) << "reg " << reg;
        return value;
    }

    static void SetReg(int gpu, int address, int reg, uint8_t value) {
        ASSERT_TRUE(VcardWriteRegister(gpu, address, reg, value));
    }

    static VcardCardInfo Info(int gpu) {
        VcardCardInfo info;
        EXPECT_TRUE(VcardGetCardInfo(gpu, &info));
        return info;
    }

    static uint32_t I2cTransactions() {
        VcardCounters c;
        EXPECT_TRUE(VcardGetCounters(&c));
        return c.i2cTransactions;
    }

    // Writes a scenario file next to the test and returns its name.
    static std::string ScenarioFile(const char* name, const char* text) {
        FILE* f = fopen(name, "wb");
        EXPECT_TRUE(f != NULL);
        if (f) {
            fputs(text, f);
            fclose(f);
        }
        return name;
    }

    // Puts the first bytes of GPU gpu's BIOS image, keeping the rest.
    static void PlaceBiosText(int gpu, size_t at, const char* text, size_t imageSize = 0) {
        static uint8_t image[0x20000];
        size_t size = 0;
        ASSERT_TRUE(VcardGetBiosImage(gpu, image, sizeof(image), &size));
        if (imageSize) {
            size = imageSize;
        }
        memset(image, 0, size < 600 ? size : 600);
        memcpy(image + at, text, strlen(text));
        ASSERT_TRUE(VcardSetBiosImage(gpu, image, size));
    }
};
