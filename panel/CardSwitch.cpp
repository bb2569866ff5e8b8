// "Master" and "Slave": the panel keeps each card's controls as the user
// left them and shows the chosen card's.

#include "MainPanel.h"

namespace {

const RECT kFanSectionRect = {62, 122, 239, 198};
const RECT kClockSectionRect = {229, 122, 452, 198};
// The clock rows' end and current values; the memory row's lies below the
// section.
const RECT kClockValuesRect = {255, 159, 456, 217};

}  // namespace

void MainPanel::SelectCard(uint8_t card) {
    // A walk's card stays shown until the walk ends.
    if (card == CurrentCard() || card >= Hardware().GpuCount() || workerRunning.load()) return;
    SavePanelIntoCard(CurrentCard());
    currentCard_.store(card);
    LoadCardIntoPanel(card);
    ApplyPrivilegeToFanControls();
    RefreshApply();
    InvalidateRect(window, &kFanSectionRect, FALSE);
    InvalidateRect(window, &kClockSectionRect, FALSE);
    InvalidateClockValues();
}

void MainPanel::InvalidateClockValues() {
    InvalidateRect(window, &kClockValuesRect, FALSE);
}

void MainPanel::SavePanelIntoCard(uint8_t card) {
    CardSettings& cards = Cards();
    bool level3D = levelGroup.Selected() == &radio3D;
    cards.SetClock(card, level3D ? kGpu3DClock : kGpu2DClock, (uint32_t)gpuSlider.GetValue());
    cards.SetClock(card, level3D ? kShader3DClock : kShader2DClock, (uint32_t)shaderSlider.GetValue());
    cards.SetClock(card, kMemoryClock, (uint32_t)memorySlider.GetValue());
    cards.SetShort(card, kAuxSliderValue, (uint16_t)auxSlider1.GetValue());
    if (Hardware().HasFanControl(card)) {
        cards.SetFan(card, kFanManual, (uint32_t)fanSlider.GetValue());
        cards.SetFanWorkMode(card, autoBox.GetCheck() ? kFanAutoMode : kFanManualMode);
    }
    cards.SetClockLevel(card, level3D ? kClockLevel3D : kClockLevel2D);
}

void MainPanel::LoadCardIntoPanel(uint8_t card) {
    const CardSettings& cards = Cards();
    HardwareObject& hw = Hardware();
    memorySlider.SetValue(cards.Clock(card, kMemoryClock), 0);
    auxSlider1.SetValue(cards.Short(card, kAuxSliderValue), 0);
    if (hw.HasFanControl(card)) {
        fanSlider.SetRange(cards.Fan(card, kFanSilent), cards.Fan(card, kFanMaximum));
        // Each card's fan in its own units: 100 rpm a step, or 1 % where
        // the range is narrower than that.
        if (!fanSlider.SetStep(cards.FanSliderStep())) fanSlider.SetStep(1);
        MoveFanSlider(cards.Fan(card, kFanManual), true);
        OnFanModeClicked(cards.FanWorkMode(card) == kFanAutoMode ? &autoBox : &manualBox);
    }
    levelGroup.Select(cards.ClockLevel(card) == kClockLevel3D ? &radio3D : &radio2D);
    ShowLevelOnSliders(card);
    memorySlider.SetRange(cards.Clock(card, kMemoryMin), cards.Clock(card, kMemoryMax));
    const bool read = card < kMaxGpus && clocksRead_[card][cards.ClockLevel(card) == kClockLevel3D ? 1 : 0];
    ShowClock(memorySlider, read ? cards.Clock(card, kMemoryClock) : 0);
    if (!hw.HasShaderClock(card)) linkBox.SetCheck(0);
    // What the user may not use stays disabled whatever the card offers.
    EnableWalkTargets(!workerRunning.load());
}
