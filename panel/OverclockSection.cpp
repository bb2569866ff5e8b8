#include "OverclockSection.h"

#include <string.h>

#include "ClockLink.h"
#include "GdiHolders.h"
#include "LanguageState.h"
#include "PanelTexts.h"
#include "PlaceControl.h"

using namespace layout;

namespace {

const LPARAM kOneKeyPress = 1;

}  // namespace

void OverclockSection::CreateLinkBox() {
    CreateCheck(linkBox_, kLinkBox, context_.Window());
    linkBox_.SetToggleMode(1);
    linkBox_.Enable(context_.Hardware().HasShaderClock(0));
}

void OverclockSection::CreateSliders() {
    const HWND window = context_.Window();
    CreateSlider(gpuSlider_, kGpuSlider, window);
    shaderSlider_.SetAlternatePictures(1);
    CreateSlider(shaderSlider_, kShaderSlider, window);
    CreateSlider(memorySlider_, kMemorySlider, window);
}

void OverclockSection::SetSliderRanges() {
    const CardSettings& cards = context_.Cards();
    bool has2D = context_.Hardware().GetPerfCapabilities(0).has2DLevel != 0;
    gpuSlider_.SetRange(cards.Clock(0, has2D ? kGpu2DMin : kGpu3DMin), cards.Clock(0, has2D ? kGpu2DMax : kGpu3DMax));
    shaderSlider_.SetRange(cards.Clock(0, has2D ? kShader2DMin : kShader3DMin),
                           cards.Clock(0, has2D ? kShader2DMax : kShader3DMax));
    memorySlider_.SetRange(cards.Clock(0, kMemoryMin), cards.Clock(0, kMemoryMax));
    gpuSlider_.SetStep(kClockSliderStep);
    shaderSlider_.SetStep(kClockSliderStep);
    memorySlider_.SetStep(kClockSliderStep);
    shaderSlider_.Enable(context_.Hardware().HasShaderClock(0));
    Slider* withPopups[] = {&gpuSlider_, &shaderSlider_, &memorySlider_};
    const SliderPlace* places[] = {&kGpuSlider, &kShaderSlider, &kMemorySlider};
    for (int i = 0; i < 3; i++) {
        withPopups[i]->SetPopupTextPos(places[i]->captionX, places[i]->captionY);
        withPopups[i]->SetPopupFont(context_.Font(1));
    }
}

void OverclockSection::FillCardClocks(uint8_t card, bool moveSliders) {
    HardwareObject& hw = context_.Hardware();
    CardSettings& cards = context_.Cards();
    PerfCapabilities caps = hw.GetPerfCapabilities(card);
    LevelClocks clocks;
    if (caps.has2DLevel) {
        memset(&clocks, 0, sizeof(clocks));
        clocksRead_[card][0] = hw.Read2DClocks(card, &clocks) == kNvOk;
        if (moveSliders) MoveClockSliders(clocks);
        cards.SetClock(card, kGpu2DReference, clocks.core.frequency);
        cards.SetClock(card, kShader2DReference, clocks.shader.frequency);
        cards.SetClock(card, kMemoryReference, clocks.memory.frequency);
        cards.SetClock(card, kMemoryClock, clocks.memory.frequency);
        cards.SetClock(card, kGpu2DClock, clocks.core.frequency);
        cards.SetClock(card, kShader2DClock, clocks.shader.frequency);
    }
    if (caps.has3DLevel) {
        memset(&clocks, 0, sizeof(clocks));
        clocksRead_[card][1] = hw.Read3DClocks(card, &clocks) == kNvOk;
        if (!caps.has2DLevel) {
            if (moveSliders) MoveClockSliders(clocks);
            cards.SetClock(card, kMemoryReference, clocks.memory.frequency);
            cards.SetClock(card, kMemoryClock, clocks.memory.frequency);
        }
        cards.SetClock(card, kGpu3DReference, clocks.core.frequency);
        cards.SetClock(card, kShader3DReference, clocks.shader.frequency);
        cards.SetClock(card, kGpu3DClock, clocks.core.frequency);
        cards.SetClock(card, kShader3DClock, clocks.shader.frequency);
    }
}

void OverclockSection::MoveClockSliders(const LevelClocks& clocks) {
    gpuSlider_.SetValue(clocks.core.frequency, 1);
    shaderSlider_.SetValue(clocks.shader.frequency, 1);
    memorySlider_.SetValue(clocks.memory.frequency, 1);
}

void OverclockSection::CreateButtons() {
    const HWND window = context_.Window();
    TextButton* steps[] = {&gpuUp_, &gpuDown_, &shaderUp_, &shaderDown_, &memoryUp_, &memoryDown_};
    const Box* places[] = {&kGpuUp, &kGpuDown, &kShaderUp, &kShaderDown, &kMemoryUp, &kMemoryDown};
    for (int i = 0; i < 6; i++) {
        CreateButton(*steps[i], *places[i], L"", i % 2 == 0 ? kStepUpFaces : kStepDownFaces, window);
        steps[i]->SetAutoRepeat(1);
    }
    CreateButton(testButton_, kTestButton, LangText(kTextTest), kButtonFaces, window);
    testButton_.SetFont(context_.Font(2));
    CreateButton(applyButton_, kApplyButton, LangText(kTextApply), kButtonFaces, window);
    applyButton_.SetFont(context_.Font(2));
    applyButton_.Enable(0);
}

void OverclockSection::CreateLevelRadios() {
    const HWND window = context_.Window();
    radio2D_.Create(kRadio2D.id, kRadio2D.x, kRadio2D.y, window);
    radio3D_.Create(kRadio3D.id, kRadio3D.x, kRadio3D.y, window);
    radio2D_.JoinGroup(&levelGroup_);
    radio3D_.JoinGroup(&levelGroup_);
    PerfCapabilities caps = context_.Hardware().GetPerfCapabilities(0);
    levelGroup_.EnableAll(caps.has2DLevel && caps.has3DLevel);
    levelGroup_.Select(caps.has3DLevel && !caps.has2DLevel ? &radio3D_ : &radio2D_);
}

void OverclockSection::ApplyLanguageTexts() {
    testButton_.SetText(LangText(kTextTest));
    applyButton_.SetText(LangText(kTextApply));
    gpuSlider_.SetPopupText(LangText(kTextGpuClockCaption));
    shaderSlider_.SetPopupText(LangText(kTextShaderCaption));
    memorySlider_.SetPopupText(LangText(kTextMemoryClockCaption));
}

void OverclockSection::ShowCardSettings(uint8_t card) {
    const CardSettings& cards = context_.Cards();
    PerfCapabilities caps = context_.Hardware().GetPerfCapabilities(card);
    if (!caps.has2DLevel && !caps.has3DLevel) return;
    const bool level2D = caps.has2DLevel != 0;
    if (!context_.Hardware().HasShaderClock(card)) shaderSlider_.SetRange(0, 0);
    if (!clocksRead_[card][level2D ? 0 : 1]) {
        ShowClock(gpuSlider_, 0);
        ShowClock(shaderSlider_, 0);
        ShowClock(memorySlider_, 0);
        return;
    }
    ShowClock(gpuSlider_, cards.Clock(card, level2D ? kGpu2DClock : kGpu3DClock));
    ShowClock(shaderSlider_, cards.Clock(card, level2D ? kShader2DClock : kShader3DClock));
    ShowClock(memorySlider_, cards.Clock(card, kMemoryClock));
}

bool OverclockSection::OnRadioClicked(RoundRadio* radio) {
    if (radio != &radio2D_ && radio != &radio3D_) return false;
    OnLevelSwitch(radio);
    return true;
}

bool OverclockSection::OnButtonClicked(TextButton* button) {
    if (button == &testButton_) {
        StartOrCancelTest();
        return true;
    }
    if (button == &applyButton_) {
        ApplyClocks();
        return true;
    }
    struct Step {
        TextButton* button;
        Slider* slider;
        WPARAM key;
    } steps[] = {
        {&gpuUp_, &gpuSlider_, VK_RIGHT},       {&gpuDown_, &gpuSlider_, VK_LEFT},
        {&shaderUp_, &shaderSlider_, VK_RIGHT}, {&shaderDown_, &shaderSlider_, VK_LEFT},
        {&memoryUp_, &memorySlider_, VK_RIGHT}, {&memoryDown_, &memorySlider_, VK_LEFT},
    };
    for (const Step& step : steps) {
        if (step.button == button) {
            SendMessageW(step.slider->handle.window, WM_KEYDOWN, step.key, kOneKeyPress);
            return true;
        }
    }
    return false;
}

bool OverclockSection::OnSliderMoved(SliderHandle* handle) {
    Slider* sliders[] = {&gpuSlider_, &shaderSlider_, &memorySlider_};
    for (Slider* slider : sliders) {
        if (handle != &slider->handle) continue;
        OnClockSliderMoved(slider);
        InvalidateRect(context_.Window(), &ValueRect(slider), FALSE);
        return true;
    }
    return false;
}

bool OverclockSection::OnSliderReleased(SliderHandle* handle) {
    Slider* sliders[] = {&gpuSlider_, &shaderSlider_, &memorySlider_};
    for (Slider* slider : sliders) {
        if (handle != &slider->handle) continue;
        // A release redraws and follows the link as a move does.
        OnClockSliderMoved(slider);
        return true;
    }
    return false;
}

const RECT& OverclockSection::ValueRect(const Slider* slider) const {
    return slider == &gpuSlider_ ? kGpuValueRect : slider == &shaderSlider_ ? kShaderValueRect : kMemoryValueRect;
}

void OverclockSection::FollowLink(Slider* moved) {
    if (!linkBox_.GetCheck() || (moved != &gpuSlider_ && moved != &shaderSlider_)) return;
    Slider* other = moved == &gpuSlider_ ? &shaderSlider_ : &gpuSlider_;
    const int64_t value = moved->GetValue();
    const int64_t linked = moved == &gpuSlider_ ? ShaderClockForGpu(value) : GpuClockForShader(value);
    // A linked value outside the other slider's range leaves it where it is.
    other->SetValue(linked, 0);
    InvalidateRect(context_.Window(), &ValueRect(other), FALSE);
}

void OverclockSection::OnClockSliderMoved(Slider* slider) {
    InvalidateRect(context_.Window(), &ValueRect(slider), FALSE);
    FollowLink(slider);
    RefreshApply();
}

void OverclockSection::SaveIntoCard(uint8_t card) {
    CardSettings& cards = context_.Cards();
    bool level3D = !Level2DShown();
    cards.SetClock(card, level3D ? kGpu3DClock : kGpu2DClock, (uint32_t)gpuSlider_.GetValue());
    cards.SetClock(card, level3D ? kShader3DClock : kShader2DClock, (uint32_t)shaderSlider_.GetValue());
    cards.SetClock(card, kMemoryClock, (uint32_t)memorySlider_.GetValue());
    cards.SetClockLevel(card, level3D ? kClockLevel3D : kClockLevel2D);
}

void OverclockSection::LoadCard(uint8_t card) {
    const CardSettings& cards = context_.Cards();
    memorySlider_.SetValue(cards.Clock(card, kMemoryClock), 0);
    levelGroup_.Select(cards.ClockLevel(card) == kClockLevel3D ? &radio3D_ : &radio2D_);
    ShowLevelOnSliders(card);
    memorySlider_.SetRange(cards.Clock(card, kMemoryMin), cards.Clock(card, kMemoryMax));
    const bool read = card < kMaxGpus && clocksRead_[card][cards.ClockLevel(card) == kClockLevel3D ? 1 : 0];
    ShowClock(memorySlider_, read ? cards.Clock(card, kMemoryClock) : 0);
    if (!context_.Hardware().HasShaderClock(card)) linkBox_.SetCheck(0);
    // What the user may not use stays disabled whatever the card offers.
    EnableWalkTargets(!WalkRunning());
}

void OverclockSection::InvalidateClockValues() {
    InvalidateRect(context_.Window(), &kClockValuesRect, FALSE);
}

void OverclockSection::OnLevelSwitch(RoundRadio* radio) {
    uint8_t card = context_.CurrentCard();
    CardSettings& cards = context_.Cards();
    bool to2D = radio == &radio2D_;
    if ((to2D && cards.ClockLevel(card) == kClockLevel2D) || (!to2D && cards.ClockLevel(card) == kClockLevel3D)) {
        return;
    }
    // The level being left keeps what its sliders showed.
    cards.SetClock(card, to2D ? kGpu3DClock : kGpu2DClock, (uint32_t)gpuSlider_.GetValue());
    cards.SetClock(card, to2D ? kShader3DClock : kShader2DClock, (uint32_t)shaderSlider_.GetValue());
    cards.SetClockLevel(card, to2D ? kClockLevel2D : kClockLevel3D);
    ShowLevelOnSliders(card);
    EnableWalkTargets(true);
    RefreshApply();
    // The other level's slider ends are painted over the old ones.
    InvalidateClockValues();
}

void OverclockSection::ShowLevel2D() {
    PerfCapabilities caps = context_.Hardware().GetPerfCapabilities(context_.CurrentCard());
    if (!caps.has2DLevel || !caps.has3DLevel) return;
    levelGroup_.Select(&radio2D_);
    OnLevelSwitch(&radio2D_);
}

void OverclockSection::ShowClock(Slider& slider, int64_t clock) {
    if (clock < slider.GetMinimum()) clock = slider.GetMinimum();
    if (clock > slider.GetMaximum()) clock = slider.GetMaximum();
    slider.SetValue(clock, 1);
}

bool OverclockSection::ShownClocksRead() const {
    const uint8_t card = context_.CurrentCard();
    return card < kMaxGpus && clocksRead_[card][Level2DShown() ? 0 : 1];
}

void OverclockSection::ShowLevelOnSliders(uint8_t card) {
    const CardSettings& cards = context_.Cards();
    bool level2D = cards.ClockLevel(card) == kClockLevel2D;
    const bool read = card < kMaxGpus && clocksRead_[card][level2D ? 0 : 1];
    gpuSlider_.SetRange(cards.Clock(card, level2D ? kGpu2DMin : kGpu3DMin),
                        cards.Clock(card, level2D ? kGpu2DMax : kGpu3DMax));
    // A card without a shader clock has none to show or to walk to.
    if (context_.Hardware().HasShaderClock(card)) {
        shaderSlider_.SetRange(cards.Clock(card, level2D ? kShader2DMin : kShader3DMin),
                               cards.Clock(card, level2D ? kShader2DMax : kShader3DMax));
    } else {
        shaderSlider_.SetRange(0, 0);
    }
    // Clocks that could not be read show as the lowest, on disabled sliders.
    ShowClock(gpuSlider_, read ? cards.Clock(card, level2D ? kGpu2DClock : kGpu3DClock) : 0);
    ShowClock(shaderSlider_, read ? cards.Clock(card, level2D ? kShader2DClock : kShader3DClock) : 0);
    InvalidateRect(context_.Window(), &kGpuValueRect, FALSE);
    InvalidateRect(context_.Window(), &kShaderValueRect, FALSE);
}

void OverclockSection::EnableWalkTargets(bool enable) {
    const bool administrator = enable && context_.IsAdministrator();
    const uint8_t card = context_.CurrentCard();
    // Only what the card has comes back: a one-level card keeps its level
    // switch disabled, a card without a shader clock its link and slider.
    const PerfCapabilities caps = context_.Hardware().GetPerfCapabilities(card);
    const bool shader = context_.Hardware().HasShaderClock(card);
    const bool clocks = administrator && ShownClocksRead();
    // Test is Cancel while a walk runs and stays as it is then.
    if (enable) testButton_.Enable(clocks);
    levelGroup_.EnableAll(administrator && caps.has2DLevel && caps.has3DLevel);
    linkBox_.Enable(clocks && shader);
    gpuSlider_.Enable(clocks);
    shaderSlider_.Enable(clocks && shader);
    memorySlider_.Enable(clocks);
    TextButton* steps[] = {&gpuUp_, &gpuDown_, &shaderUp_, &shaderDown_, &memoryUp_, &memoryDown_};
    for (TextButton* step : steps)
        step->Enable(clocks);
    neighbours_.EnableWalkNeighbours(enable, administrator);
}

void OverclockSection::LockForNonAdministrator() {
    applyButton_.Enable(0);
}

void OverclockSection::Paint(const SkinText& paint) const {
    const HDC dc = paint.dc;
    // Both pens on every paint, so that a paint costs the same GDI work
    // whatever the card offers.
    PenHolder whitePen(CreatePen(PS_SOLID, 0, kSkinWhite));
    PenHolder greyPen(CreatePen(PS_SOLID, 0, kSkinGrey));
    ScopedSelect font(dc, context_.Font(2));
    struct Ends {
        const Slider* slider;
        int y;
    } ends[] = {{&gpuSlider_, 181}, {&shaderSlider_, 161}, {&memorySlider_, 201}};
    for (const Ends& e : ends) {
        paint.Mhz(painted::kValueMinX, e.y, e.slider->GetMinimum());
        paint.Mhz(painted::kValueMaxX, e.y, e.slider->GetMaximum());
    }
    const uint8_t card = context_.CurrentCard();
    PerfCapabilities caps = context_.Hardware().GetPerfCapabilities(card);
    if (caps.has2DLevel && caps.has3DLevel) {
        bool enabled = levelGroup_.IsEnabled() != 0;
        ScopedSelect pen(dc, enabled ? whitePen.Get() : greyPen.Get());
        const POINT frame[] = {{291, 137}, {337, 137}, {337, 150}, {291, 150}, {291, 137}};
        Polyline(dc, frame, 5);
        paint.In(Shade(enabled), painted::k2D);
        paint.In(Shade(enabled), painted::k3D);
    }
    // The current values keep the colour the frame's captions left.
    paint.Mhz(painted::kValueX, 181, gpuSlider_.GetValue());
    paint.Mhz(painted::kValueX, 161, shaderSlider_.GetValue());
    paint.Mhz(painted::kValueX, 201, memorySlider_.GetValue());

    paint.In(Shade(context_.Hardware().HasShaderClock(card)), painted::kLink);
}
