// The panel's value setter: a thin track, a handle dragged along it or
// stepped with the arrow keys, and an optional picture popup whose picture
// follows the handle. Reports drags, releases and key steps to the parent.
#pragma once

#include <windows.h>

#include <cstdint>

#include "GdiHolders.h"
#include "ShapedPopup.h"
#include "SliderGeometry.h"

class Slider;

// The bar under the handle: a subclassed system "static" window.
class SliderTrack {
public:
    SliderTrack() = default;
    virtual ~SliderTrack();
    SliderTrack(const SliderTrack&) = delete;
    SliderTrack& operator=(const SliderTrack&) = delete;

    static constexpr int kTrackHeight = 5;

    int CreateTrack(int id, int x, int y, int width, HWND parent);
    HWND TrackWindow() const { return trackWindow; }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    BitmapHolder trackBitmap;
    HWND trackWindow = nullptr;
    Slider* owner = nullptr;

private:
    void Paint();
};

// The knob. Notifications carry a pointer to this object.
class SliderHandle {
public:
    explicit SliderHandle(Slider* owner) : slider(owner) {}
    ~SliderHandle();
    SliderHandle(const SliderHandle&) = delete;
    SliderHandle& operator=(const SliderHandle&) = delete;

    int Create(int id, int x, int y, int trackHeight, HWND parent, WORD normalId, WORD hotId, WORD disabledId);
    Slider* GetSlider() const { return slider; }
    HWND Window() const { return window; }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND window = nullptr;
    BitmapHolder normalBitmap;
    BitmapHolder hotBitmap;
    BitmapHolder disabledBitmap;
    Slider* slider = nullptr;
    int pressLeft = 0;
    int pressed = 0;
    int hover = 0;
    int keyStepping = 0;  // an arrow key stepped the value and is not yet up

private:
    void Paint();
    void OnMouseMove(WPARAM wParam, LPARAM lParam);
    void OnLButtonDown();
    void OnLButtonUp();
    void OnKeyDown(WPARAM key);
    // A drag or a held key that loses the capture or the focus gets no
    // button or key release: it ends as one would.
    void EndInterruptedInput();
    void NotifyTrackParent(UINT message);
};

class Slider : public SliderTrack {
public:
    Slider();
    ~Slider() override;

    // Returns 1, or 0 at the first window that cannot be made (the windows
    // already made stay). A popup bitmap id of 0 means no popup.
    int Create(int trackId, int handleId, int popupId, int x, int y, int popupX, int popupY, int trackWidth,
               HWND parent, WORD popupBitmapId, WORD handleNormalId, WORD handleHotId, WORD handleDisabledId);
    // Values are 64-bit so that any unsigned 32-bit clock in kHz, and any
    // int, is held and stepped exactly.
    // The value is brought inside the new range (a 0..0 range holds 0) and
    // the handle follows, so no value of an earlier range is kept.
    int SetRange(std::int64_t newMinimum, std::int64_t newMaximum);
    // Refuses (returns 0) a step that is not smaller than the range, or not
    // positive.
    int SetStep(std::int64_t newStep);
    // Moves the handle to a value inside the range; an unchanged value is
    // ignored unless forced.
    void SetValue(std::int64_t newValue, int force);
    std::int64_t GetValue() const { return value; }
    std::int64_t GetMinimum() const { return scale.minimum; }
    std::int64_t GetMaximum() const { return scale.maximum; }
    std::int64_t GetStep() const { return scale.step; }
    void Enable(int enable);
    int IsEnabled() const { return IsWindowEnabled(handle.window) ? 1 : 0; }
    // 1 shows track, handle and popup; 2 hides them all; 3 shows the popup only.
    void ShowMode(int mode);
    void SetPopupText(const wchar_t* text) { popup.SetCaptionText(text); }
    void SetPopupTextPos(int x, int y) { popup.SetCaptionPosition(x, y); }
    void SetPopupFont(HFONT font) { popup.SetCaptionFont(font); }
    void SetAlternatePictures(int on) { alternatePictures = on ? 1 : 0; }

    const SliderScale& Scale() const { return scale; }
    int PictureIndexShown() const { return pictureIndex; }
    SliderHandle& Handle() { return handle; }
    ShapedPopup& Popup() { return popup; }

    SliderHandle handle;
    ShapedPopup popup;
    int hasPopup = 0;
    std::int64_t value = 0;
    SliderScale scale;
    int pictureIndex = 0;
    int alternatePictures = 0;

private:
    friend class SliderHandle;
    void Recompute();
    void UpdatePicture(int position, int force);
    // Moves the handle and the picture to where the value stands.
    void PlaceHandle(int force);
    void MoveHandleTo(int left);
};

extern const wchar_t kSliderHandleClass[];
extern const wchar_t kSliderHandleProperty[];
extern const wchar_t kSliderTrackProperty[];

// The "static" class's own window procedure, which the track passes
// everything else to; taken once at start-up.
bool CaptureStaticClassProc(HINSTANCE instance);
