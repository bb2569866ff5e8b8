// A static text that holds a web address, turns to its hover colour while
// the pointer is over it and opens the address in the browser when clicked.
// Only well-formed http:// and https:// addresses are opened, in the user's
// default browser; anything else makes the click do nothing.
#pragma once

#include "StaticText.h"

// Opens a checked web address in the browser.
using BrowserLauncher = void (*)(const char* address);

class LinkLabel : public StaticText {
public:
    LinkLabel();
    ~LinkLabel() override;

    LRESULT OnPaint() override;
    LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam) override;

    // Keeps a copy; an empty or null address leaves none.
    void SetAddress(const char* newAddress);
    const char* GetAddress() const { return address; }
    void SetHoverColour(COLORREF colour) { hoverColour = colour; }

    // Replaces the browser start, for tests that must not start one; null
    // restores the real one.
    static void SetBrowserLauncher(BrowserLauncher launcher);

    int hover = 0;
    COLORREF hoverColour = 0x0000F5;
    char* address = nullptr;
};
