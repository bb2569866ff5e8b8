// Where each control's notification goes.

#include "MainPanel.h"

namespace {

// What each slider's painted value needs redrawn when it moves.
const RECT kGpuValueRect = {343, 181, 373, 196};
const RECT kShaderValueRect = {343, 161, 373, 176};
const RECT kMemoryValueRect = {343, 201, 373, 216};
const RECT kAux1ValueRect = {243, 206, 273, 221};
const RECT kAux2ValueRect = {403, 206, 433, 221};

const LPARAM kOneKeyPress = 1;

}  // namespace

void MainPanel::OnCheckClicked(CheckBox* box) {
    // The Link box only toggles itself; the link is read when a clock
    // slider moves.
    if (box == &autoBox || box == &manualBox) OnFanModeClicked(box);
}

// The control object comes in lParam of a message any process can post to
// the main window: only the panel's own controls are looked at.
void MainPanel::OnRadioClicked(RoundRadio* radio) {
    if (radio == &radio2D || radio == &radio3D) OnLevelSwitch(radio);
}

Slider* MainPanel::OwnSlider(SliderHandle* handle) {
    Slider* sliders[] = {&gpuSlider, &shaderSlider, &memorySlider, &fanSlider, &auxSlider1, &auxSlider2};
    for (Slider* slider : sliders) {
        if (handle == &slider->handle) return slider;
    }
    return nullptr;
}

void MainPanel::OnButtonClicked(TextButton* button) {
    if (button == &testButton) {
        StartOrCancelTest();
        return;
    }
    if (button == &applyButton) {
        ApplyClocks();
        return;
    }
    struct Step {
        TextButton* button;
        Slider* slider;
        WPARAM key;
    } steps[] = {
        {&gpuUp, &gpuSlider, VK_RIGHT},       {&gpuDown, &gpuSlider, VK_LEFT},
        {&shaderUp, &shaderSlider, VK_RIGHT}, {&shaderDown, &shaderSlider, VK_LEFT},
        {&memoryUp, &memorySlider, VK_RIGHT}, {&memoryDown, &memorySlider, VK_LEFT},
    };
    for (const Step& step : steps) {
        if (step.button == button) {
            SendMessageW(step.slider->handle.window, WM_KEYDOWN, step.key, kOneKeyPress);
            return;
        }
    }
}

void MainPanel::OnGroupClicked(GroupButton* button) {
    GroupButton* own[] = {&masterButton, &slaveButton, &aboutButton, &settingsButton, &restoreButton, &biosButton};
    bool known = false;
    for (GroupButton* member : own)
        known = known || member == button;
    if (!known) return;
    ButtonGroup* group = button->group;
    if (group == &cardGroup) {
        SelectCard(button == &masterButton ? 0 : 1);
    } else if (group == &aboutGroup) {
        ShowAboutDialog();
    } else if (group == &settingsGroup) {
        ShowSettingsDialog();
    } else if (group == &restoreGroup) {
        RestoreDefaultHardwareSettings();
    } else if (group == &biosGroup) {
        ChooseBios();
    }
}

void MainPanel::OnSliderMoved(SliderHandle* handle) {
    Slider* slider = OwnSlider(handle);
    if (slider == &gpuSlider || slider == &shaderSlider || slider == &memorySlider) {
        OnClockSliderMoved(slider);
        InvalidateRect(window,
                       slider == &gpuSlider      ? &kGpuValueRect
                       : slider == &shaderSlider ? &kShaderValueRect
                                                 : &kMemoryValueRect,
                       FALSE);
    } else if (slider == &fanSlider) {
        OnFanSliderMoved();
    } else if (slider == &auxSlider1) {
        InvalidateRect(window, &kAux1ValueRect, FALSE);
    } else if (slider == &auxSlider2) {
        InvalidateRect(window, &kAux2ValueRect, FALSE);
    }
}

void MainPanel::OnSliderReleased(SliderHandle* handle) {
    Slider* slider = OwnSlider(handle);
    if (slider == &gpuSlider || slider == &shaderSlider || slider == &memorySlider) {
        OnClockSliderReleased(slider);
    } else if (slider == &fanSlider) {
        OnFanSliderReleased();
    } else if (slider == &auxSlider1) {
        OnAuxSliderReleased();
    }
}

void MainPanel::OnAuxSliderReleased() {
    uint8_t card = CurrentCard();
    uint16_t limit = (uint16_t)auxSlider1.GetValue();
    Hardware().SetMonitorLimit(card, (uint8_t)limit);
    Cards().SetShort(card, kAuxSliderValue, limit);
}
