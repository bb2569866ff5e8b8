#include "LinkLabel.h"

#include <shellapi.h>

#include <cstdlib>
#include <cstring>

#include "ControlCommon.h"
#include "GdiHolders.h"
#include "WebAddress.h"

namespace {

// The user's own browser; Internet Explorer only where the system knows no
// program for the address.
void StartBrowser(const char* address) {
    wchar_t wide[kMaxWebAddressLength + 1];
    if (!MultiByteToWideChar(CP_ACP, 0, address, -1, wide, kMaxWebAddressLength + 1)) return;
    const INT_PTR opened =
        reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", wide, nullptr, nullptr, SW_SHOWNORMAL));
    if (opened > 32) return;
    if (opened != SE_ERR_NOASSOC && opened != SE_ERR_ASSOCINCOMPLETE && opened != ERROR_FILE_NOT_FOUND) return;
    char argument[kMaxWebAddressLength + 3];
    if (QuoteWebAddressArgument(address, argument, sizeof(argument)))
        ShellExecuteA(nullptr, "open", "IEXPLORE.exe", argument, nullptr, SW_SHOWMAXIMIZED);
}

BrowserLauncher gBrowserLauncher = &StartBrowser;

}  // namespace

void LinkLabel::SetBrowserLauncher(BrowserLauncher launcher) {
    gBrowserLauncher = launcher ? launcher : &StartBrowser;
}

LinkLabel::LinkLabel() {
    textColour = 0xF50000;
    backgroundColour = 0xFFFFFF;
}

LinkLabel::~LinkLabel() {
    std::free(address);
}

void LinkLabel::SetAddress(const char* newAddress) {
    std::free(address);
    address = nullptr;
    if (!newAddress || !*newAddress) return;
    const size_t size = std::strlen(newAddress) + 1;
    address = static_cast<char*>(std::malloc(size));
    if (address) std::memcpy(address, newAddress, size);
}

LRESULT LinkLabel::OnPaint() {
    PaintScope paint(window);
    HDC dc = paint.Dc();
    RECT rc;
    GetClientRect(window, &rc);
    BrushHolder brush(CreateSolidBrush(backgroundColour));
    FillRect(dc, &rc, brush.Get());
    ScopedSelect selectFont(dc, font);
    SetTextColor(dc, hover ? hoverColour : textColour);
    SetBkMode(dc, TRANSPARENT);
    const int length = TextLength();
    // Text from outside (news titles) is drawn as it is: an "&" is no prefix.
    if (length > 0) DrawTextW(dc, text, length, &rc, DT_SINGLELINE | DT_NOPREFIX);
    return 0;
}

LRESULT LinkLabel::OnMouseMove(WPARAM, LPARAM lParam) {
    const int wasHover = hover;
    hover = IsPointerOverWindow(window, lParam) ? 1 : 0;
    // Released whatever buttons are held: a label is never dragged.
    if (hover) {
        if (GetCapture() != window) SetCapture(window);
    } else if (GetCapture() == window) {
        ReleaseCapture();
    }
    if (hover != wasHover) RepaintClient(window);
    return 0;
}

LRESULT LinkLabel::OnLButtonUp(WPARAM, LPARAM) {
    if (address && IsWellFormedWebAddress(address)) gBrowserLauncher(address);
    return 0;
}
