// What every skinned control shares: class registration, finding the object
// behind a window, hover tracking, repainting and reporting to the parent.
#pragma once

#include <windows.h>

// The module whose resources hold the skin: the program itself.
HINSTANCE ProgramModule();

// Loads a bitmap resource of the program by its 16-bit id; null when absent.
HBITMAP LoadProgramBitmap(WORD resourceId);

// Registers one control class the way all of them are registered.
bool RegisterControlClass(HINSTANCE instance, const wchar_t* className, WNDPROC proc);

// Invalidates the whole client area without erasing: every paint copies a
// whole bitmap, so erasing would only flicker.
void RepaintClient(HWND window);

// Sends a private notification to the window's parent.
LRESULT NotifyParent(HWND window, UINT message, LPARAM lParam);

template <typename T>
T* ObjectFromWindow(HWND window, const wchar_t* property) {
    return static_cast<T*>(GetPropW(window, property));
}

// Whether the mouse message's point (client coordinates in lParam,
// sign-extended) lies over this very window and not a window above it.
bool IsPointerOverWindow(HWND window, LPARAM lParam);

// Copies a bitmap into a DC; nothing for a null bitmap.
void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height, int sourceX = 0, int sourceY = 0);

// Draws from the first point through the others (each segment without its
// end pixel, as LineTo) with a one-pixel solid pen of the given colour.
void DrawPolyline(HDC dc, COLORREF colour, const POINT* points, int count);

// Size of a bitmap; false for a null or invalid handle.
bool GetBitmapSize(HBITMAP bitmap, int* width, int* height);

// The window's rectangle in its parent's client coordinates.
RECT GetRectInParent(HWND window);
