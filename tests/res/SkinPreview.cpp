// Lays the real controls, with the skin's faces, on a window shaped from the
// skin at the panel's coordinates, paints the panel's own texts, and saves a
// screenshot of the screen around it. Fails when a control cannot be made
// from its faces or the screenshot cannot be taken.
//   skin_preview.exe OUT.bmp [seconds]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BitmapButton.h"
#include "BitmapShape.h"
#include "CheckBox.h"
#include "ControlClasses.h"
#include "GroupButton.h"
#include "RoundRadio.h"
#include "Slider.h"
#include "StaticText.h"
#include "TextButton.h"
#include "resource.h"

namespace {

HFONT gFonts[4];
BitmapShape gShape;
CheckBox gAuto, gManual, gLink;

struct PanelText {
    int x, y;
    const wchar_t* text;
    int font;  // 1 or 2
};

// What the panel paints itself in Auto fan mode, for a card with 2D and 3D
// levels and a shader clock.
const PanelText kTexts[] = {
    {363, 228, L"Fan Speed:", 1},
    {180, 228, L"GPU Clock:", 1},
    {180, 253, L"Shader Clock:", 1},
    {180, 278, L"Mem. Clock:", 1},
    {363, 253, L"GPU Temp.:", 1},
    {90, 136, L"Auto", 2},
    {140, 136, L"Manual", 2},
    {85, 157, L"Fan speed will be adjusted by", 2},
    {85, 167, L"the temperature automatically.", 2},
    {82, 122, L"Fan Speed Setting: ", 2},
    {239, 122, L"Over Clock Setting: (MHz)", 2},
    {479, 169, L"GPU", 2},
    {479, 189, L"Mem.", 2},
    {479, 149, L"Shader", 2},
    {261, 181, L"300", 2},
    {422, 181, L"700", 2},
    {343, 181, L"575", 2},
    {261, 161, L"700", 2},
    {422, 161, L"1600", 2},
    {343, 161, L"1350", 2},
    {261, 201, L"400", 2},
    {422, 201, L"1000", 2},
    {343, 201, L"900", 2},
    {300, 138, L"2D", 2},
    {322, 138, L"3D", 2},
    {253, 137, L"Link", 2},
};

void PaintPanel(HDC dc) {
    HPEN white = CreatePen(PS_SOLID, 0, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    for (const PanelText& t : kTexts) {
        HGDIOBJ old = SelectObject(dc, gFonts[t.font - 1]);
        TextOutW(dc, t.x, t.y, t.text, lstrlenW(t.text));
        SelectObject(dc, old);
    }
    HGDIOBJ oldPen = SelectObject(dc, white);
    POINT frame[] = {{291, 137}, {337, 137}, {337, 150}, {291, 150}, {291, 137}};
    Polyline(dc, frame, 5);
    SelectObject(dc, oldPen);
    DeleteObject(white);
}

LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, gShape.bitmap.Get());
        const RECT& r = ps.rcPaint;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, memory, r.left, r.top, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
        PaintPanel(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

INT_PTR CALLBACK PreviewDialogProc(HWND dialog, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_INITDIALOG) {
        // What the program sets at run time for the radio and check boxes.
        CheckRadioButton(dialog, IDC_SETTINGS_RUN, IDC_SETTINGS_DONT_RUN, IDC_SETTINGS_RUN_TRAY);
        CheckDlgButton(dialog, IDC_SETTINGS_SAVE_HW, BST_CHECKED);
        return TRUE;
    }
    return FALSE;
}

void Pump(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        Sleep(20);
    }
}

bool SaveScreen(const wchar_t* path, int x, int y, int w, int h) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (dib) {
        HGDIOBJ old = SelectObject(memory, dib);
        ok = BitBlt(memory, 0, 0, w, h, screen, x, y, SRCCOPY) != 0;
        SelectObject(memory, old);
        GdiFlush();
        DWORD stride = (w * 3 + 3) & ~3u;
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
        file.bfSize = file.bfOffBits + stride * h;
        FILE* f = _wfopen(path, L"wb");
        if (f) {
            fwrite(&file, sizeof(file), 1, f);
            fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, f);
            fwrite(bits, stride * h, 1, f);
            ok = ok && fclose(f) == 0;
        } else {
            ok = false;
        }
        DeleteObject(dib);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

HFONT MakeFont(const wchar_t* face, LONG height, LONG weight) {
    LOGFONTW lf = {};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectW(&lf);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: skin_preview OUT.bmp [seconds]\n");
        return 2;
    }
    DWORD seconds = argc > 2 ? static_cast<DWORD>(_wtoi(argv[2])) : 3;
    HINSTANCE self = GetModuleHandleW(nullptr);
    // The fonts sit in the bin folder, which is the working directory.
    AddFontResourceW(L"Arial.ttf");
    AddFontResourceW(L"digifaw.ttf");
    gFonts[0] = MakeFont(L"Arial", 14, FW_BOLD);
    gFonts[1] = MakeFont(L"Arial", 14, 0);
    gFonts[2] = MakeFont(L"DigifaceWide", 16, 0);
    gFonts[3] = MakeFont(L"Arial", 10, FW_BOLD);

    if (!RegisterRoundRadioClass(self) || !RegisterCheckBoxClass(self) || !RegisterSliderHandleClass(self) ||
        !RegisterTextButtonClass(self) || !RegisterBitmapButtonClass(self) || !RegisterStaticTextClass(self) ||
        !RegisterGroupButtonClass(self) || !CaptureStaticClassProc(self)) {
        std::fprintf(stderr, "class registration failed\n");
        return 1;
    }
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = PanelProc;
    wc.hInstance = self;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.lpszClassName = L"SkinPreview_Cls";
    RegisterClassExW(&wc);
    // A desktop-coloured backdrop, so the screenshot shows the cut edges.
    HWND backdrop =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 900, 600, nullptr, nullptr, self, nullptr);
    HWND panel = CreateWindowExW(0, L"SkinPreview_Cls", L"Vexa Panel", WS_POPUP, 40, 40, 552, 330, nullptr, nullptr,
                                 self, nullptr);
    gShape.window = panel;
    if (!backdrop || !panel || gShape.ApplyBitmapShape(static_cast<WORD>(IDB_SKIN)) != 0) {
        std::fprintf(stderr, "the skin window could not be made\n");
        return 1;
    }
    ShowWindow(panel, SW_SHOW);

    int failures = 0;
    auto need = [&](int ok, const char* what) {
        if (!ok) {
            std::fprintf(stderr, "could not create %s\n", what);
            ++failures;
        }
    };
    need(gAuto.Create(21, 80, 138, 8, 8, panel, IDB_CHECK, IDB_CHECK_HOT, IDB_CHECK_DISABLED), "Auto");
    need(gManual.Create(23, 130, 138, 8, 8, panel, IDB_CHECK, IDB_CHECK_HOT, IDB_CHECK_DISABLED), "Manual");
    need(gLink.Create(100, 235, 140, 8, 8, panel, IDB_CHECK, IDB_CHECK_HOT, IDB_CHECK_DISABLED), "Link");
    gAuto.SetCheck(1);
    gLink.SetCheck(1);

    struct SliderRow {
        int track, handle, popup, x, y, px, py, width;
        WORD picture;
        int tx, ty;
        const wchar_t* caption;
        int minimum, maximum, value;
    };
    const SliderRow rows[] = {
        {31, 40, 32, 261, 175, 230, 53, 185, 308, 43, 50, L"GPU Clock", 300, 700, 575},
        {90, 92, 91, 261, 155, 255, 78, 185, 427, 20, 15, L"GPU\nShader", 700, 1600, 1350},
        {33, 41, 34, 261, 195, 380, 53, 185, 308, 43, 50, L"Memory Clock", 400, 1000, 900},
        {35, 42, 36, 90, 175, 84, 53, 125, 308, 43, 50, L"Fan Speed", 10, 100, 40},
    };
    static Slider sliders[4];
    for (int i = 0; i < 4; ++i) {
        const SliderRow& r = rows[i];
        if (i == 1) sliders[i].SetAlternatePictures(1);
        need(sliders[i].Create(r.track, r.handle, r.popup, r.x, r.y, r.px, r.py, r.width, panel, r.picture, IDB_HANDLE,
                               IDB_HANDLE_HOT, IDB_HANDLE_DISABLED),
             "a slider");
        sliders[i].SetRange(r.minimum, r.maximum);
        sliders[i].SetValue(r.value, 1);
        sliders[i].SetPopupText(r.caption);
        sliders[i].SetPopupTextPos(r.tx, r.ty);
        sliders[i].SetPopupFont(gFonts[0]);
    }
    sliders[3].ShowMode(3);  // the fan slider in Auto mode

    static TextButton steps[6], test, apply;
    const int stepX[] = {457, 233, 457, 233, 457, 233};
    const int stepY[] = {172, 172, 152, 152, 192, 192};
    for (int i = 0; i < 6; ++i) {
        bool up = i % 2 == 0;
        need(steps[i].Create(230 + i, nullptr, stepX[i], stepY[i], 17, 11, panel, up ? IDB_STEP_UP : IDB_STEP_DOWN,
                             up ? IDB_STEP_UP_HOT : IDB_STEP_DOWN_HOT,
                             up ? IDB_STEP_UP_DISABLED : IDB_STEP_DOWN_DISABLED),
             "a step button");
    }
    need(test.Create(48, L"Test", 408, 125, 35, 14, panel, IDB_BUTTON, IDB_BUTTON_HOT, IDB_BUTTON_DISABLED), "Test");
    need(apply.Create(49, L"Apply", 446, 125, 35, 14, panel, IDB_BUTTON, IDB_BUTTON_HOT, IDB_BUTTON_DISABLED), "Apply");
    test.SetFont(gFonts[1]);
    apply.SetFont(gFonts[1]);
    apply.Enable(0);

    struct GroupRow {
        int id, x, y, w;
        const wchar_t* caption;
        int font;
    };
    const GroupRow groups[] = {
        {50, 192, 304, 43, L"Master", 1},
        {51, 235, 304, 45, L"Slave", 1},
        {54, 279, 303, 45, L"Vexa\nBIOS", 1},
        {220, 324, 303, 47, L"Settings", 1},
        {55, 371, 303, 62, L"Restore Def.\nHw Settings", 2},
        {53, 433, 303, 42, L"About", 1},
    };
    static GroupButton groupButtons[6];
    static ButtonGroup cardGroup, alone[4];
    for (int i = 0; i < 6; ++i) {
        const GroupRow& g = groups[i];
        need(groupButtons[i].Create(g.id, g.caption, g.x, g.y, g.w, 25, panel, IDB_GROUP, IDB_GROUP_HOT, IDB_GROUP),
             "a group button");
        groupButtons[i].SetFont(gFonts[g.font - 1]);
        groupButtons[i].JoinGroup(i < 2 ? &cardGroup : &alone[i - 2]);
    }
    cardGroup.Select(&groupButtons[0]);

    static StaticText displays[5], logo;
    const POINT at[] = {{270, 225}, {270, 250}, {270, 275}, {439, 225}, {439, 250}};
    const wchar_t* values[] = {L"575", L"1350", L"900", L"2400", L"93"};
    for (int i = 0; i < 5; ++i) {
        need(displays[i].Create(63 + i, at[i].x, at[i].y, 68, 20, panel), "a display");
        displays[i].SetFont(gFonts[2]);
        if (i == 4) displays[i].SetTextColour(RGB(255, 0, 0));
        displays[i].SetText(values[i]);
    }
    need(logo.Create(1, 55, 230, 123, 44, panel), "the logo");
    logo.SetBitmap(IDB_LOGO);

    static BitmapButton minimise, closeButton;
    need(minimise.Create(68, nullptr, 435, 18, 30, 30, panel, IDB_MINIMISE, IDB_MINIMISE_HOT), "minimise");
    need(closeButton.Create(69, nullptr, 450, 22, 30, 30, panel, IDB_CLOSE, IDB_CLOSE_HOT), "close");

    static RoundRadio radio2d, radio3d;
    static RadioGroup levels;
    need(radio2d.Create(46, 294, 140, panel), "2D");
    need(radio3d.Create(47, 315, 140, panel), "3D");
    radio2d.JoinGroup(&levels);
    radio3d.JoinGroup(&levels);
    levels.Select(&radio2d);

    // The three dialog templates, side by side below the panel.
    HWND dialogs[3] = {};
    const int dialogIds[3] = {IDD_ABOUT, IDD_SETTINGS, IDD_FLASH_BIOS};
    int dialogX = 10;
    for (int i = 0; i < 3; ++i) {
        dialogs[i] = CreateDialogParamW(self, MAKEINTRESOURCEW(dialogIds[i]), nullptr, PreviewDialogProc, 0);
        need(dialogs[i] != nullptr, "a dialog");
        if (!dialogs[i]) continue;
        RECT r;
        GetWindowRect(dialogs[i], &r);
        SetWindowPos(dialogs[i], HWND_TOP, dialogX, 420, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
        dialogX += r.right - r.left + 10;
    }

    RedrawWindow(panel, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(seconds * 1000);
    bool saved = SaveScreen(argv[1], 0, 0, 900, 600);
    for (HWND d : dialogs)
        if (d) DestroyWindow(d);
    if (!saved) std::fprintf(stderr, "the screenshot could not be saved\n");
    DestroyWindow(panel);
    DestroyWindow(backdrop);
    for (HFONT f : gFonts)
        DeleteObject(f);
    RemoveFontResourceW(L"Arial.ttf");
    RemoveFontResourceW(L"digifaw.ttf");
    return failures == 0 && saved ? 0 : 1;
}
