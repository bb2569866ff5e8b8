// "Master" and "Slave": the panel keeps each card's controls as the user
// left them and shows the chosen card's.

#include "MainPanel.h"

namespace {

const RECT kFanSectionRect = {62, 122, 239, 198};
const RECT kClockSectionRect = {229, 122, 452, 198};

}  // namespace

void MainPanel::SelectCard(uint8_t card) {
    if (card == CurrentCard() || card >= Hardware().GpuCount()) return;
    SavePanelIntoCard(CurrentCard());
    currentCard_.store(card);
    LoadCardIntoPanel(card);
    ApplyPrivilegeToFanControls();
    InvalidateRect(window, &kFanSectionRect, FALSE);
    InvalidateRect(window, &kClockSectionRect, FALSE);
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
        MoveFanSlider(cards.Fan(card, kFanManual), true);
        OnFanModeClicked(cards.FanWorkMode(card) == kFanAutoMode ? &autoBox : &manualBox);
    }
    levelGroup.Select(cards.ClockLevel(card) == kClockLevel3D ? &radio3D : &radio2D);
    ShowLevelOnSliders(card);
    memorySlider.SetRange(cards.Clock(card, kMemoryMin), cards.Clock(card, kMemoryMax));
    memorySlider.SetValue(cards.Clock(card, kMemoryClock), 1);
    bool shader = hw.HasShaderClock(card);
    if (!shader) linkBox.SetCheck(0);
    // What the user may not use stays disabled whatever the card offers.
    bool administrator = IsAdministrator();
    linkBox.Enable(shader && !workerRunning.load());
    shaderSlider.Enable(shader && administrator);
    PerfCapabilities caps = hw.GetPerfCapabilities(card);
    levelGroup.EnableAll(caps.has2DLevel && caps.has3DLevel && administrator && !workerRunning.load());
}
