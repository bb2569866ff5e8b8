// PMReader.dll of the virtual card: port and physical-memory access. Only the
// legacy video BIOS window (0xC0000..0xDFFFF) is backed: it holds the first
// GPU's BIOS image, as the system BIOS shadows it at boot. Port accesses
// succeed and read 0xFF, as an empty ISA port would.
#include <windows.h>

#include <string.h>

#include "SharedCard.h"

using namespace vcard;

namespace {

const uint32_t kVideoBiosBase = 0xC0000;
const uint32_t kVideoBiosWindow = 0x20000;

// Per process, as the real library keeps its driver handle.
bool gReady = false;

}  // namespace

#define PM_EXPORT extern "C" __declspec(dllexport)

PM_EXPORT bool __stdcall InitializeWinIo() {
    CardLock lock;
    if (!lock) return false;
    if (lock->faults.winIoFailures > 0) {
        lock->faults.winIoFailures--;
        return false;
    }
    gReady = true;
    return true;
}

PM_EXPORT void __stdcall ShutdownWinIo() {
    gReady = false;
}

PM_EXPORT bool __stdcall GetPortVal(WORD port, PDWORD value, BYTE size) {
    (void)port;
    if (!gReady || !value || (size != 1 && size != 2 && size != 4)) return false;
    *value = size == 4 ? 0xFFFFFFFFu : size == 2 ? 0xFFFFu : 0xFFu;
    return true;
}

PM_EXPORT bool __stdcall SetPortVal(WORD port, DWORD value, BYTE size) {
    (void)port;
    (void)value;
    return gReady && (size == 1 || size == 2 || size == 4);
}

PM_EXPORT bool __stdcall GetPhysLong(PBYTE address, PDWORD value) {
    if (!gReady || !value) return false;
    CardLock lock;
    if (!lock) return false;
    lock->counters.physReads++;
    uintptr_t at = (uintptr_t)address;
    uint8_t bytes[4];
    for (int i = 0; i < 4; ++i) {
        uintptr_t a = at + i;
        bytes[i] = 0xFF;  // open bus
        if (a >= kVideoBiosBase && a < kVideoBiosBase + kVideoBiosWindow && lock->gpuCount > 0) {
            uint32_t offset = (uint32_t)(a - kVideoBiosBase);
            if (offset < lock->gpu[0].biosSize) bytes[i] = lock->gpu[0].bios[offset];
        }
    }
    DWORD word;
    memcpy(&word, bytes, 4);
    *value = word;
    return true;
}

PM_EXPORT bool __stdcall SetPhysLong(PBYTE address, DWORD value) {
    (void)address;
    (void)value;
    // The shadowed BIOS is write-protected; other memory is not ours to touch.
    return false;
}
