// The texts and the one frame the main window draws on its skin: captions
// of the displays and sections, the fan mode texts, the clock sliders' end
// and current values, the 2D/3D frame and "Link". Grey marks what the user
// cannot change right now.

#include "MainPanel.h"

#include "GdiHolders.h"
#include "LanguageState.h"
#include "MonitorText.h"
#include "PaintedTexts.h"

namespace {

const COLORREF kWhite = 0xFFFFFF;
const COLORREF kGrey = 9145207;

struct PaintText {
    HDC dc;
    const HFONT* fonts;  // the panel's, numbered from 1
    void At(int x, int y, const wchar_t* text) const { TextOutW(dc, x, y, text, lstrlenW(text)); }
    // A text of the table in its own font.
    void At(const PaintedText& t) const {
        ScopedSelect select(dc, t.font >= 1 && t.font <= kPanelFontCount ? fonts[t.font - 1] : nullptr);
        At(t.x, t.y, LangText(t.textId));
    }
    void In(COLORREF colour, const PaintedText& t) const {
        SetTextColor(dc, colour);
        At(t);
    }
    // A slider value in kHz as whole MHz.
    void Mhz(int x, int y, int64_t khz) const {
        wchar_t text[kReadingChars];
        FormatNumber(khz / 1000, nullptr, text);
        At(x, y, text);
    }
};

COLORREF Shade(bool enabled) {
    return enabled ? kWhite : kGrey;
}

}  // namespace

void MainPanel::PaintPanel(HDC dc) {
    PenHolder whitePen(CreatePen(PS_SOLID, 0, kWhite));
    PenHolder greyPen(CreatePen(PS_SOLID, 0, kGrey));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kWhite);
    const PaintText paint = {dc, services_.fonts};

    paint.At(painted::kFanSpeedLabel);
    paint.At(painted::kGpuClockLabel);
    paint.At(painted::kShaderClockLabel);
    paint.At(painted::kMemoryClockLabel);
    paint.At(painted::kTemperatureLabel);

    paint.In(Shade(autoBox.IsEnabled()), painted::kAuto);
    paint.In(Shade(manualBox.IsEnabled()), painted::kManual);
    if (manualBox.GetCheck()) {
        COLORREF shade = Shade(fanSlider.IsEnabled());
        paint.In(shade, painted::kMin);
        paint.In(shade, painted::kMax);
    } else if (autoBox.GetCheck()) {
        COLORREF shade = Shade(autoBox.IsEnabled());
        paint.In(shade, painted::kAutoHint1);
        paint.In(shade, painted::kAutoHint2);
    }
    SetTextColor(dc, kWhite);
    paint.At(painted::kFanSetting);
    paint.At(painted::kClockSetting);
    paint.At(painted::kGpu);
    paint.At(painted::kMemory);
    paint.At(painted::kShader);

    ScopedSelect font(dc, Font(2));
    struct Ends {
        const Slider* slider;
        int y;
    } ends[] = {{&gpuSlider, 181}, {&shaderSlider, 161}, {&memorySlider, 201}};
    for (const Ends& e : ends) {
        paint.Mhz(painted::kValueMinX, e.y, e.slider->GetMinimum());
        paint.Mhz(painted::kValueMaxX, e.y, e.slider->GetMaximum());
    }

    PerfCapabilities caps = Hardware().GetPerfCapabilities(CurrentCard());
    if (caps.has2DLevel && caps.has3DLevel) {
        bool enabled = levelGroup.IsEnabled() != 0;
        ScopedSelect pen(dc, enabled ? whitePen.Get() : greyPen.Get());
        const POINT frame[] = {{291, 137}, {337, 137}, {337, 150}, {291, 150}, {291, 137}};
        Polyline(dc, frame, 5);
        paint.In(Shade(enabled), painted::k2D);
        paint.In(Shade(enabled), painted::k3D);
    }
    // The current values keep the colour the frame's captions left.
    paint.Mhz(painted::kValueX, 181, gpuSlider.GetValue());
    paint.Mhz(painted::kValueX, 161, shaderSlider.GetValue());
    paint.Mhz(painted::kValueX, 201, memorySlider.GetValue());

    paint.In(Shade(Hardware().HasShaderClock(CurrentCard())), painted::kLink);
}
