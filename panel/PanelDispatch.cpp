// Where each control's notification goes. The control object comes in
// lParam of a message any process can post to the main window: each
// section looks only at its own controls, and so does the panel.

#include "MainPanel.h"

void MainPanel::OnCheckClicked(CheckBox* box) {
    // The Link box only toggles itself; the link is read when a clock
    // slider moves.
    fan_.OnCheckClicked(box);
}

void MainPanel::OnRadioClicked(RoundRadio* radio) {
    overclock_.OnRadioClicked(radio);
}

void MainPanel::OnButtonClicked(TextButton* button) {
    overclock_.OnButtonClicked(button);
}

void MainPanel::OnGroupClicked(GroupButton* button) {
    if (cardSwitch_.OnGroupClicked(button)) return;
    if (button == &aboutButton_) {
        ShowAboutDialog();
    } else if (button == &settingsButton_) {
        ShowSettingsDialog();
    } else if (button == &restoreButton_) {
        RestoreDefaultHardwareSettings();
    } else if (button == &biosButton_) {
        ChooseBios();
    }
}

void MainPanel::OnSliderMoved(SliderHandle* handle) {
    if (!overclock_.OnSliderMoved(handle)) fan_.OnSliderMoved(handle);
}

void MainPanel::OnSliderReleased(SliderHandle* handle) {
    if (!overclock_.OnSliderReleased(handle)) fan_.OnSliderReleased(handle);
}
