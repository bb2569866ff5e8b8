// The fan controls: the Auto and Manual boxes, the fan slider, the 1500 ms
// sync that makes them follow the card, and who may use them.

#include "MainPanel.h"

#include "CardFanAutomatic.h"
#include "PanelLayout.h"

namespace {

const RECT kFanTextsRect = {60, 126, 249, 257};

}  // namespace

void MainPanel::ShowFanModeBoxes(CheckBox* box) {
    fanSlider.ShowMode(layout::kShowPopupOnly);
    autoBox.SetCheck(0);
    manualBox.SetCheck(0);
    box->SetCheck(1);
    if (box == &manualBox) fanSlider.ShowMode(layout::kShowAll);
    InvalidateRect(window, &kFanTextsRect, FALSE);
}

void MainPanel::OnFanModeClicked(CheckBox* box) {
    if (box != &autoBox && box != &manualBox) return;
    ShowFanModeBoxes(box);
    if (box == &autoBox) {
        AutoFanMode();
    } else {
        SetManualFanSpeed(Cards().Fan(CurrentCard(), kFanManual), true, true);
    }
}

void MainPanel::AutoFanMode() {
    const uint8_t card = CurrentCard();
    FanToAutomatic(card);
    uint32_t setting = 0;
    if (Hardware().ReadFanSpeed(card, &setting, false) == kNvOk) MoveFanSlider(setting, true);
}

bool MainPanel::FanToAutomatic(uint8_t card) {
    Cards().SetFanWorkMode(card, kFanAutoMode);
    // A user without the privilege only watches: the panel follows the card
    // but writes nothing to it.
    return IsAdministrator() && SetCardFanAutomatic(Hardware(), Cards(), card) == kNvOk;
}

bool MainPanel::ClampFanSpeed(uint8_t card, uint32_t* value) const {
    const uint32_t silent = Cards().Fan(card, kFanSilent);
    const uint32_t maximum = Cards().Fan(card, kFanMaximum);
    if (maximum == 0 || silent > maximum) return false;
    if (*value < silent) *value = silent;
    if (*value > maximum) *value = maximum;
    return true;
}

void MainPanel::SetManualFanSpeed(uint32_t value, bool write, bool move) {
    uint8_t card = CurrentCard();
    Cards().SetFanWorkMode(card, kFanManualMode);
    // Never a speed outside the card's range: a stored 0 (a failed read)
    // would stop the fan while the slider shows the silent speed. A card
    // whose range is unknown gets no fixed speed at all.
    if (write && IsAdministrator() && ClampFanSpeed(card, &value)) Hardware().SetFanSpeed(card, value);
    Cards().SetFan(card, kFanManual, value);
    if (move) MoveFanSlider(value, false);
}

void MainPanel::MoveFanSlider(uint32_t value, bool force) {
    // The slider ignores a value outside its range; the card may hold one
    // (another program set it, or the database's range is narrower than
    // the fan), so the slider shows the nearest end instead of a stale one.
    int64_t shown = value;
    if (fanSlider.GetMinimum() < fanSlider.GetMaximum()) {
        if (shown < fanSlider.GetMinimum()) shown = fanSlider.GetMinimum();
        if (shown > fanSlider.GetMaximum()) shown = fanSlider.GetMaximum();
    }
    fanSlider.SetValue(shown, force ? 1 : 0);
}

void MainPanel::OnFanSliderMoved() {
    // The card is not touched while the user drags: one write on release.
    fanSliderDragging = true;
    SetManualFanSpeed((uint32_t)fanSlider.GetValue(), false, false);
}

void MainPanel::OnFanSliderReleased() {
    SetManualFanSpeed((uint32_t)fanSlider.GetValue(), true, true);
    fanSliderDragging = false;
}

void MainPanel::OnFanSyncTimer() {
    if (fanSliderDragging) return;
    uint8_t card = CurrentCard();
    HardwareObject& hw = Hardware();
    if (!hw.HasFanControl(card)) return;
    BOOL isAuto = TRUE;
    if (hw.IsFanAuto(card, &isAuto) != kNvOk) return;
    uint32_t mode = isAuto ? kFanAutoMode : kFanManualMode;
    if (Cards().FanWorkMode(card) != mode) {
        if (!isAuto) {
            // Whoever switched the card to manual chose its speed: keep it,
            // so the switch below writes back what the card already has.
            uint32_t setting = 0;
            if (hw.ReadFanSpeed(card, &setting, false) == kNvOk) Cards().SetFan(card, kFanManual, setting);
        }
        OnFanModeClicked(isAuto ? &autoBox : &manualBox);
    }
    if (!hw.HasFanControl(card)) return;
    uint32_t setting = 0;
    if (hw.ReadFanSpeed(card, &setting, false) != kNvOk) return;
    if ((int64_t)setting == fanSlider.GetValue()) return;
    if (!isAuto) Cards().SetFan(card, kFanManual, setting);
    MoveFanSlider(setting, false);
}

void MainPanel::ApplyPrivilegeToFanControls() {
    int enable = services_.privilege == kPrivilegeAdministrator && Hardware().HasFanControl(CurrentCard());
    autoBox.Enable(enable);
    manualBox.Enable(enable);
    fanSlider.Enable(enable);
}

// The clock controls, Test, Restore defaults and the BIOS button follow the
// privilege in EnableWalkTargets, which the build runs after this.
void MainPanel::LockControlsForNonAdministrator() {
    if (services_.privilege == kPrivilegeAdministrator) return;
    autoBox.Enable(0);
    manualBox.Enable(0);
    applyButton.Enable(0);
    Slider* sliders[] = {&fanSlider, &auxSlider1, &auxSlider2};
    for (Slider* slider : sliders)
        slider->Enable(0);
}
