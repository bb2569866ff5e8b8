// Owners for what COM hands out: an interface pointer is released once, a
// BSTR freed once, and an apartment entered is left again on the thread
// that entered it.
#pragma once

#include <windows.h>

#include "ComFunctions.h"

template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Interface* operator->() const { return pointer_; }
    Interface* Get() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    void Reset() {
        if (pointer_) pointer_->Release();
        pointer_ = nullptr;
    }
    // For calls that return the interface through a pointer.
    Interface** Receive() {
        Reset();
        return &pointer_;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

private:
    Interface* pointer_ = nullptr;
};

class BstrHolder {
public:
    // Without COM's libraries no text is made, and none is ever held.
    explicit BstrHolder(const wchar_t* text = nullptr) : text_(text && Com() ? Com()->SysAllocString(text) : nullptr) {}
    ~BstrHolder() { Free(); }
    BstrHolder(const BstrHolder&) = delete;
    BstrHolder& operator=(const BstrHolder&) = delete;

    BSTR Get() const { return text_; }
    UINT Length() const { return text_ ? Com()->SysStringLen(text_) : 0; }
    BSTR* Receive() {
        Free();
        return &text_;
    }

private:
    void Free() {
        if (text_) Com()->SysFreeString(text_);
        text_ = nullptr;
    }

    BSTR text_;
};

// A thread that already lives in another kind of apartment keeps it: COM
// then works as that apartment allows, and nothing is left here.
class ComApartment {
public:
    ComApartment() : entered_(Com() && SUCCEEDED(Com()->CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (entered_) Com()->CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool entered_;
};
