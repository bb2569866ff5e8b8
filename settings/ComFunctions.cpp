#include "ComFunctions.h"

#include "SystemLibrary.h"

namespace {

bool Bind(ComFunctions* f) {
    HMODULE ole = LoadSystemLibrary(L"ole32.dll");
    HMODULE automation = LoadSystemLibrary(L"oleaut32.dll");
    return FindLibraryFunction(ole, "CoInitializeEx", &f->CoInitializeEx) &&
           FindLibraryFunction(ole, "CoUninitialize", &f->CoUninitialize) &&
           FindLibraryFunction(ole, "CoCreateInstance", &f->CoCreateInstance) &&
           FindLibraryFunction(automation, "SysAllocString", &f->SysAllocString) &&
           FindLibraryFunction(automation, "SysFreeString", &f->SysFreeString) &&
           FindLibraryFunction(automation, "SysStringLen", &f->SysStringLen);
}

}  // namespace

const ComFunctions* Com() {
    static ComFunctions functions;
    static const bool bound = Bind(&functions);
    return bound ? &functions : nullptr;
}
