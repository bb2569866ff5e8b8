// Building the panel on the skin: every section's controls in their place,
// filled from the card, in the order the controls depend on each other.
// The order of creation is the windows' z-order and tab order.

#include "MainPanel.h"

#include "LanguageState.h"
#include "PanelTexts.h"
#include "PlaceControl.h"

using namespace layout;

void MainPanel::BuildPanel() {
    currentCard_.store(0);
    fan_.CreateBoxes();
    overclock_.CreateLinkBox();
    CreateSliders();
    fan_.ApplyMonitorLimit(0);
    overclock_.FillCardClocks(0, true);
    overclock_.CreateButtons();
    CreateGroupButtons();
    CreateDisplays();
    tray_.Prepare();
    overclock_.CreateLevelRadios();
    FillCard1();
    ApplyLanguageTexts();
    LockControlsForNonAdministrator();
    fan_.ApplyPrivilege();
    ReadRunValue(registry);
    LoadHardwareSettings();
    ShowSettingsOnPanel();
    overclock_.EnableWalkTargets(true);
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
    tray_.AddIcon();
    SetFocus(window);
}

// The clock sliders first, then the fan's and the hidden ones; their ranges
// once all are made.
void MainPanel::CreateSliders() {
    overclock_.CreateSliders();
    fan_.CreateSliders();
    overclock_.SetSliderRanges();
    fan_.SetSliderRanges();
}

void MainPanel::CreateGroupButtons() {
    cardSwitch_.CreateButtons();
    struct Member {
        GroupButton* button;
        ButtonGroup* group;
        const Box* box;
        int textId;
        int font;
    } members[] = {
        {&biosButton_, &biosGroup_, &kBiosButton, kTextBios, 1},
        {&settingsButton_, &settingsGroup_, &kSettingsButton, kTextSettings, 6},
        {&restoreButton_, &restoreGroup_, &kRestoreButton, kTextRestoreDefaults, 7},
        {&aboutButton_, &aboutGroup_, &kAboutButton, kTextAbout, 1},
    };
    for (const Member& m : members) {
        CreateButton(*m.button, *m.box, LangText(m.textId), kGroupFaces, window);
        m.button->JoinGroup(m.group);
        m.button->SetFont(Font(m.font));
    }
}

void MainPanel::CreateDisplays() {
    CreateDisplay(gpuClockDisplay_, kGpuClockDisplay, window, Font(3));
    CreateDisplay(shaderClockDisplay_, kShaderClockDisplay, window, Font(3));
    CreateDisplay(memoryClockDisplay_, kMemoryClockDisplay, window, Font(3));
    CreateDisplay(fanSpeedDisplay_, kFanSpeedDisplay, window, Font(3));
    CreateDisplay(temperatureDisplay_, kTemperatureDisplay, window, Font(3));
    logo_.Create(kLogo.id, kLogo.x, kLogo.y, kLogo.width, kLogo.height, window);
    bool simplified = gLanguageState.LanguageCode() == kLanguageSimplifiedChinese;
    logo_.SetBitmap(simplified ? kLogoSimplifiedChinese : kLogoOther);
    minimiseButton_.Create(kMinimiseButton.id, nullptr, kMinimiseButton.x, kMinimiseButton.y, kMinimiseButton.width,
                           kMinimiseButton.height, window, kMinimiseFaces[0], kMinimiseFaces[1]);
    closeButton_.Create(kCloseButton.id, nullptr, kCloseButton.x, kCloseButton.y, kCloseButton.width,
                        kCloseButton.height, window, kCloseFaces[0], kCloseFaces[1]);
}

void MainPanel::FillCard1() {
    if (Hardware().GpuCount() < 2) return;
    // The second card's clocks and references are taken level by level as
    // the first card's are, so its memory clock and its 3D references come
    // from the level they belong to.
    overclock_.FillCardClocks(1, false);
    uint16_t limit = Cards().Short(1, kAuxSliderLow);
    Hardware().SetMonitorLimit(1, (uint8_t)limit);
    Cards().SetShort(1, kAuxSliderValue, limit);
}

void MainPanel::ApplyLanguageTexts() {
    cardSwitch_.ApplyLanguageTexts();
    aboutButton_.SetText(LangText(kTextAbout));
    overclock_.ApplyLanguageTexts();
    restoreButton_.SetText(LangText(kTextRestoreDefaults));
    settingsButton_.SetText(LangText(kTextSettings));
    biosButton_.SetText(LangText(kTextBios));
    fan_.ApplyLanguageTexts();
    InvalidateRect(window, NULL, FALSE);
}

// The clock controls, Test, Restore defaults and the BIOS button follow the
// privilege in EnableWalkTargets, which the build runs after this.
void MainPanel::LockControlsForNonAdministrator() {
    if (IsAdministrator()) return;
    fan_.LockForNonAdministrator();
    overclock_.LockForNonAdministrator();
}

void MainPanel::ShowSettingsOnPanel() {
    const uint8_t card = CurrentCard();
    fan_.ShowCardSettings(card);
    overclock_.ShowCardSettings(card);
}

void MainPanel::EnableWalkNeighbours(bool enable, bool administrator) {
    cardSwitch_.Enable(enable);
    restoreButton_.Enable(administrator);
    biosButton_.Enable(administrator);
}
