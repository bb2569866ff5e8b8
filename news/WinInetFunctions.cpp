#include "WinInetFunctions.h"

#include "SystemLibrary.h"

namespace {

bool Bind(WinInetFunctions* f) {
    HMODULE module = LoadSystemLibrary(L"wininet.dll");
    return FindLibraryFunction(module, "InternetOpenW", &f->InternetOpenW) &&
           FindLibraryFunction(module, "InternetConnectW", &f->InternetConnectW) &&
           FindLibraryFunction(module, "InternetCrackUrlW", &f->InternetCrackUrlW) &&
           FindLibraryFunction(module, "InternetSetOptionW", &f->InternetSetOptionW) &&
           FindLibraryFunction(module, "InternetQueryOptionW", &f->InternetQueryOptionW) &&
           FindLibraryFunction(module, "InternetReadFile", &f->InternetReadFile) &&
           FindLibraryFunction(module, "InternetCloseHandle", &f->InternetCloseHandle) &&
           FindLibraryFunction(module, "HttpOpenRequestW", &f->HttpOpenRequestW) &&
           FindLibraryFunction(module, "HttpSendRequestW", &f->HttpSendRequestW) &&
           FindLibraryFunction(module, "HttpQueryInfoW", &f->HttpQueryInfoW);
}

}  // namespace

const WinInetFunctions* WinInet() {
    // A function-local static is made once even when two download threads
    // ask at the same moment.
    static WinInetFunctions functions;
    static const bool bound = Bind(&functions);
    return bound ? &functions : nullptr;
}
