#include "CardSwitchSection.h"

#include "LanguageState.h"
#include "PanelTexts.h"
#include "PlaceControl.h"

using namespace layout;

void CardSwitchSection::CreateButtons() {
    GroupButton* buttons[] = {&masterButton_, &slaveButton_};
    const Box* places[] = {&kMasterButton, &kSlaveButton};
    const int texts[] = {kTextMaster, kTextSlave};
    for (int i = 0; i < 2; i++) {
        CreateButton(*buttons[i], *places[i], LangText(texts[i]), kGroupFaces, context_.Window());
        buttons[i]->JoinGroup(&cardGroup_);
        buttons[i]->SetFont(context_.Font(1));
    }
    if (context_.Hardware().GpuCount() == 1) {
        masterButton_.Show(0);
        slaveButton_.Show(0);
    }
    cardGroup_.Select(&masterButton_);
}

void CardSwitchSection::ApplyLanguageTexts() {
    masterButton_.SetText(LangText(kTextMaster));
    slaveButton_.SetText(LangText(kTextSlave));
}

bool CardSwitchSection::OnGroupClicked(GroupButton* button) {
    if (button != &masterButton_ && button != &slaveButton_) return false;
    SelectCard(button == &masterButton_ ? 0 : 1);
    return true;
}

void CardSwitchSection::Enable(bool enable) {
    masterButton_.Enable(enable);
    slaveButton_.Enable(enable);
}

void CardSwitchSection::SelectCard(uint8_t card) {
    // A walk's card stays shown until the walk ends.
    const uint8_t left = shownCard_.load();
    if (card == left || card >= context_.Hardware().GpuCount() || overclock_.WalkRunning()) return;
    overclock_.SaveIntoCard(left);
    fan_.SaveIntoCard(left);
    shownCard_.store(card);
    fan_.LoadCard(card);
    overclock_.LoadCard(card);
    fan_.ApplyPrivilege();
    overclock_.RefreshApply();
    InvalidateRect(context_.Window(), &kFanSectionRect, FALSE);
    InvalidateRect(context_.Window(), &kClockSectionRect, FALSE);
    overclock_.InvalidateClockValues();
}
