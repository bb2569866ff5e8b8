#include "RoundRadio.h"

#include "ControlCommon.h"
#include "ControlMessages.h"
#include "GdiHolders.h"

const wchar_t kRoundRadioClass[] = L"NonFrameRadioBtn_cls";
const wchar_t kRoundRadioProperty[] = L"DMCNonFrameRadioBtn_ThisObj";

RoundRadio::~RoundRadio() {
    if (window) {
        RemovePropW(window, kRoundRadioProperty);
        DestroyWindow(window);
    }
}

int RoundRadio::Create(int id, int x, int y, HWND parent) {
    const int d = static_cast<int>(radius * 2);
    window = CreateWindowExW(0, kRoundRadioClass, nullptr, WS_CHILD | WS_VISIBLE, x, y, d, d, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ProgramModule(), nullptr);
    if (!window) return 0;
    SetPropW(window, kRoundRadioProperty, this);
    if (!SetParent(window, parent)) return 0;
    RegionHolder dot(CreateEllipticRgn(0, 0, d, d));
    if (SetWindowRgn(window, dot.Get(), TRUE)) dot.Release();
    return 1;
}

void RoundRadio::JoinGroup(RadioGroup* newGroup) {
    group = newGroup;
    if (group) group->Add(this);
}

void RoundRadio::OnPress() {
    SetCapture(window);
    SetFocus(window);
    if (group) group->Select(this);
    NotifyParent(window, UM_RADIO_CLICKED, reinterpret_cast<LPARAM>(this));
}

void RoundRadio::Paint() {
    RECT update = {};
    GetUpdateRect(window, &update, FALSE);
    PaintScope paint(window);
    BrushHolder brush(CreateSolidBrush(selected ? selectedColour : unselectedColour));
    FillRect(paint.Dc(), &update, brush.Get());
}

LRESULT CALLBACK RoundRadio::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    RoundRadio* radio = ObjectFromWindow<RoundRadio>(hwnd, kRoundRadioProperty);
    if (!radio) {
        if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP) return 0;
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    switch (msg) {
        case WM_SETFOCUS:
            NotifyParent(hwnd, UM_RADIO_FOCUSED, reinterpret_cast<LPARAM>(hwnd));
            RepaintClient(hwnd);
            return 0;
        case WM_PAINT:
            radio->Paint();
            return 0;
        case WM_LBUTTONDOWN:
            radio->OnPress();
            return 0;
        case WM_LBUTTONUP:
            ReleaseCapture();
            return 0;
        case WM_NCDESTROY:
            RemovePropW(hwnd, kRoundRadioProperty);
            radio->window = nullptr;
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void RadioGroup::Add(RoundRadio* radio) {
    if (!radio || count >= kCapacity) return;
    members[count++] = radio;
}

void RadioGroup::Select(RoundRadio* radio) {
    if (radio == selectedMember) return;
    for (int i = 0; i < count; i++) {
        RoundRadio* member = members[i];
        if (member == radio) {
            member->selected = 1;
            RepaintClient(member->window);
        } else if (member == selectedMember) {
            member->selected = 0;
            RepaintClient(member->window);
        }
    }
    selectedMember = radio;
}

void RadioGroup::ShowAll(int show) {
    for (int i = 0; i < count; i++)
        ShowWindow(members[i]->window, show ? SW_SHOW : SW_HIDE);
}

void RadioGroup::EnableAll(int enable) {
    for (int i = 0; i < count; i++) {
        EnableWindow(members[i]->window, enable ? TRUE : FALSE);
        RepaintClient(members[i]->window);
    }
}

int RadioGroup::IsEnabled() const {
    return count > 0 && IsWindowEnabled(members[0]->window) ? 1 : 0;
}
