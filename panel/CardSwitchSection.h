#pragma once
// "Master" and "Slave": the panel keeps each card's controls as the user
// left them and shows the chosen card's.

#include <atomic>
#include <stdint.h>

#include "FanSection.h"
#include "GroupButton.h"
#include "OverclockSection.h"
#include "PanelContext.h"

class CardSwitchSection {
public:
    // shownCard is the panel's card shown, which only a switch changes
    // after the build.
    CardSwitchSection(const PanelContext& context, std::atomic<uint8_t>& shownCard, FanSection& fan,
                      OverclockSection& overclock)
        : context_(context), shownCard_(shownCard), fan_(fan), overclock_(overclock) {}
    CardSwitchSection(const CardSwitchSection&) = delete;
    CardSwitchSection& operator=(const CardSwitchSection&) = delete;

    // The two buttons, the first card chosen; hidden with a single card.
    void CreateButtons();
    void ApplyLanguageTexts();
    // The button object comes in lParam of a message any process can post:
    // false for anything but this section's own buttons.
    bool OnGroupClicked(GroupButton* button);
    // Card buttons are for everyone: watching the other card is no change.
    void Enable(bool enable);

private:
    void SelectCard(uint8_t card);

    const PanelContext& context_;
    std::atomic<uint8_t>& shownCard_;
    FanSection& fan_;
    OverclockSection& overclock_;
    GroupButton masterButton_, slaveButton_;
    ButtonGroup cardGroup_;
};
