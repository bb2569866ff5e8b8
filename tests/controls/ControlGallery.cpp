// Puts every control in every state on one window and saves a picture of it:
// controls_gallery.exe [output.bmp]. Run under Xvfb by run-gallery.sh.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "BitmapButton.h"
#include "CheckBox.h"
#include "ControlTestHarness.h"
#include "GroupButton.h"
#include "LinkLabel.h"
#include "ProgressBar.h"
#include "RoundRadio.h"
#include "Slider.h"
#include "StaticText.h"
#include "TextButton.h"

namespace {

const int kWidth = 900;
const int kHeight = 620;

// A plain caption naming the state shown under it.
void Caption(HWND parent, const wchar_t* text, int x, int y, int width = 100) {
    HWND label = CreateWindowExW(0, L"static", text, WS_CHILD | WS_VISIBLE, x, y, width, 14, parent, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

bool SaveWindowPicture(HWND window, const char* path) {
    RECT rc;
    GetWindowRect(window, &rc);
    const int w = rc.right - rc.left;
    const int h = rc.bottom - rc.top;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    const DWORD stride = (w * 3 + 3) & ~3;
    const DWORD size = stride * h;
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(bi.bmiHeader);
    fh.bfSize = fh.bfOffBits + size;
    FILE* f = std::fopen(path, "wb");
    bool ok = f != nullptr;
    if (f) {
        ok = std::fwrite(&fh, sizeof(fh), 1, f) == 1 && std::fwrite(&bi.bmiHeader, sizeof(bi.bmiHeader), 1, f) == 1 &&
             std::fwrite(bits, size, 1, f) == 1;
        std::fclose(f);
    }
    DeleteObject(dib);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const char* output = argc > 1 ? argv[1] : "controls_gallery.bmp";
    RecordingParent parent(kWidth, kHeight);
    HWND p = parent.Window();
    MoveWindow(p, 0, 0, kWidth, kHeight, TRUE);
    HFONT bold = CreateFontW(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    HFONT normal = CreateFontW(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    HFONT small = CreateFontW(-10, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    HFONT digits = CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"DigifaceWide");

    // Text buttons: normal, hover, pressed, focused, disabled; step buttons.
    const wchar_t* states[] = {L"normal", L"hover", L"pressed", L"focused", L"disabled"};
    TextButton buttons[5];
    for (int i = 0; i < 5; i++) {
        buttons[i].Create(48 + i, L"Apply", 10 + i * 90, 25, 70, 18, p, 258, 267, 330);
        buttons[i].SetFont(normal);
        Caption(p, states[i], 10 + i * 90, 8);
    }
    buttons[1].hover = 1;
    buttons[2].hover = 1;
    buttons[2].pressed = 1;
    buttons[4].Enable(0);
    TextButton stepUp, stepDown;
    stepUp.Create(230, nullptr, 470, 28, 17, 11, p, 456, 458, 457);
    stepDown.Create(231, nullptr, 495, 28, 17, 11, p, 453, 455, 454);
    Caption(p, L"step buttons", 460, 8);

    // Bitmap buttons: normal and hot.
    BitmapButton minimise, close;
    minimise.Create(70, nullptr, 600, 25, 30, 30, p, 264, 270);
    close.Create(71, nullptr, 640, 25, 30, 30, p, 265, 269);
    close.hover = 1;
    Caption(p, L"bitmap normal / hot", 590, 8, 140);

    // Group buttons: normal, hover, selected, disabled, two lines.
    ButtonGroup group;
    GroupButton groups[5];
    const wchar_t* groupCaptions[] = {L"Master", L"Slave", L"About", L"Settings", L"Restore Def.\nHw Settings"};
    const wchar_t* groupStates[] = {L"normal", L"hover", L"selected", L"disabled", L"two lines"};
    for (int i = 0; i < 5; i++) {
        groups[i].Create(50 + i, groupCaptions[i], 10 + i * 90, 85, 62, 25, p, 333, 335, 333);
        groups[i].SetFont(i == 4 ? small : bold);
        groups[i].JoinGroup(&group);
        Caption(p, groupStates[i], 10 + i * 90, 68);
    }
    groups[1].hover = 1;
    group.Select(&groups[2]);
    groups[3].Enable(0);

    // Check boxes: unchecked, checked, hover, checked and hover, disabled,
    // disabled checked. Focus shows the hover face.
    const wchar_t* boxStates[] = {L"off", L"checked", L"hover", L"on + hover", L"disabled", L"disabled on"};
    CheckBox boxes[6];
    for (int i = 0; i < 6; i++) {
        boxes[i].Create(21 + i, 20 + i * 80, 150, 8, 8, p, 259, 272, 359);
        Caption(p, boxStates[i], 10 + i * 80, 132, 75);
    }
    boxes[1].SetCheck(1);
    boxes[2].hover = 1;
    boxes[3].SetCheck(1);
    boxes[4].Enable(0);
    boxes[5].SetCheck(1);
    boxes[5].Enable(0);

    // Radios: selected, unselected, disabled.
    RadioGroup radios;
    RoundRadio radio[3];
    for (int i = 0; i < 3; i++) {
        radio[i].Create(46 + i, 520 + i * 60, 150, p);
        radio[i].JoinGroup(&radios);
    }
    radios.Select(&radio[0]);
    radio[2].Enable(0);
    Caption(p, L"radio on / off / disabled", 500, 132, 200);

    // Sliders: popup at both ends and the middle, alternate table, disabled,
    // hovered handle, without popup.
    Slider gpu, shader, memory, fan, plain;
    gpu.Create(31, 40, 32, 30, 290, 20, 180, 185, p, 308, 250, 271, 358);
    gpu.SetPopupText(L"GPU Clock");
    gpu.SetPopupTextPos(43, 50);
    gpu.SetPopupFont(bold);
    gpu.SetValue(0, 1);
    shader.Create(90, 92, 91, 250, 290, 260, 200, 185, p, 427, 250, 271, 358);
    shader.SetAlternatePictures(1);
    shader.SetPopupText(L"GPU\nShader");
    shader.SetPopupTextPos(20, 15);
    shader.SetPopupFont(bold);
    shader.SetValue(100, 1);
    shader.Enable(0);
    memory.Create(33, 41, 34, 470, 290, 450, 180, 185, p, 308, 250, 271, 358);
    memory.SetPopupText(L"Memory Clock");
    memory.SetPopupTextPos(43, 50);
    memory.SetPopupFont(bold);
    memory.SetValue(50, 1);
    memory.Handle().hover = 1;
    fan.Create(35, 42, 36, 690, 290, 680, 180, 125, p, 308, 250, 271, 358);
    fan.SetPopupText(L"Fan Speed");
    fan.SetPopupTextPos(43, 50);
    fan.SetPopupFont(bold);
    fan.SetValue(100, 1);
    plain.Create(37, 43, 0, 30, 330, 0, 0, 100, p, 0, 250, 271, 358);
    plain.SetValue(30, 1);
    Caption(p, L"slider: minimum | alternate, maximum, disabled | middle, hover | maximum", 20, 305, 600);
    Caption(p, L"slider without popup", 150, 325, 150);

    // Progress bars, value displays, logo and link labels.
    ProgressBar bars[3];
    for (int i = 0; i < 3; i++) {
        bars[i].Create(71 + i, 20 + i * 100, 380, 80, 10, p);
        bars[i].SetValue(i * 50);
    }
    Caption(p, L"progress 0 / 50 / 100", 20, 362, 200);
    StaticText clock, temperature, logo;
    clock.Create(63, 340, 380, 68, 20, p);
    clock.SetFont(digits);
    clock.SetText(L"576 MHz");
    temperature.Create(65, 420, 380, 68, 20, p);
    temperature.SetFont(digits);
    temperature.SetTextColour(0x0000FF);
    temperature.SetText(L"93 C");
    logo.Create(1, 500, 370, 100, 36, p);
    logo.SetBitmap(353);
    Caption(p, L"value displays, logo", 340, 362, 150);
    LinkLabel links[2];
    for (int i = 0; i < 2; i++) {
        links[i].Create(i, 620, 380 + i * 18, 240, 16, p);
        links[i].SetFont(normal);
        links[i].SetText(i == 0 ? L"Driver news (normal)" : L"Driver news (hover)");
        links[i].SetAddress("http://example.com/news.html");
    }
    links[1].hover = 1;
    Caption(p, L"link labels", 620, 362);

    SetFocus(buttons[3].Window());
    PumpFor(300);
    // Hover and press looks set by hand would be repainted away by focus
    // changes; draw everything once more in its final state.
    buttons[1].hover = 1;
    buttons[2].hover = 1;
    buttons[2].pressed = 1;
    boxes[2].hover = 1;
    boxes[3].hover = 1;
    RedrawWindow(p, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(300);
    const bool saved = SaveWindowPicture(p, output);
    std::printf("%s %s\n", saved ? "saved" : "could not save", output);
    DeleteObject(bold);
    DeleteObject(normal);
    DeleteObject(digits);
    DeleteObject(small);
    return saved ? 0 : 1;
}
