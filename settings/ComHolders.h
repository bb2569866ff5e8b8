// Owners for what COM hands out: an interface pointer is released once, a
// BSTR freed once, and an apartment entered is left again on the thread
// that entered it.
#pragma once

#include <windows.h>
#include <oleauto.h>

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
    explicit BstrHolder(const wchar_t* text = nullptr) : text_(text ? SysAllocString(text) : nullptr) {}
    ~BstrHolder() { SysFreeString(text_); }
    BstrHolder(const BstrHolder&) = delete;
    BstrHolder& operator=(const BstrHolder&) = delete;

    BSTR Get() const { return text_; }
    UINT Length() const { return text_ ? SysStringLen(text_) : 0; }
    BSTR* Receive() {
        SysFreeString(text_);
        text_ = nullptr;
        return &text_;
    }

private:
    BSTR text_;
};

// A thread that already lives in another kind of apartment keeps it: COM
// then works as that apartment allows, and nothing is left here.
class ComApartment {
public:
    ComApartment() : entered_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (entered_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool entered_;
};
