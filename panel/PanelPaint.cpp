// The texts and the one frame the main window draws on its skin: captions
// of the displays and sections, then each section's own texts (the fan
// mode texts; the clock sliders' end and current values, the 2D/3D frame
// and "Link").

#include "PanelPaint.h"

#include "GdiHolders.h"
#include "LanguageState.h"
#include "MainPanel.h"
#include "MonitorText.h"

void SkinText::At(int x, int y, const wchar_t* text) const {
    TextOutW(dc, x, y, text, lstrlenW(text));
}

void SkinText::At(const PaintedText& t) const {
    ScopedSelect select(dc, t.font >= 1 && t.font <= kPanelFontCount ? fonts[t.font - 1] : nullptr);
    At(t.x, t.y, LangText(t.textId));
}

void SkinText::In(COLORREF colour, const PaintedText& t) const {
    SetTextColor(dc, colour);
    At(t);
}

void SkinText::Mhz(int x, int y, int64_t khz) const {
    wchar_t text[kReadingChars];
    FormatNumber(khz / 1000, nullptr, text);
    At(x, y, text);
}

void MainPanel::PaintPanel(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kSkinWhite);
    const SkinText paint = {dc, services_.fonts};

    paint.At(painted::kFanSpeedLabel);
    paint.At(painted::kGpuClockLabel);
    paint.At(painted::kShaderClockLabel);
    paint.At(painted::kMemoryClockLabel);
    paint.At(painted::kTemperatureLabel);

    fan_.Paint(paint);
    SetTextColor(dc, kSkinWhite);
    paint.At(painted::kFanSetting);
    paint.At(painted::kClockSetting);
    paint.At(painted::kGpu);
    paint.At(painted::kMemory);
    paint.At(painted::kShader);

    overclock_.Paint(paint);
}
