#pragma once
// The user's hardware settings kept across runs in "DM_CurrSettings.txt":
// saved from the cards and the panel's state, applied back to the cards at
// the next start, and the defaults the restore button goes back to. Below
// the panel, so that the apply-only start, which has no panel, shares it.

#include <stdint.h>

#include "HardwareTypes.h"

class HardwareObject;
class CardSettings;

enum SettingsSaveResult {
    kSettingsSaved = 0,
    kSettingsSaveAbandoned = 1,  // a card's clocks could not be read
    kSettingsFileFailed = 2,     // the new file could not be written or put in place
};

// Writes every card's section: its device key and fan work mode, the fan
// speed (fanSliderValue for selectedCard, the stored manual speed for the
// other), and the clocks of its levels as the card reports them now. The new
// text goes to a file beside the old one, which it then replaces in one
// step: whatever fails or stops the save, the old file stays whole.
SettingsSaveResult SaveSettingsFile(HardwareObject& hw, const CardSettings& cards, uint8_t selectedCard,
                                    uint32_t fanSliderValue, const wchar_t* fileName);

// Reads the file and applies each section whose GPU_Id still names the card
// in its slot: fan mode and manual speed, the five clocks, then each level
// the card has is tried and applied, and on success the clocks become the
// card's references. Silent on every failure; a refused level is left as it
// was. Without withClocks only the fan settings are taken. Returns how many
// cards' sections were applied.
int ApplySettingsFile(HardwareObject& hw, CardSettings& cards, const wchar_t* fileName, bool withClocks = true);

// Tests only: called between writing the new file and putting it in place,
// with the name of the file written.
extern void (*gSettingsBeforeReplaceForTests)(const wchar_t* writtenFile);
