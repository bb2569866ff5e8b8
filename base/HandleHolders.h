// Owners for kernel objects, loaded modules, registry keys and C library
// files, so that each is closed once, on every path, by the one holder that
// received it. GDI
// objects have their own holders in the control library (GdiHolders.h).
#pragma once

#include <windows.h>

#include <stdio.h>

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    explicit UniqueHandle(Type handle = nullptr) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Type Get() const { return handle_; }
    explicit operator bool() const { return Traits::Valid(handle_); }
    // Hands the handle to a new owner.
    Type Release() {
        Type handle = handle_;
        handle_ = nullptr;
        return handle;
    }
    void Reset(Type handle = nullptr) {
        if (Traits::Valid(handle_) && handle_ != handle) Traits::Close(handle_);
        handle_ = handle;
    }
    // For functions that return a handle through a pointer: the old one is
    // closed first.
    Type* Receive() {
        Reset();
        return &handle_;
    }

private:
    Type handle_;
};

struct KernelHandleTraits {
    using Type = HANDLE;
    // Some calls fail with null, others (files, snapshots) with
    // INVALID_HANDLE_VALUE; neither is a handle to close.
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};

struct ModuleTraits {
    using Type = HMODULE;
    static bool Valid(HMODULE m) { return m != nullptr; }
    static void Close(HMODULE m) { FreeLibrary(m); }
};

struct RegistryKeyTraits {
    using Type = HKEY;
    static bool Valid(HKEY k) { return k != nullptr; }
    static void Close(HKEY k) { RegCloseKey(k); }
};

struct FileTraits {
    using Type = FILE*;
    static bool Valid(FILE* f) { return f != nullptr; }
    static void Close(FILE* f) { fclose(f); }
};

using HandleHolder = UniqueHandle<KernelHandleTraits>;
using ModuleHolder = UniqueHandle<ModuleTraits>;
using RegistryKeyHolder = UniqueHandle<RegistryKeyTraits>;
using FileHolder = UniqueHandle<FileTraits>;
