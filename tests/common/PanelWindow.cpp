#include "PanelWindow.h"

#include <stdlib.h>

namespace {

struct IdSearch {
    int id;
    std::vector<HWND>* found;
};

BOOL CALLBACK MatchId(HWND child, LPARAM param) {
    IdSearch* s = reinterpret_cast<IdSearch*>(param);
    if (GetDlgCtrlID(child) == s->id) s->found->push_back(child);
    return TRUE;
}

}  // namespace

std::vector<HWND> ControlsWithId(HWND main, int id) {
    std::vector<HWND> found;
    IdSearch s = {id, &found};
    EnumChildWindows(main, MatchId, reinterpret_cast<LPARAM>(&s));
    return found;
}

RECT PlaceInClient(HWND main, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(NULL, main, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring DisplayText(HWND display) {
    wchar_t text[64] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(display, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 3000,
                             &copied)) {
        return L"<no answer>";
    }
    return text;
}

std::wstring WaitForDisplayText(HWND display, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        std::wstring text = DisplayText(display);
        if (!text.empty()) return text;
        if (GetTickCount() - start > timeoutMs) return L"";
        Sleep(50);
    }
}

ScreenPicture::ScreenPicture(HWND main) {
    RECT client;
    GetClientRect(main, &client);
    POINT origin = {0, 0};
    ClientToScreen(main, &origin);
    width = client.right;
    height = client.bottom;
    pixels_.assign((size_t)width * height, 0);
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    memcpy(pixels_.data(), bits, pixels_.size() * 4);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
}

COLORREF ScreenPicture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    DWORD p = pixels_[(size_t)y * width + x];  // 0x00RRGGBB
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int ScreenPicture::Count(const RECT& area, COLORREF colour, int tolerance) const {
    int n = 0;
    for (int y = area.top; y < area.bottom; y++) {
        for (int x = area.left; x < area.right; x++) {
            COLORREF c = At(x, y);
            if (abs(GetRValue(c) - GetRValue(colour)) <= tolerance &&
                abs(GetGValue(c) - GetGValue(colour)) <= tolerance &&
                abs(GetBValue(c) - GetBValue(colour)) <= tolerance) {
                n++;
            }
        }
    }
    return n;
}

std::vector<COLORREF> ScreenPicture::Pixels(const RECT& area) const {
    std::vector<COLORREF> pixels;
    for (int y = area.top; y < area.bottom; y++)
        for (int x = area.left; x < area.right; x++)
            pixels.push_back(At(x, y));
    return pixels;
}

void PointerTo(HWND main, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(main, &p);
    PointerToScreen(p.x, p.y);
}

void PointerToScreen(int x, int y) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = (x * 65536 + width - 1) / width;
    input.mi.dy = (y * 65536 + height - 1) / height;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    // On a busy machine Wine can still be handling an earlier pointer
    // position (the previous program's last one included) when the move is
    // sent: a button pressed then lands where the pointer was. So the move
    // is sent again until the cursor reports the target.
    const int wantX = x < 0 ? 0 : x >= width ? width - 1 : x;
    const int wantY = y < 0 ? 0 : y >= height ? height - 1 : y;
    for (int attempt = 0; attempt < 5; attempt++) {
        SendInput(1, &input, sizeof(input));
        for (DWORD start = GetTickCount(); GetTickCount() - start < 300; Sleep(20)) {
            POINT at;
            if (GetCursorPos(&at) && at.x == wantX && at.y == wantY) {
                Sleep(40);
                return;
            }
        }
    }
}

void LeftButton(bool down) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof(input));
    Sleep(60);
}

void ClickAt(HWND main, int x, int y) {
    PointerTo(main, x, y);
    POINT want = {x, y}, at;
    ClientToScreen(main, &want);
    if (GetCursorPos(&at) && (at.x != want.x || at.y != want.y)) PointerTo(main, x, y);
    LeftButton(true);
    LeftButton(false);
}

void ClickControl(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    PointerToScreen((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    LeftButton(true);
    LeftButton(false);
    Sleep(100);
}

bool Ticked(HWND dialog, int id) {
    return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
