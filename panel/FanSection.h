#pragma once
// The fan section: the Auto and Manual boxes, the fan slider, the 1500 ms
// sync that makes them follow the card, and who may use them. The two
// hidden sliders live here too: the first holds what goes into each monitor
// chip's full-speed temperature register.

#include <stdint.h>

#include "CheckBox.h"
#include "PanelContext.h"
#include "PanelPaint.h"
#include "Slider.h"

class FanSection {
public:
    explicit FanSection(const PanelContext& context) : context_(context) {}
    FanSection(const FanSection&) = delete;
    FanSection& operator=(const FanSection&) = delete;

    // The build, in the panel's order: the boxes, then the sliders, then
    // their ranges.
    void CreateBoxes();
    void CreateSliders();
    void SetSliderRanges();
    void ApplyLanguageTexts();
    // The monitor limit slider's value onto the card and into its settings.
    void ApplyMonitorLimit(uint8_t card);
    // The saved fan settings of the card shown, at the build.
    void ShowCardSettings(uint8_t card);

    // The control objects come in lParam of messages any process can post:
    // each answers false for anything but its own controls.
    bool OnCheckClicked(CheckBox* box);
    bool OnSliderMoved(SliderHandle* handle);
    bool OnSliderReleased(SliderHandle* handle);
    void OnSyncTimer();

    // A card switch: the card left keeps the section's values, the card
    // chosen shows its own.
    void SaveIntoCard(uint8_t card);
    void LoadCard(uint8_t card);

    // The card's own automatic fan control; false when it could not be set.
    bool FanToAutomatic(uint8_t card);
    // Brings a fan speed inside the card's silent..maximum range; false when
    // the card's range is unknown.
    bool ClampFanSpeed(uint8_t card, uint32_t* value) const;
    // Shows Auto checked without touching the card.
    void ShowAutomatic();
    // Auto, as if the user had clicked it.
    void SwitchToAutomatic();
    void SetMonitorLimitSlider(int64_t value);
    uint32_t SliderSpeed() const { return (uint32_t)slider_.GetValue(); }

    void ApplyPrivilege();
    void LockForNonAdministrator();
    void Paint(const SkinText& paint) const;

private:
    void OnFanModeClicked(CheckBox* box);
    void AutoFanMode();
    void ShowFanModeBoxes(CheckBox* box);
    void SetManualFanSpeed(uint32_t value, bool write, bool move);
    void MoveFanSlider(uint32_t value, bool force);

    const PanelContext& context_;
    CheckBox autoBox_, manualBox_;
    Slider slider_, auxSlider1_, auxSlider2_;
    bool dragging_ = false;
};
