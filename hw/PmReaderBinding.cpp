#include "PmReaderBinding.h"

namespace {

// The library answers with a status in the low byte: non-zero is success.
bool Succeeded(int result) {
    return (result & 0xFF) != 0;
}

template <typename Fn>
Fn Resolve(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

PmReaderBinding::~PmReaderBinding() {
    if (portIoReady_ && shutdownWinIo_) {
        shutdownWinIo_();
    }
}

bool PmReaderBinding::Bind() {
    if (module_) {
        return true;
    }
    module_.Reset(LoadLibraryW(library_));
    if (!module_) {
        return false;
    }
    initializeWinIo_ = Resolve<InitializeWinIoFn>(module_.Get(), "InitializeWinIo");
    shutdownWinIo_ = Resolve<ShutdownWinIoFn>(module_.Get(), "ShutdownWinIo");
    getPhysLong_ = Resolve<GetPhysLongFn>(module_.Get(), "GetPhysLong");
    return true;
}

void PmReaderBinding::KeepLoaded() {
    module_.Release();
    shutdownWinIo_ = nullptr;
}

bool PmReaderBinding::StartPortIo(int attempts) {
    if (!initializeWinIo_) {
        return false;
    }
    for (int i = 0; i < attempts && !portIoReady_; i++) {
        portIoReady_ = Succeeded(initializeWinIo_());
    }
    return portIoReady_;
}

bool PmReaderBinding::ReadPhysicalLong(DWORD_PTR address, DWORD* value) {
    return getPhysLong_ && Succeeded(getPhysLong_(address, value));
}
