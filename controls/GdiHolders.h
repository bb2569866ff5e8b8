// Small owners for GDI objects and device contexts, so that every paint and
// every function that acquires one releases it on every path.
#pragma once

#include <windows.h>

// Deletes a pen, brush, bitmap or region when it goes out of scope.
template <typename T>
class GdiObject {
public:
    explicit GdiObject(T object = nullptr) : object_(object) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    T Get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // Hands the object to a new owner (for example SetWindowRgn, after which
    // the system owns the region).
    T Release() {
        T object = object_;
        object_ = nullptr;
        return object;
    }
    void Reset(T object = nullptr) {
        if (object_ && object_ != object) DeleteObject(object_);
        object_ = object;
    }

private:
    T object_;
};

using PenHolder = GdiObject<HPEN>;
using BrushHolder = GdiObject<HBRUSH>;
using RegionHolder = GdiObject<HRGN>;
using BitmapHolder = GdiObject<HBITMAP>;
using FontHolder = GdiObject<HFONT>;

// Selects an object into a DC and puts the previous one back, so the object
// can be deleted afterwards (a selected object cannot be).
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(nullptr) {
        if (dc_ && object) previous_ = SelectObject(dc_, object);
    }
    ~ScopedSelect() {
        if (previous_) SelectObject(dc_, previous_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A memory DC compatible with the screen.
class MemoryDC {
public:
    MemoryDC() : dc_(CreateCompatibleDC(nullptr)) {}
    ~MemoryDC() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// GetDC/ReleaseDC: a window's DC (the screen's for a null window) comes
// from a small cache the system shares, and one that is not given back is
// lost to every program until this one ends.
class WindowDCHolder {
public:
    explicit WindowDCHolder(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDCHolder() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDCHolder(const WindowDCHolder&) = delete;
    WindowDCHolder& operator=(const WindowDCHolder&) = delete;

    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint/EndPaint; always validates the window, even when the caller
// draws nothing.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window_, &ps_); }
    ~PaintScope() { EndPaint(window_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC Dc() const { return dc_; }
    const RECT& Rect() const { return ps_.rcPaint; }

private:
    HWND window_;
    HDC dc_;
    PAINTSTRUCT ps_;
};
