// Committed private memory of a process, region by region: what private
// bytes means, and what Wine can tell where the system's own figure is 0 or
// the process is another one. Header-only, for the benchmarks.
#pragma once

#include <windows.h>

struct PrivateMemory {
    double bytes = -1;  // -1 when the process cannot be read
    // Of them, in allocations that hold a guard page: thread stacks, which
    // Wine commits whole where Windows commits what a thread touched.
    double stackBytes = 0;
};

inline PrivateMemory CountPrivateMemory(HANDLE process) {
    PrivateMemory memory;
    memory.bytes = 0;
    MEMORY_BASIC_INFORMATION region;
    const BYTE* address = NULL;
    const void* allocation = NULL;
    double allocationBytes = 0;
    bool guarded = false;
    for (;;) {
        const bool more = VirtualQueryEx(process, address, &region, sizeof(region)) == sizeof(region);
        if (!more || region.AllocationBase != allocation) {
            if (guarded) memory.stackBytes += allocationBytes;
            allocation = more ? region.AllocationBase : NULL;
            allocationBytes = 0;
            guarded = false;
        }
        if (!more) break;
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            memory.bytes += (double)region.RegionSize;
            allocationBytes += (double)region.RegionSize;
            if (region.Protect & PAGE_GUARD) guarded = true;
        }
        const BYTE* next = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize;
        if (next <= address) break;
        address = next;
    }
    return memory;
}
