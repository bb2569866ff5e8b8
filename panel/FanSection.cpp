#include "FanSection.h"

#include "CardFanAutomatic.h"
#include "LanguageState.h"
#include "PanelTexts.h"
#include "PlaceControl.h"

using namespace layout;

void FanSection::CreateBoxes() {
    CreateCheck(autoBox_, kAutoBox, context_.Window());
    CreateCheck(manualBox_, kManualBox, context_.Window());
    if (!context_.Hardware().HasFanControl(0)) OnFanModeClicked(&autoBox_);
}

void FanSection::CreateSliders() {
    const HWND window = context_.Window();
    CreateSlider(slider_, kFanSlider, window);
    slider_.ShowMode(kShowPopupOnly);
    CreateSlider(auxSlider1_, kAuxSlider1, window);
    auxSlider1_.ShowMode(kHideAll);
    CreateSlider(auxSlider2_, kAuxSlider2, window);
    auxSlider2_.ShowMode(kHideAll);
}

void FanSection::SetSliderRanges() {
    const CardSettings& cards = context_.Cards();
    slider_.SetRange(cards.Fan(0, kFanSilent), cards.Fan(0, kFanMaximum));
    auxSlider1_.SetRange(kAux1Minimum, kAux1Maximum);
    auxSlider2_.SetRange(kAux2Minimum, kAux2Maximum);
    slider_.SetStep(cards.FanSliderStep());
    slider_.SetValue(slider_.GetMinimum(), 1);
    auxSlider1_.SetValue(auxSlider1_.GetMinimum(), 1);
    auxSlider2_.SetValue(auxSlider2_.GetMinimum(), 1);
    slider_.SetPopupTextPos(kFanSlider.captionX, kFanSlider.captionY);
    slider_.SetPopupFont(context_.Font(1));
}

void FanSection::ApplyLanguageTexts() {
    slider_.SetPopupText(LangText(kTextFanSpeedCaption));
}

void FanSection::ApplyMonitorLimit(uint8_t card) {
    const uint16_t limit = (uint16_t)auxSlider1_.GetValue();
    context_.Hardware().SetMonitorLimit(card, (uint8_t)limit);
    context_.Cards().SetShort(card, kAuxSliderValue, limit);
}

void FanSection::ShowCardSettings(uint8_t card) {
    const CardSettings& cards = context_.Cards();
    if (cards.FanWorkMode(card) == kFanManualMode) MoveFanSlider(cards.Fan(card, kFanManual), false);
    OnFanModeClicked(cards.FanWorkMode(card) == kFanAutoMode ? &autoBox_ : &manualBox_);
}

bool FanSection::OnCheckClicked(CheckBox* box) {
    if (box != &autoBox_ && box != &manualBox_) return false;
    OnFanModeClicked(box);
    return true;
}

bool FanSection::OnSliderMoved(SliderHandle* handle) {
    if (handle == &slider_.handle) {
        // The card is not touched while the user drags: one write on release.
        dragging_ = true;
        SetManualFanSpeed((uint32_t)slider_.GetValue(), false, false);
    } else if (handle == &auxSlider1_.handle) {
        InvalidateRect(context_.Window(), &kAux1ValueRect, FALSE);
    } else if (handle == &auxSlider2_.handle) {
        InvalidateRect(context_.Window(), &kAux2ValueRect, FALSE);
    } else {
        return false;
    }
    return true;
}

bool FanSection::OnSliderReleased(SliderHandle* handle) {
    if (handle == &slider_.handle) {
        SetManualFanSpeed((uint32_t)slider_.GetValue(), true, true);
        dragging_ = false;
    } else if (handle == &auxSlider1_.handle) {
        ApplyMonitorLimit(context_.CurrentCard());
    } else {
        return handle == &auxSlider2_.handle;
    }
    return true;
}

void FanSection::ShowFanModeBoxes(CheckBox* box) {
    slider_.ShowMode(kShowPopupOnly);
    autoBox_.SetCheck(0);
    manualBox_.SetCheck(0);
    box->SetCheck(1);
    if (box == &manualBox_) slider_.ShowMode(kShowAll);
    InvalidateRect(context_.Window(), &kFanTextsRect, FALSE);
}

void FanSection::ShowAutomatic() {
    ShowFanModeBoxes(&autoBox_);
}

void FanSection::SwitchToAutomatic() {
    OnFanModeClicked(&autoBox_);
}

void FanSection::SetMonitorLimitSlider(int64_t value) {
    auxSlider1_.SetValue(value, 0);
}

void FanSection::OnFanModeClicked(CheckBox* box) {
    if (box != &autoBox_ && box != &manualBox_) return;
    ShowFanModeBoxes(box);
    if (box == &autoBox_) {
        AutoFanMode();
    } else {
        SetManualFanSpeed(context_.Cards().Fan(context_.CurrentCard(), kFanManual), true, true);
    }
}

void FanSection::AutoFanMode() {
    const uint8_t card = context_.CurrentCard();
    FanToAutomatic(card);
    uint32_t setting = 0;
    if (context_.Hardware().ReadFanSpeed(card, &setting, false) == kNvOk) MoveFanSlider(setting, true);
}

bool FanSection::FanToAutomatic(uint8_t card) {
    context_.Cards().SetFanWorkMode(card, kFanAutoMode);
    // A user without the privilege only watches: the panel follows the card
    // but writes nothing to it.
    return context_.IsAdministrator() && SetCardFanAutomatic(context_.Hardware(), context_.Cards(), card) == kNvOk;
}

bool FanSection::ClampFanSpeed(uint8_t card, uint32_t* value) const {
    const uint32_t silent = context_.Cards().Fan(card, kFanSilent);
    const uint32_t maximum = context_.Cards().Fan(card, kFanMaximum);
    if (maximum == 0 || silent > maximum) return false;
    if (*value < silent) *value = silent;
    if (*value > maximum) *value = maximum;
    return true;
}

void FanSection::SetManualFanSpeed(uint32_t value, bool write, bool move) {
    const uint8_t card = context_.CurrentCard();
    context_.Cards().SetFanWorkMode(card, kFanManualMode);
    // Never a speed outside the card's range: a stored 0 (a failed read)
    // would stop the fan while the slider shows the silent speed. A card
    // whose range is unknown gets no fixed speed at all.
    if (write && context_.IsAdministrator() && ClampFanSpeed(card, &value)) {
        context_.Hardware().SetFanSpeed(card, value);
    }
    context_.Cards().SetFan(card, kFanManual, value);
    if (move) MoveFanSlider(value, false);
}

void FanSection::MoveFanSlider(uint32_t value, bool force) {
    // The slider ignores a value outside its range; the card may hold one
    // (another program set it, or the database's range is narrower than
    // the fan), so the slider shows the nearest end instead of a stale one.
    int64_t shown = value;
    if (slider_.GetMinimum() < slider_.GetMaximum()) {
        if (shown < slider_.GetMinimum()) shown = slider_.GetMinimum();
        if (shown > slider_.GetMaximum()) shown = slider_.GetMaximum();
    }
    slider_.SetValue(shown, force ? 1 : 0);
}

void FanSection::OnSyncTimer() {
    if (dragging_) return;
    const uint8_t card = context_.CurrentCard();
    HardwareObject& hw = context_.Hardware();
    CardSettings& cards = context_.Cards();
    if (!hw.HasFanControl(card)) return;
    BOOL isAuto = TRUE;
    if (hw.IsFanAuto(card, &isAuto) != kNvOk) return;
    uint32_t mode = isAuto ? kFanAutoMode : kFanManualMode;
    if (cards.FanWorkMode(card) != mode) {
        if (!isAuto) {
            // Whoever switched the card to manual chose its speed: keep it,
            // so the switch below writes back what the card already has.
            uint32_t setting = 0;
            if (hw.ReadFanSpeed(card, &setting, false) == kNvOk) cards.SetFan(card, kFanManual, setting);
        }
        OnFanModeClicked(isAuto ? &autoBox_ : &manualBox_);
    }
    if (!hw.HasFanControl(card)) return;
    uint32_t setting = 0;
    if (hw.ReadFanSpeed(card, &setting, false) != kNvOk) return;
    if ((int64_t)setting == slider_.GetValue()) return;
    if (!isAuto) cards.SetFan(card, kFanManual, setting);
    MoveFanSlider(setting, false);
}

void FanSection::SaveIntoCard(uint8_t card) {
    CardSettings& cards = context_.Cards();
    cards.SetShort(card, kAuxSliderValue, (uint16_t)auxSlider1_.GetValue());
    if (context_.Hardware().HasFanControl(card)) {
        cards.SetFan(card, kFanManual, (uint32_t)slider_.GetValue());
        cards.SetFanWorkMode(card, autoBox_.GetCheck() ? kFanAutoMode : kFanManualMode);
    }
}

void FanSection::LoadCard(uint8_t card) {
    const CardSettings& cards = context_.Cards();
    auxSlider1_.SetValue(cards.Short(card, kAuxSliderValue), 0);
    if (!context_.Hardware().HasFanControl(card)) return;
    slider_.SetRange(cards.Fan(card, kFanSilent), cards.Fan(card, kFanMaximum));
    // Each card's fan in its own units: 100 rpm a step, or 1 % where the
    // range is narrower than that.
    if (!slider_.SetStep(cards.FanSliderStep())) slider_.SetStep(1);
    MoveFanSlider(cards.Fan(card, kFanManual), true);
    OnFanModeClicked(cards.FanWorkMode(card) == kFanAutoMode ? &autoBox_ : &manualBox_);
}

void FanSection::ApplyPrivilege() {
    int enable = context_.IsAdministrator() && context_.Hardware().HasFanControl(context_.CurrentCard());
    autoBox_.Enable(enable);
    manualBox_.Enable(enable);
    slider_.Enable(enable);
}

void FanSection::LockForNonAdministrator() {
    autoBox_.Enable(0);
    manualBox_.Enable(0);
    Slider* sliders[] = {&slider_, &auxSlider1_, &auxSlider2_};
    for (Slider* slider : sliders)
        slider->Enable(0);
}

void FanSection::Paint(const SkinText& paint) const {
    paint.In(Shade(autoBox_.IsEnabled()), painted::kAuto);
    paint.In(Shade(manualBox_.IsEnabled()), painted::kManual);
    if (manualBox_.GetCheck()) {
        COLORREF shade = Shade(slider_.IsEnabled());
        paint.In(shade, painted::kMin);
        paint.In(shade, painted::kMax);
    } else if (autoBox_.GetCheck()) {
        COLORREF shade = Shade(autoBox_.IsEnabled());
        paint.In(shade, painted::kAutoHint1);
        paint.In(shade, painted::kAutoHint2);
    }
}
