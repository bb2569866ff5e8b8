#include "GroupButton.h"

#include <cwchar>

#include "ControlCommon.h"
#include "ControlMessages.h"
#include "GdiHolders.h"

const wchar_t kGroupButtonClass[] = L"DMGrpBtn_Cls";
const wchar_t kGroupButtonProperty[] = L"DMGrpBtn_ThisObj";

namespace {

const COLORREF kLightEdge = 0xD1D1A5;
const COLORREF kBlack = 0x000000;
const COLORREF kWhite = 0xFFFFFF;
const COLORREF kDisabledText = 0x4F4F3B;
const int kCaptionBuffer = 50;

}  // namespace

int GroupButton::Create(int id, const wchar_t* caption, int x, int y, int width, int height, HWND parent, WORD normalId,
                        WORD hotId, WORD disabledId) {
    if (!CreateButtonWindow(kGroupButtonClass, kGroupButtonProperty, id, caption, x, y, width, height, parent))
        return 0;
    normalBitmap.Reset(LoadProgramBitmap(normalId));
    hotBitmap.Reset(LoadProgramBitmap(hotId));
    disabledBitmap.Reset(LoadProgramBitmap(disabledId));
    SetPropW(window, kGroupButtonProperty, this);
    return 1;
}

void GroupButton::JoinGroup(ButtonGroup* newGroup) {
    if (!newGroup || newGroup == group) return;
    group = newGroup;
    group->Add(this);
}

void GroupButton::SetSelected(int select) {
    select = select ? 1 : 0;
    if (select == selected) return;
    selected = select;
    if (!selected) {
        hover = 0;
        RepaintClient(window);
    }
}

LRESULT GroupButton::OnLButtonUp(WPARAM, LPARAM) {
    if (group) group->Select(this);
    NotifyParent(window, UM_GROUP_CLICKED, reinterpret_cast<LPARAM>(this));
    RepaintClient(window);
    return 0;
}

LRESULT GroupButton::OnPaint() {
    PaintScope paint(window);
    HDC dc = paint.Dc();
    RECT rc;
    GetClientRect(window, &rc);
    const int w = rc.right;
    const int h = rc.bottom;
    const bool enabled = IsWindowEnabled(window) != FALSE;

    HBITMAP face = disabledBitmap.Get();
    if (enabled) face = (selected || hover) ? hotBitmap.Get() : normalBitmap.Get();
    const int d = selected ? 0 : 1;
    DrawBitmap(dc, face, d, d, w, h);
    DrawFrame(dc, w, h, selected != 0, enabled);

    wchar_t caption[kCaptionBuffer] = L"";
    GetWindowTextW(window, caption, kCaptionBuffer);
    SetBkMode(dc, TRANSPARENT);
    ScopedSelect selectFont(dc, font);
    SetTextColor(dc, enabled ? kWhite : kDisabledText);
    RECT layout = rc;
    if (selected) OffsetRect(&layout, 0, 1);
    if (std::wcschr(caption, L'\n')) {
        InflateRect(&layout, 0, 1);
        DrawTextW(dc, caption, -1, &layout, DT_CENTER);
    } else {
        DrawTextW(dc, caption, -1, &layout, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
    return 0;
}

LRESULT CALLBACK GroupButton::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // The group button takes no part in focus handling, so it never takes
    // the keyboard focus by itself.
    switch (msg) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_LBUTTONDOWN:
        case WM_TIMER:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    return Dispatch(hwnd, msg, wParam, lParam, kGroupButtonProperty, false);
}

void ButtonGroup::Add(GroupButton* button) {
    // The slots are fixed; a 21st member would write past them.
    if (!button || count >= kCapacity) return;
    members[count++] = button;
}

void ButtonGroup::Select(GroupButton* button) {
    if (button == selectedMember) return;
    for (int i = 0; i < count; i++) {
        GroupButton* member = members[i];
        if (member == button) {
            member->SetSelected(1);
            RepaintClient(member->window);
        } else if (member == selectedMember) {
            member->SetSelected(0);
            RepaintClient(member->window);
        }
    }
    selectedMember = button;
}
