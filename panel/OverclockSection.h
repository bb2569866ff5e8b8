#pragma once
// The overclocking section: the GPU, shader and memory sliders with their
// step buttons, the Link box, the 2D/3D switch, Test and Apply, and the
// clocks each card has been shown to take. Test walks the card to the
// sliders' clocks on a worker thread; Test and Apply are in TestAndApply.cpp.

#include <windows.h>

#include <atomic>
#include <stdint.h>

#include "CheckBox.h"
#include "ClockWalk.h"
#include "HandleHolders.h"
#include "PanelContext.h"
#include "PanelPaint.h"
#include "RoundRadio.h"
#include "Slider.h"
#include "TextButton.h"

struct TestJob;

// The panel's other controls that change a walk's card or clocks: the card
// buttons, Restore defaults and the BIOS button. Called on whichever thread
// locks or unlocks the section, as the section's own controls are.
class WalkNeighbours {
public:
    virtual void EnableWalkNeighbours(bool enable, bool administrator) = 0;

protected:
    ~WalkNeighbours() = default;
};

class OverclockSection {
public:
    OverclockSection(const PanelContext& context, WalkNeighbours& neighbours)
        : context_(context), neighbours_(neighbours) {}
    OverclockSection(const OverclockSection&) = delete;
    OverclockSection& operator=(const OverclockSection&) = delete;

    // The build, in the panel's order.
    void CreateLinkBox();
    void CreateSliders();
    void SetSliderRanges();
    // A card's 2D and 3D clocks into its settings as the references and the
    // clocks it runs with; the first card's also onto the sliders.
    void FillCardClocks(uint8_t card, bool moveSliders);
    void CreateButtons();
    void CreateLevelRadios();
    void ApplyLanguageTexts();
    // The saved clocks of the card shown, at the build.
    void ShowCardSettings(uint8_t card);

    // The control objects come in lParam of messages any process can post:
    // each answers false for anything but its own controls. The Link box
    // only toggles itself; the link is read when a clock slider moves.
    bool OnRadioClicked(RoundRadio* radio);
    bool OnButtonClicked(TextButton* button);
    bool OnSliderMoved(SliderHandle* handle);
    bool OnSliderReleased(SliderHandle* handle);

    // A card switch: the card left keeps the sliders' clocks and level, the
    // card chosen shows its own.
    void SaveIntoCard(uint8_t card);
    void LoadCard(uint8_t card);
    // After a card or level switch: every slider's painted values.
    void InvalidateClockValues();

    // Restore defaults: the 2D level is shown (where the card has both),
    // then the card's reference clocks, and nothing is left to apply.
    void ShowLevel2D();
    void MoveClockSliders(const LevelClocks& clocks);
    void ForgetProvenClocks(uint8_t card);

    // Every control that changes a walk's card, level or targets: the level
    // switch, the link, the clock sliders and their step buttons, and the
    // neighbours'. Enabling gives back only what the user may use and the
    // shown card has.
    void EnableWalkTargets(bool enable);
    // Apply is offered only while the shown card's sliders, at the shown
    // level, are exactly clocks a passed walk or a successful Apply put on
    // that card.
    void RefreshApply();
    void LockForNonAdministrator();
    void Paint(const SkinText& paint) const;

    // A Test walk runs from the moment it has read its start clocks until
    // its result has been shown.
    bool WalkRunning() const { return workerRunning_.load(); }
    // Cancels a running Test walk and waits up to waitMs for it, answering
    // this thread's messages and closing its result box meanwhile; false
    // when it did not end in time.
    bool StopWorker(DWORD waitMs);

private:
    struct ProvenClocks {
        bool valid = false;
        bool level2D = true;
        ClockTriple clocks = {0, 0, 0};
    };

    void FollowLink(Slider* moved);
    void OnClockSliderMoved(Slider* slider);
    void OnLevelSwitch(RoundRadio* radio);
    void ShowLevelOnSliders(uint8_t card);
    bool Level2DShown() const { return levelGroup_.Selected() != &radio3D_; }
    bool ShownClocksRead() const;
    // Shows a clock on its slider, at the nearest end when it lies outside
    // the range: the slider keeps no value of another card or level.
    static void ShowClock(Slider& slider, int64_t clock);
    const RECT& ValueRect(const Slider* slider) const;

    // Test and Apply (TestAndApply.cpp).
    void RememberProvenClocks(uint8_t card, bool level2D, const ClockTriple& clocks);
    void ApplyClocks();
    void StartOrCancelTest();
    static unsigned __stdcall TestClocksMain(void* job);
    void TestClocks(TestJob& job);
    // tried: the walk put trial clocks on the card, so a walk that did not
    // pass puts the card back at present.
    void FinishTest(const TestJob& job, bool done, bool failed, const ClockTriple& reached, const ClockTriple& present,
                    bool tried);
    void PutBackWalkStart(const TestJob& job, const ClockTriple& present);
    void LockOverclocking();
    void UnlockOverclocking();

    const PanelContext& context_;
    WalkNeighbours& neighbours_;
    Slider gpuSlider_, shaderSlider_, memorySlider_;
    TextButton gpuUp_, gpuDown_, shaderUp_, shaderDown_, memoryUp_, memoryDown_;
    CheckBox linkBox_;
    RoundRadio radio2D_, radio3D_;
    RadioGroup levelGroup_;
    TextButton testButton_, applyButton_;
    ProvenClocks proven_[kMaxGpus];
    // Whether the build could read each card's 2D [0] and 3D [1] clocks: a
    // level whose clocks are unknown offers nothing to tune.
    bool clocksRead_[kMaxGpus][2] = {{true, true}, {true, true}};

    HandleHolder workerThread_;
    DWORD workerId_ = 0;  // while workerThread_ is held
    // The Test walk's thread while it runs; read and cleared across threads.
    std::atomic<DWORD> workerThreadId_{0};
    std::atomic<bool> workerRunning_{false};
    std::atomic<bool> quitting_{false};
};
