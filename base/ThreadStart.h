// Starts the program's threads with a stack sized for what they do. The
// default reserve is the executable's 2 MB per thread: address space a
// 32-bit process can miss, and memory Wine commits whole.
#pragma once

#include <windows.h>

#include <process.h>

// Enough for the hardware calls and fixed buffers of the monitor and worker
// threads; the news download runs WinINet and gets more.
const unsigned kWorkerThreadStackBytes = 256 * 1024;
const unsigned kNetworkThreadStackBytes = 512 * 1024;

// A started thread's handle, or null. *id, when given, receives its id.
inline HANDLE StartThread(unsigned(__stdcall* body)(void*), void* argument, unsigned stackBytes,
                          unsigned* id = nullptr) {
    // The size is the reservation, not the first commit, or it would grow
    // the 2 MB rather than replace it.
    return reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, stackBytes, body, argument, STACK_SIZE_PARAM_IS_A_RESERVATION, id));
}
