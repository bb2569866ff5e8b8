// Benchmark, not a timed test: one monitoring pass (fan, clocks, temperature
// of every card, each status through the handle recovery) per scenario of
// the virtual card, printing per pass the I2C transactions, driver calls,
// heap allocations and time. Fails (exit 1) when a pass allocates from the
// heap or makes more bus transactions than its reads need.
//
//   hw_monitor_benchmark [passes-for-timing]

#include <windows.h>

#include <new>
#include <stdio.h>
#include <stdlib.h>

#include "HardwareObject.h"
#include "vcard/VirtualCardControl.h"

namespace {

volatile LONG g_newCalls = 0;

// Busy blocks on every heap of the process: catches C runtime and Win32
// allocations that do not go through operator new.
long HeapBusyBlocks() {
    HANDLE heaps[64];
    DWORD count = GetProcessHeaps(64, heaps);
    long busy = 0;
    for (DWORD i = 0; i < count && i < 64; i++) {
        if (!HeapLock(heaps[i])) {
            continue;
        }
        PROCESS_HEAP_ENTRY entry;
        entry.lpData = NULL;
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
                busy++;
            }
        }
        HeapUnlock(heaps[i]);
    }
    return busy;
}

// What the panel's monitor thread does once per cycle.
void MonitoringPass(HardwareObject& hw) {
    for (uint8_t gpu = 0; gpu < hw.GpuCount(); gpu++) {
        if (hw.GetFanWiring(gpu) != 0 || hw.HasMonitorChip(gpu)) {
            uint32_t fan = 0;
            hw.RecoverGpuHandles(hw.ReadFanSpeed(gpu, &fan, true));
        }
        uint32_t core = 0, shader = 0, memory = 0;
        hw.RecoverGpuHandles(hw.ReadCurrentClocks(gpu, &core, &shader, &memory));
        int32_t celsius = 0;
        hw.RecoverGpuHandles(hw.ReadGpuTemperature(gpu, &celsius));
    }
}

// The bus reads a pass needs: the monitor chip's and a working ADT7473
// tachometer's two count bytes, or the ADT7473's one duty byte.
uint32_t NeededTransactions(HardwareObject& hw) {
    uint32_t needed = 0;
    for (uint8_t gpu = 0; gpu < hw.GpuCount(); gpu++) {
        if (hw.HasMonitorChip(gpu)) {
            needed += 2;
        } else if (hw.HasAdt7473(gpu) && hw.GetFanWiring(gpu) != 0) {
            needed += (hw.HasTachometer(gpu) && hw.GetFanWiring(gpu) != 2) ? 2 : 1;
        }
    }
    return needed;
}

}  // namespace

void* operator new(size_t size) {
    InterlockedIncrement(&g_newCalls);
    void* p = malloc(size ? size : 1);
    if (!p) {
        abort();
    }
    return p;
}
void* operator new[](size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    free(p);
}
void operator delete[](void* p) noexcept {
    free(p);
}
void operator delete(void* p, size_t) noexcept {
    free(p);
}
void operator delete[](void* p, size_t) noexcept {
    free(p);
}

int main(int argc, char** argv) {
    int timingPasses = argc > 1 ? atoi(argv[1]) : 200;
    if (!VcardUseState(L"hw_benchmark.state")) {
        printf("cannot open the virtual card state\n");
        return 2;
    }
    const char* scenarios[] = {"monitorchip", "monitorchip-5a", "adt7473", "adt7473-pwm2", "adt7473-notach",
                               "driver-fan",  "no-fan",         "sli",     "3d-only",      "no-shader"};
    printf("%-16s %5s %6s %7s %7s %11s %12s\n", "scenario", "gpus", "i2c", "needed", "driver", "heap(new/blk)",
           "us/pass");
    bool ok = true;
    for (const char* scenario : scenarios) {
        if (!VcardReset(scenario) || !VcardSetTimeMode(kVcardTimeManual)) {
            printf("%-16s cannot load: %s\n", scenario, VcardLastError());
            ok = false;
            continue;
        }
        HardwareObject hw;
        if (hw.InitializeHardware() != 0 || !hw.WaitForStartupCheck(60000)) {
            printf("%-16s hardware did not start\n", scenario);
            ok = false;
            continue;
        }
        MonitoringPass(hw);  // first pass: nothing lazily set up is counted below

        VcardCounters before, after;
        VcardGetCounters(&before);
        LONG newBefore = g_newCalls;
        long blocksBefore = HeapBusyBlocks();
        MonitoringPass(hw);
        long blocksAfter = HeapBusyBlocks();
        LONG newCalls = g_newCalls - newBefore;
        VcardGetCounters(&after);
        uint32_t i2c = after.i2cTransactions - before.i2cTransactions;
        uint32_t driver = after.driverCalls - before.driverCalls;
        uint32_t needed = NeededTransactions(hw);

        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        for (int i = 0; i < timingPasses; i++) {
            MonitoringPass(hw);
        }
        QueryPerformanceCounter(&end);
        double usPerPass =
            timingPasses > 0 ? (double)(end.QuadPart - start.QuadPart) * 1e6 / (double)frequency.QuadPart / timingPasses
                             : 0.0;
        printf("%-16s %5d %6u %7u %7u %6ld/%-6ld %12.1f\n", scenario, hw.GpuCount(), i2c, needed, driver,
               (long)newCalls, blocksAfter - blocksBefore, usPerPass);
        if (newCalls != 0 || blocksAfter != blocksBefore || i2c > needed) {
            printf("%-16s FAILED: a pass must not allocate nor exceed its bus reads\n", scenario);
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
