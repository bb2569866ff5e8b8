#pragma once
// Binds the port and physical-memory library "PMReader.dll" and forwards the
// calls the program makes: starting port I/O and reading the video BIOS from
// physical memory. Port I/O started here is shut down again when the binding
// goes.

#include <windows.h>

#include "HandleHolders.h"

class PmReaderBinding {
public:
    // The library is "PMReader.dll"; tests may bind another one.
    explicit PmReaderBinding(const wchar_t* library = L"PMReader.dll") : library_(library) {}
    ~PmReaderBinding();
    PmReaderBinding(const PmReaderBinding&) = delete;
    PmReaderBinding& operator=(const PmReaderBinding&) = delete;

    // Loads the library and resolves its entry points. Once bound, later
    // calls return at once; a missing library is tried again next time.
    bool Bind();
    // The library stays loaded and port I/O up past this object: a thread
    // that could not be stopped may still be inside it.
    void KeepLoaded();

    // Calls InitializeWinIo up to attempts times until it succeeds; false
    // without the entry point. Once started, later calls return at once.
    bool StartPortIo(int attempts);
    bool PortIoReady() const { return portIoReady_; }

    bool CanReadPhysicalMemory() const { return getPhysLong_ != nullptr; }
    // One 32-bit word of physical memory; false when the read failed.
    bool ReadPhysicalLong(DWORD_PTR address, DWORD* value);

private:
    typedef int(WINAPI* InitializeWinIoFn)();
    typedef void(WINAPI* ShutdownWinIoFn)();
    typedef int(WINAPI* GetPhysLongFn)(DWORD_PTR address, DWORD* value);

    const wchar_t* library_;
    ModuleHolder module_;
    InitializeWinIoFn initializeWinIo_ = nullptr;
    ShutdownWinIoFn shutdownWinIo_ = nullptr;
    GetPhysLongFn getPhysLong_ = nullptr;
    bool portIoReady_ = false;
};
