// Live GDI objects of this process under Wine, which answers GetGuiResources
// with 0. Wine keeps them in a shared handle table of 24-byte entries, the
// same in 32- and 64-bit processes; a live entry has a non-zero type. The
// table hangs off the process block, and for a 32-bit process under WOW64
// off the 64-bit process block, which the 32-bit thread block's
// GdiBatchCount points to through its 64-bit thread block. -1 when no table
// is found.
#pragma once

#include <windows.h>

#include <stdint.h>

namespace wine_gdi {

struct HandleEntry {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t userPointer;
};
static_assert(sizeof(HandleEntry) == 24, "Wine's GDI handle entry is 24 bytes");
const size_t kSlots = 0x10000;

// The thread block through ntdll: the compiler's inline NtCurrentTeb trips
// its own array-bounds warning.
inline const BYTE* ThreadBlock() {
    struct BasicThreadInfo {
        LONG exitStatus;
        void* threadBlock;
        ULONG_PTR processId, threadId, affinity;
        LONG priority, basePriority;
    } info = {};
    typedef LONG(WINAPI * QueryThreadFn)(HANDLE, int, void*, ULONG, ULONG*);
    QueryThreadFn query = reinterpret_cast<QueryThreadFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread")));
    if (!query || query(GetCurrentThread(), 0, &info, sizeof(info), nullptr) != 0) return nullptr;
    return static_cast<const BYTE*>(info.threadBlock);
}

inline const HandleEntry* Table() {
    const BYTE* teb = ThreadBlock();
    if (!teb) return nullptr;
#ifdef _WIN64
    const BYTE* peb = *reinterpret_cast<const BYTE* const*>(teb + 0x60);
    return *reinterpret_cast<const HandleEntry* const*>(peb + 0xF8);
#else
    const uint32_t teb64 = *reinterpret_cast<const uint32_t*>(teb + 0xF70);  // GdiBatchCount
    if (teb64) {
        const uint64_t peb64 = *reinterpret_cast<const uint64_t*>(static_cast<uintptr_t>(teb64) + 0x60);
        if (!peb64 || peb64 > UINT32_MAX) return nullptr;
        const uint64_t table = *reinterpret_cast<const uint64_t*>(static_cast<uintptr_t>(peb64) + 0xF8);
        return table <= UINT32_MAX ? reinterpret_cast<const HandleEntry*>(static_cast<uintptr_t>(table)) : nullptr;
    }
    const BYTE* peb = *reinterpret_cast<const BYTE* const*>(teb + 0x30);
    return *reinterpret_cast<const HandleEntry* const*>(peb + 0x94);
#endif
}

inline long LiveObjects() {
    const HandleEntry* table = Table();
    if (!table) return -1;
    MEMORY_BASIC_INFORMATION region;
    if (!VirtualQuery(table, &region, sizeof(region)) || region.State != MEM_COMMIT) return -1;
    size_t readable = static_cast<size_t>(static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize -
                                          reinterpret_cast<const BYTE*>(table));
    size_t slots = readable / sizeof(HandleEntry);
    if (slots > kSlots) slots = kSlots;
    long live = 0;
    for (size_t i = 0; i < slots; i++)
        live += table[i].type != 0;
    return live;
}

}  // namespace wine_gdi

inline BOOL CALLBACK CountWindowAndChildren(HWND window, LPARAM counter) {
    ++*reinterpret_cast<long*>(counter);
    EnumChildWindows(window, &CountWindowAndChildren, counter);
    return TRUE;
}

// This process's GDI and USER objects: the system's counts where it gives
// them (Windows); under Wine, which answers 0, the GDI handle table (-1 when
// it is not found) and this thread's windows, the USER objects the
// program's controls make.
struct GuiObjectCounts {
    long gdi;
    long user;
    bool fromSystem;
};

inline GuiObjectCounts CountGuiObjects() {
    GuiObjectCounts c = {static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)),
                         static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)), true};
    if (c.gdi == 0) {
        c.fromSystem = false;
        c.gdi = wine_gdi::LiveObjects();
        c.user = 0;
        EnumThreadWindows(GetCurrentThreadId(), &CountWindowAndChildren, reinterpret_cast<LPARAM>(&c.user));
    }
    return c;
}
