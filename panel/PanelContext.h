#pragma once
// What the panel's sections share: the main window, what start-up handed
// over and the card shown. Each section reaches the rest of the panel only
// through this and the few calls its constructor names.

#include <windows.h>

#include <atomic>
#include <stdint.h>

#include "CardSettings.h"
#include "HardwareObject.h"
#include "PanelFonts.h"
#include "UserPrivilege.h"

// What start-up hands the panel before its window exists. Everything here
// outlives the panel's threads (start-up stops them before teardown).
struct PanelServices {
    HardwareObject* hardware = nullptr;
    CardSettings* cards = nullptr;
    HFONT fonts[kPanelFontCount] = {};  // as PanelFonts.h numbers them, from 1
    UserPrivilege privilege = kPrivilegeGuest;
};

// A view of the panel's own members: it is made with the panel, before the
// window or the services exist, and reads them when asked.
class PanelContext {
public:
    PanelContext(const HWND& window, const PanelServices& services, const std::atomic<uint8_t>& shownCard)
        : window_(window), services_(services), shownCard_(shownCard) {}
    PanelContext(const PanelContext&) = delete;
    PanelContext& operator=(const PanelContext&) = delete;

    HWND Window() const { return window_; }
    HardwareObject& Hardware() const { return *services_.hardware; }
    CardSettings& Cards() const { return *services_.cards; }
    // The panel's fonts, numbered from 1; null for any other number.
    HFONT Font(int number) const {
        return (number >= 1 && number <= kPanelFontCount) ? services_.fonts[number - 1] : nullptr;
    }
    const HFONT* Fonts() const { return services_.fonts; }
    // The card the panel shows; the monitor thread reads it once a cycle.
    uint8_t CurrentCard() const { return shownCard_.load(); }
    // Only an administrator tunes the card; others watch.
    bool IsAdministrator() const { return services_.privilege == kPrivilegeAdministrator; }

private:
    const HWND& window_;
    const PanelServices& services_;
    const std::atomic<uint8_t>& shownCard_;
};
