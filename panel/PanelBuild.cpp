// Building the panel on the skin: every control in its place, filled from
// the card, in the order the controls depend on each other.

#include "MainPanel.h"

#include <string.h>

#include "LanguageState.h"
#include "PanelLayout.h"
#include "PanelTexts.h"

using namespace layout;

namespace {

int CreateSlider(Slider& slider, const SliderPlace& p, HWND parent) {
    return slider.Create(p.trackId, p.handleId, p.popupId, p.x, p.y, p.popupX, p.popupY, p.trackWidth, parent,
                         p.popupBitmap, kHandleFaces.normal, kHandleFaces.hot, kHandleFaces.disabled);
}

void CreateCheck(CheckBox& box, const Box& b, HWND parent) {
    box.Create(b.id, b.x, b.y, b.width, b.height, parent, kCheckFaces.normal, kCheckFaces.hot, kCheckFaces.disabled);
}

void CreateButton(TextButton& button, const Box& b, const wchar_t* caption, const Faces& faces, HWND parent) {
    button.Create(b.id, caption, b.x, b.y, b.width, b.height, parent, faces.normal, faces.hot, faces.disabled);
}

void CreateDisplay(StaticText& display, const Box& b, HWND parent, HFONT font) {
    display.Create(b.id, b.x, b.y, b.width, b.height, parent);
    display.SetFont(font);
}

}  // namespace

void MainPanel::BuildPanel() {
    currentCard_.store(0);
    CreateFanAndLinkBoxes();
    CreateSliders();
    SetSliderRanges();
    Hardware().SetMonitorLimit(0, (uint8_t)auxSlider1.GetValue());
    Cards().SetShort(0, kAuxSliderValue, (uint16_t)auxSlider1.GetValue());
    FillCardClocks(0, true);
    CreateButtons();
    CreateGroupButtons();
    CreateDisplays();
    PrepareTray();
    CreateLevelRadios();
    FillCard1();
    ApplyLanguageTexts();
    LockControlsForNonAdministrator();
    ApplyPrivilegeToFanControls();
    ReadStartChoice(registry);
    LoadHardwareSettings();
    ShowSettingsOnPanel();
    EnableWalkTargets(true);
    if (startMode == kStartMinimize) {
        WINDOWPLACEMENT placement;
        placement.length = sizeof(placement);
        if (GetWindowPlacement(window, &placement)) {
            placement.showCmd = SW_MINIMIZE;
            SetWindowPlacement(window, &placement);
        }
    } else if (startMode == kStartSysTray) {
        ShowWindow(window, SW_HIDE);
    }
    AddTrayIcon();
    SetFocus(window);
}

void MainPanel::CreateFanAndLinkBoxes() {
    CreateCheck(autoBox, kAutoBox, window);
    CreateCheck(manualBox, kManualBox, window);
    if (!Hardware().HasFanControl(0)) OnFanModeClicked(&autoBox);
    CreateCheck(linkBox, kLinkBox, window);
    linkBox.SetToggleMode(1);
    linkBox.Enable(Hardware().HasShaderClock(0));
}

void MainPanel::CreateSliders() {
    CreateSlider(gpuSlider, kGpuSlider, window);
    shaderSlider.SetAlternatePictures(1);
    CreateSlider(shaderSlider, kShaderSlider, window);
    CreateSlider(memorySlider, kMemorySlider, window);
    CreateSlider(fanSlider, kFanSlider, window);
    fanSlider.ShowMode(kShowPopupOnly);
    CreateSlider(auxSlider1, kAuxSlider1, window);
    auxSlider1.ShowMode(kHideAll);
    CreateSlider(auxSlider2, kAuxSlider2, window);
    auxSlider2.ShowMode(kHideAll);
}

void MainPanel::SetSliderRanges() {
    const CardSettings& cards = Cards();
    bool has2D = Hardware().GetPerfCapabilities(0).has2DLevel != 0;
    gpuSlider.SetRange(cards.Clock(0, has2D ? kGpu2DMin : kGpu3DMin), cards.Clock(0, has2D ? kGpu2DMax : kGpu3DMax));
    shaderSlider.SetRange(cards.Clock(0, has2D ? kShader2DMin : kShader3DMin),
                          cards.Clock(0, has2D ? kShader2DMax : kShader3DMax));
    memorySlider.SetRange(cards.Clock(0, kMemoryMin), cards.Clock(0, kMemoryMax));
    fanSlider.SetRange(cards.Fan(0, kFanSilent), cards.Fan(0, kFanMaximum));
    auxSlider1.SetRange(kAux1Minimum, kAux1Maximum);
    auxSlider2.SetRange(kAux2Minimum, kAux2Maximum);
    gpuSlider.SetStep(kClockSliderStep);
    shaderSlider.SetStep(kClockSliderStep);
    memorySlider.SetStep(kClockSliderStep);
    fanSlider.SetStep(cards.FanSliderStep());
    shaderSlider.Enable(Hardware().HasShaderClock(0));
    fanSlider.SetValue(fanSlider.GetMinimum(), 1);
    auxSlider1.SetValue(auxSlider1.GetMinimum(), 1);
    auxSlider2.SetValue(auxSlider2.GetMinimum(), 1);
    Slider* withPopups[] = {&gpuSlider, &shaderSlider, &memorySlider, &fanSlider};
    const SliderPlace* places[] = {&kGpuSlider, &kShaderSlider, &kMemorySlider, &kFanSlider};
    for (int i = 0; i < 4; i++) {
        withPopups[i]->SetPopupTextPos(places[i]->captionX, places[i]->captionY);
        withPopups[i]->SetPopupFont(Font(1));
    }
}

void MainPanel::FillCardClocks(uint8_t card, bool moveSliders) {
    HardwareObject& hw = Hardware();
    CardSettings& cards = Cards();
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

void MainPanel::MoveClockSliders(const LevelClocks& clocks) {
    gpuSlider.SetValue(clocks.core.frequency, 1);
    shaderSlider.SetValue(clocks.shader.frequency, 1);
    memorySlider.SetValue(clocks.memory.frequency, 1);
}

void MainPanel::CreateButtons() {
    TextButton* steps[] = {&gpuUp, &gpuDown, &shaderUp, &shaderDown, &memoryUp, &memoryDown};
    const Box* places[] = {&kGpuUp, &kGpuDown, &kShaderUp, &kShaderDown, &kMemoryUp, &kMemoryDown};
    for (int i = 0; i < 6; i++) {
        CreateButton(*steps[i], *places[i], L"", i % 2 == 0 ? kStepUpFaces : kStepDownFaces, window);
        steps[i]->SetAutoRepeat(1);
    }
    CreateButton(testButton, kTestButton, LangText(kTextTest), kButtonFaces, window);
    testButton.SetFont(Font(2));
    CreateButton(applyButton, kApplyButton, LangText(kTextApply), kButtonFaces, window);
    applyButton.SetFont(Font(2));
    applyButton.Enable(0);
}

void MainPanel::CreateGroupButtons() {
    struct Member {
        GroupButton* button;
        ButtonGroup* group;
        const Box* box;
        int textId;
        int font;
    } members[] = {
        {&masterButton, &cardGroup, &kMasterButton, kTextMaster, 1},
        {&slaveButton, &cardGroup, &kSlaveButton, kTextSlave, 1},
        {&biosButton, &biosGroup, &kBiosButton, kTextBios, 1},
        {&settingsButton, &settingsGroup, &kSettingsButton, kTextSettings, 6},
        {&restoreButton, &restoreGroup, &kRestoreButton, kTextRestoreDefaults, 7},
        {&aboutButton, &aboutGroup, &kAboutButton, kTextAbout, 1},
    };
    for (const Member& m : members) {
        CreateButton(*m.button, *m.box, LangText(m.textId), kGroupFaces, window);
        m.button->JoinGroup(m.group);
        m.button->SetFont(Font(m.font));
    }
    if (Hardware().GpuCount() == 1) {
        masterButton.Show(0);
        slaveButton.Show(0);
    }
    cardGroup.Select(&masterButton);
}

void MainPanel::CreateDisplays() {
    CreateDisplay(gpuClockDisplay, kGpuClockDisplay, window, Font(3));
    CreateDisplay(shaderClockDisplay, kShaderClockDisplay, window, Font(3));
    CreateDisplay(memoryClockDisplay, kMemoryClockDisplay, window, Font(3));
    CreateDisplay(fanSpeedDisplay, kFanSpeedDisplay, window, Font(3));
    CreateDisplay(temperatureDisplay, kTemperatureDisplay, window, Font(3));
    logo.Create(kLogo.id, kLogo.x, kLogo.y, kLogo.width, kLogo.height, window);
    bool simplified = gLanguageState.LanguageCode() == kLanguageSimplifiedChinese;
    logo.SetBitmap(simplified ? kLogoSimplifiedChinese : kLogoOther);
    minimiseButton.Create(kMinimiseButton.id, nullptr, kMinimiseButton.x, kMinimiseButton.y, kMinimiseButton.width,
                          kMinimiseButton.height, window, kMinimiseFaces[0], kMinimiseFaces[1]);
    closeButton.Create(kCloseButton.id, nullptr, kCloseButton.x, kCloseButton.y, kCloseButton.width,
                       kCloseButton.height, window, kCloseFaces[0], kCloseFaces[1]);
}

void MainPanel::CreateLevelRadios() {
    radio2D.Create(kRadio2D.id, kRadio2D.x, kRadio2D.y, window);
    radio3D.Create(kRadio3D.id, kRadio3D.x, kRadio3D.y, window);
    radio2D.JoinGroup(&levelGroup);
    radio3D.JoinGroup(&levelGroup);
    PerfCapabilities caps = Hardware().GetPerfCapabilities(0);
    levelGroup.EnableAll(caps.has2DLevel && caps.has3DLevel);
    levelGroup.Select(caps.has3DLevel && !caps.has2DLevel ? &radio3D : &radio2D);
}

void MainPanel::FillCard1() {
    if (Hardware().GpuCount() < 2) return;
    // The second card's clocks and references are taken level by level as
    // the first card's are, so its memory clock and its 3D references come
    // from the level they belong to.
    FillCardClocks(1, false);
    uint16_t limit = Cards().Short(1, kAuxSliderLow);
    Hardware().SetMonitorLimit(1, (uint8_t)limit);
    Cards().SetShort(1, kAuxSliderValue, limit);
}

void MainPanel::ApplyLanguageTexts() {
    masterButton.SetText(LangText(kTextMaster));
    slaveButton.SetText(LangText(kTextSlave));
    aboutButton.SetText(LangText(kTextAbout));
    testButton.SetText(LangText(kTextTest));
    applyButton.SetText(LangText(kTextApply));
    restoreButton.SetText(LangText(kTextRestoreDefaults));
    settingsButton.SetText(LangText(kTextSettings));
    biosButton.SetText(LangText(kTextBios));
    fanSlider.SetPopupText(LangText(kTextFanSpeedCaption));
    gpuSlider.SetPopupText(LangText(kTextGpuClockCaption));
    shaderSlider.SetPopupText(LangText(kTextShaderCaption));
    memorySlider.SetPopupText(LangText(kTextMemoryClockCaption));
    InvalidateRect(window, NULL, FALSE);
}

void MainPanel::ShowSettingsOnPanel() {
    uint8_t card = CurrentCard();
    CardSettings& cards = Cards();
    if (cards.FanWorkMode(card) == kFanManualMode) MoveFanSlider(cards.Fan(card, kFanManual), false);
    OnFanModeClicked(cards.FanWorkMode(card) == kFanAutoMode ? &autoBox : &manualBox);
    PerfCapabilities caps = Hardware().GetPerfCapabilities(card);
    if (!caps.has2DLevel && !caps.has3DLevel) return;
    const bool level2D = caps.has2DLevel != 0;
    if (!Hardware().HasShaderClock(card)) shaderSlider.SetRange(0, 0);
    if (!clocksRead_[card][level2D ? 0 : 1]) {
        ShowClock(gpuSlider, 0);
        ShowClock(shaderSlider, 0);
        ShowClock(memorySlider, 0);
        return;
    }
    ShowClock(gpuSlider, cards.Clock(card, level2D ? kGpu2DClock : kGpu3DClock));
    ShowClock(shaderSlider, cards.Clock(card, level2D ? kShader2DClock : kShader3DClock));
    ShowClock(memorySlider, cards.Clock(card, kMemoryClock));
}
