#include "Slider.h"

#include <windowsx.h>

#include "ControlCommon.h"
#include "ControlMessages.h"
#include "GdiHolders.h"
#include "SliderPictures.h"

const wchar_t kSliderHandleClass[] = L"DMSliderHandle";
const wchar_t kSliderHandleProperty[] = L"DMSliderHandle_ThisObj";
const wchar_t kSliderTrackProperty[] = L"DMTherm_ThisObj";

namespace {

WNDPROC gStaticClassProc = nullptr;

RECT ClientRectOf(HWND window) {
    RECT rc = {};
    GetClientRect(window, &rc);
    return rc;
}

}  // namespace

bool CaptureStaticClassProc(HINSTANCE) {
    WNDCLASSW wc = {};
    if (!GetClassInfoW(nullptr, L"static", &wc) || !wc.lpfnWndProc) return false;
    gStaticClassProc = wc.lpfnWndProc;
    return true;
}

// ---- track ----

SliderTrack::~SliderTrack() {
    if (trackWindow) {
        RemovePropW(trackWindow, kSliderTrackProperty);
        DestroyWindow(trackWindow);
    }
}

int SliderTrack::CreateTrack(int id, int x, int y, int width, HWND parent) {
    trackBitmap.Reset(LoadProgramBitmap(kSliderTrackBitmap));
    trackWindow = CreateWindowExW(0, L"static", nullptr, WS_CHILD | WS_VISIBLE, x, y, width, kTrackHeight, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ProgramModule(), nullptr);
    if (!trackWindow || !trackBitmap) return 0;
    SetPropW(trackWindow, kSliderTrackProperty, this);
    WNDPROC previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(trackWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SliderTrack::WindowProc)));
    // Start-up normally captured it already; this keeps a track usable when
    // it did not.
    if (!gStaticClassProc) gStaticClassProc = previous;
    SetWindowPos(trackWindow, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    return 1;
}

void SliderTrack::Paint() {
    {
        PaintScope paint(trackWindow);
        RECT rc = ClientRectOf(trackWindow);
        // The track picture's first three columns are its rounded end cap,
        // which the track does not show.
        DrawBitmap(paint.Dc(), trackBitmap.Get(), 0, 0, rc.right, rc.bottom, 3, 0);
    }
    // The handle sits on the track: draw it again over the fresh track.
    if (owner) RepaintClient(owner->handle.window);
}

LRESULT CALLBACK SliderTrack::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    SliderTrack* track = ObjectFromWindow<SliderTrack>(hwnd, kSliderTrackProperty);
    switch (msg) {
        case WM_PAINT:
            if (!track) break;
            track->Paint();
            return 0;
        case WM_DESTROY:
            RemovePropW(hwnd, kSliderTrackProperty);
            if (track) track->trackWindow = nullptr;
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    return CallWindowProcW(gStaticClassProc, hwnd, msg, wParam, lParam);
}

// ---- handle ----

SliderHandle::~SliderHandle() {
    if (window) {
        RemovePropW(window, kSliderHandleProperty);
        DestroyWindow(window);
    }
}

int SliderHandle::Create(int id, int x, int y, int trackHeight, HWND parent, WORD normalId, WORD hotId,
                         WORD disabledId) {
    BitmapHolder normal(LoadProgramBitmap(normalId));
    BitmapHolder hot(LoadProgramBitmap(hotId));
    BitmapHolder disabled(LoadProgramBitmap(disabledId));
    int bw = 0;
    int bh = 0;
    if (!GetBitmapSize(normal.Get(), &bw, &bh)) return 0;
    normalBitmap.Reset(normal.Release());
    hotBitmap.Reset(hot.Release());
    disabledBitmap.Reset(disabled.Release());
    window =
        CreateWindowExW(0, kSliderHandleClass, nullptr, WS_CHILD | WS_VISIBLE, x - bw / 2, y - (bh - trackHeight) / 2,
                        bw, bh, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ProgramModule(), nullptr);
    if (!window) return 0;
    SetPropW(window, kSliderHandleProperty, this);
    RegionHolder rounded(CreateRoundRectRgn(0, 0, bw, bh, 6, 6));
    if (SetWindowRgn(window, rounded.Get(), TRUE)) rounded.Release();
    return 1;
}

void SliderHandle::NotifyTrackParent(UINT message) {
    SendMessageW(GetParent(slider->trackWindow), message, 0, reinterpret_cast<LPARAM>(this));
}

void SliderHandle::Paint() {
    PaintScope paint(window);
    RECT rc;
    GetWindowRect(window, &rc);
    HBITMAP face = disabledBitmap.Get();
    if (IsWindowEnabled(window))
        face = (hover || pressed || GetFocus() == window) ? hotBitmap.Get() : normalBitmap.Get();
    DrawBitmap(paint.Dc(), face, 0, 0, rc.right - rc.left, rc.bottom - rc.top);
}

void SliderHandle::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    const int wasHover = hover;
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(window, &pt);
    hover = WindowFromPoint(pt) == window ? 1 : 0;
    ScreenToClient(window, &pt);
    if (hover) {
        if (GetCapture() != window) SetCapture(window);
    } else if (!(wParam & MK_LBUTTON) && GetCapture() == window) {
        ReleaseCapture();
    }
    // A drag belongs to a press of this handle: one that ended when the
    // capture went does not start again under a held button.
    if ((wParam & MK_LBUTTON) && pressed) {
        const RECT handleRect = GetRectInParent(window);
        const RECT trackRect = GetRectInParent(slider->trackWindow);
        const int width = handleRect.right - handleRect.left;
        DragResult drag = DragHandle(slider->scale, handleRect.left, width, pt.x, trackRect.left, trackRect.right);
        slider->MoveHandleTo(drag.handleLeft);
        slider->value = PositionToValue(slider->scale, drag.position);
        slider->UpdatePicture(drag.position, 0);
        NotifyTrackParent(UM_SLIDER_DRAGGED);
    }
    if (hover != wasHover) RepaintClient(window);
}

void SliderHandle::OnLButtonDown() {
    pressed = 1;
    pressLeft = GetRectInParent(window).left;
    SetFocus(window);
}

void SliderHandle::OnLButtonUp() {
    pressed = 0;
    const RECT handleRect = GetRectInParent(window);
    const RECT trackRect = GetRectInParent(slider->trackWindow);
    DragResult snap = SnapHandle(slider->scale, handleRect.left, pressLeft, handleRect.right - handleRect.left,
                                 trackRect.left, trackRect.right);
    slider->MoveHandleTo(snap.handleLeft);
    slider->value = PositionToValue(slider->scale, snap.position);
    slider->UpdatePicture(snap.position, 0);
    NotifyTrackParent(UM_SLIDER_RELEASED);
    RepaintClient(window);
}

void SliderHandle::OnKeyDown(WPARAM key) {
    // Step buttons send their keys here too: a disabled slider keeps still.
    if (!IsWindowEnabled(window)) return;
    std::int64_t target;
    if (key == VK_LEFT) {
        if (slider->value == slider->scale.minimum) return;
        target = slider->value - slider->scale.step;
    } else if (key == VK_RIGHT) {
        if (slider->value == slider->scale.maximum) return;
        target = slider->value + slider->scale.step;
    } else {
        return;
    }
    slider->SetValue(target, 0);
    keyStepping = 1;
    NotifyTrackParent(UM_SLIDER_STEPPED);
}

void SliderHandle::EndInterruptedInput() {
    if (pressed) {
        OnLButtonUp();
    } else if (keyStepping) {
        keyStepping = 0;
        NotifyTrackParent(UM_SLIDER_KEY_UP);
    }
}

LRESULT CALLBACK SliderHandle::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    SliderHandle* handle = ObjectFromWindow<SliderHandle>(hwnd, kSliderHandleProperty);
    if (!handle) {
        switch (msg) {
            case WM_KEYDOWN:
            case WM_KEYUP:
            case WM_MOUSEMOVE:
            case WM_LBUTTONDOWN:
            case WM_LBUTTONUP:
                return 0;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    switch (msg) {
        case WM_PAINT:
            handle->Paint();
            return 0;
        case WM_SETFOCUS:
            SendMessageW(GetParent(hwnd), UM_SLIDER_FOCUSED, 0, reinterpret_cast<LPARAM>(hwnd));
            RepaintClient(hwnd);
            return 0;
        case WM_KILLFOCUS:
            handle->EndInterruptedInput();
            handle->hover = 0;
            RepaintClient(hwnd);
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd && handle->pressed) handle->EndInterruptedInput();
            return 0;
        case WM_KEYDOWN:
            handle->OnKeyDown(wParam);
            return 0;
        case WM_KEYUP:
            if (wParam == VK_LEFT || wParam == VK_RIGHT) {
                handle->keyStepping = 0;
                handle->NotifyTrackParent(UM_SLIDER_KEY_UP);
            }
            return 0;
        case WM_MOUSEMOVE:
            handle->OnMouseMove(wParam, lParam);
            return 0;
        case WM_LBUTTONDOWN:
            handle->OnLButtonDown();
            return 0;
        case WM_LBUTTONUP:
            // Only a press of this handle is released: one that ended when
            // the capture went has been released already.
            if (handle->pressed) handle->OnLButtonUp();
            return 0;
        case WM_NCDESTROY:
            RemovePropW(hwnd, kSliderHandleProperty);
            handle->window = nullptr;
            break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// ---- slider ----

Slider::Slider() : handle(this) {
    owner = this;
}

Slider::~Slider() = default;

int Slider::Create(int trackId, int handleId, int popupId, int x, int y, int popupX, int popupY, int trackWidth,
                   HWND parent, WORD popupBitmapId, WORD handleNormalId, WORD handleHotId, WORD handleDisabledId) {
    if (popupBitmapId != 0 && !popup.Create(popupId, popupX, popupY, parent, popupBitmapId)) return 0;
    hasPopup = popupBitmapId != 0 ? 1 : 0;
    if (!CreateTrack(trackId, x, y, trackWidth, parent)) return 0;
    const RECT trackRect = GetRectInParent(trackWindow);
    if (!handle.Create(handleId, x, y, trackRect.bottom - trackRect.top, parent, handleNormalId, handleHotId,
                       handleDisabledId))
        return 0;
    Recompute();
    return 1;
}

void Slider::Recompute() {
    const RECT trackRect = GetRectInParent(trackWindow);
    RecomputeScale(&scale, trackRect.right - trackRect.left);
}

int Slider::SetRange(std::int64_t newMinimum, std::int64_t newMaximum) {
    scale.minimum = newMinimum;
    scale.maximum = newMaximum;
    Recompute();
    std::int64_t kept = value;
    if (kept > scale.maximum) kept = scale.maximum;
    if (kept < scale.minimum) kept = scale.minimum;
    if (kept != value || (scale.minimum == 0 && scale.maximum == 0)) {
        value = kept;
        if (handle.window) PlaceHandle(0);
    }
    return 1;
}

void Slider::PlaceHandle(int force) {
    const int position = ValueToPosition(scale, value);
    const RECT handleRect = GetRectInParent(handle.window);
    const RECT trackRect = GetRectInParent(trackWindow);
    MoveHandleTo(HandleLeftForPosition(scale, trackRect.left, position, handleRect.right - handleRect.left));
    UpdatePicture(position, force);
}

int Slider::SetStep(std::int64_t newStep) {
    // A step of 0 would divide by zero in every later geometry step.
    if (newStep >= scale.maximum - scale.minimum || newStep <= 0) return 0;
    scale.step = newStep;
    Recompute();
    return 1;
}

void Slider::MoveHandleTo(int left) {
    const RECT rc = GetRectInParent(handle.window);
    MoveWindow(handle.window, left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
}

void Slider::SetValue(std::int64_t newValue, int force) {
    if (newValue < scale.minimum || newValue > scale.maximum) return;
    if (newValue == value && !force) return;
    if (scale.minimum == 0 && scale.maximum == 0) return;
    value = newValue;
    PlaceHandle(force);
}

void Slider::UpdatePicture(int position, int force) {
    if (!hasPopup) return;
    const WORD* table = alternatePictures ? kAlternateSliderPictures : kSliderPictures;
    const int count = alternatePictures ? kAlternateSliderPictureCount : kSliderPictureCount;
    const int index = PictureIndex(scale, position, count);
    if (index != pictureIndex || force) {
        pictureIndex = index;
        popup.ChangeBitmap(table[index]);
    }
}

void Slider::Enable(int enable) {
    EnableWindow(handle.window, enable ? TRUE : FALSE);
    RepaintClient(handle.window);
}

void Slider::ShowMode(int mode) {
    const int showBar = mode == 1 ? SW_SHOW : SW_HIDE;
    const int showPopup = mode == 2 ? SW_HIDE : SW_SHOW;
    if (mode < 1 || mode > 3) return;
    ShowWindow(trackWindow, showBar);
    ShowWindow(handle.window, showBar);
    if (popup.Window()) ShowWindow(popup.Window(), showPopup);
}
