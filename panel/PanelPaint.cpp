// The texts and the one frame the main window draws on its skin: captions
// of the displays and sections, the fan mode texts, the clock sliders' end
// and current values, the 2D/3D frame and "Link". Grey marks what the user
// cannot change right now.

#include "MainPanel.h"

#include "GdiHolders.h"
#include "LanguageState.h"
#include "MonitorText.h"
#include "PanelTexts.h"

namespace {

const COLORREF kWhite = 0xFFFFFF;
const COLORREF kGrey = 9145207;

struct PaintText {
    HDC dc;
    void At(int x, int y, const wchar_t* text) const { TextOutW(dc, x, y, text, lstrlenW(text)); }
    void At(int x, int y, int textId) const { At(x, y, LangText(textId)); }
    void In(COLORREF colour, int x, int y, int textId) const {
        SetTextColor(dc, colour);
        At(x, y, textId);
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
    PaintText paint = {dc};

    {
        ScopedSelect font(dc, Font(1));
        paint.At(363, 228, kTextFanSpeedLabel);
        paint.At(180, 228, kTextGpuClockLabel);
        paint.At(180, 253, kTextShaderClockLabel);
        paint.At(180, 278, kTextMemoryClockLabel);
        paint.At(363, 253, kTextGpuTemperatureLabel);
    }

    ScopedSelect font(dc, Font(2));
    paint.In(Shade(autoBox.IsEnabled()), 90, 136, kTextAuto);
    paint.In(Shade(manualBox.IsEnabled()), 140, 136, kTextManual);
    if (manualBox.GetCheck()) {
        COLORREF shade = Shade(fanSlider.IsEnabled());
        paint.In(shade, 92, 181, kTextMin);
        paint.In(shade, 193, 181, kTextMax);
    } else if (autoBox.GetCheck()) {
        COLORREF shade = Shade(autoBox.IsEnabled());
        paint.In(shade, 85, 157, kTextAutoHint1);
        paint.In(shade, 85, 167, kTextAutoHint2);
    }
    SetTextColor(dc, kWhite);
    paint.At(82, 122, kTextFanSpeedSetting);
    paint.At(239, 122, kTextOverClockSetting);
    paint.At(479, 169, kTextGpu);
    paint.At(479, 189, kTextMemory);
    paint.At(479, 149, kTextShader);

    struct Ends {
        const Slider* slider;
        int y;
    } ends[] = {{&gpuSlider, 181}, {&shaderSlider, 161}, {&memorySlider, 201}};
    for (const Ends& e : ends) {
        paint.Mhz(261, e.y, e.slider->GetMinimum());
        paint.Mhz(422, e.y, e.slider->GetMaximum());
    }

    PerfCapabilities caps = Hardware().GetPerfCapabilities(CurrentCard());
    if (caps.has2DLevel && caps.has3DLevel) {
        bool enabled = levelGroup.IsEnabled() != 0;
        ScopedSelect pen(dc, enabled ? whitePen.Get() : greyPen.Get());
        const POINT frame[] = {{291, 137}, {337, 137}, {337, 150}, {291, 150}, {291, 137}};
        Polyline(dc, frame, 5);
        paint.In(Shade(enabled), 300, 138, kText2D);
        paint.In(Shade(enabled), 322, 138, kText3D);
    }
    // The current values keep the colour the frame's captions left.
    paint.Mhz(343, 181, gpuSlider.GetValue());
    paint.Mhz(343, 161, shaderSlider.GetValue());
    paint.Mhz(343, 201, memorySlider.GetValue());

    paint.In(Shade(Hardware().HasShaderClock(CurrentCard())), 253, 137, kTextLink);
}
