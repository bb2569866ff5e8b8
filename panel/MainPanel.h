#pragma once
// The object behind the main window: every control on the skin, the state
// the panel keeps between messages, and the handlers the controls' messages
// reach. Its methods are spread over small files by purpose: the window
// procedure, the build, the dispatch, the painting, the monitor thread, the
// fan controls.

#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <stdint.h>

#include "BitmapButton.h"
#include "BitmapShape.h"
#include "CardGuard.h"
#include "CardSettings.h"
#include "CheckBox.h"
#include "ClockWalk.h"
#include "GdiHolders.h"
#include "GroupButton.h"
#include "HandleHolders.h"
#include "HardwareObject.h"
#include "OwnerDrawnMenu.h"
#include "PanelFonts.h"
#include "ProgramRegistry.h"
#include "RoundRadio.h"
#include "Slider.h"
#include "StartMode.h"
#include "StaticText.h"
#include "TextButton.h"
#include "UserPrivilege.h"

// The main window's class; a second instance looks for it.
extern const wchar_t kMainWindowClass[];

// What start-up hands the panel before its window exists. Everything here
// outlives the panel's threads (start-up stops them before teardown).
struct PanelServices {
    HardwareObject* hardware = nullptr;
    CardSettings* cards = nullptr;
    HFONT fonts[kPanelFontCount] = {};  // as PanelFonts.h numbers them, from 1
    UserPrivilege privilege = kPrivilegeGuest;
};

class MainPanel {
public:
    MainPanel();  // reads the registry options
    ~MainPanel();
    MainPanel(const MainPanel&) = delete;
    MainPanel& operator=(const MainPanel&) = delete;

    static bool RegisterClass(HINSTANCE instance);

    void Attach(const PanelServices& services) { services_ = services; }

    // Creates the main window once; later calls return true and do nothing.
    bool CreateMainWindow(HINSTANCE instance);

    // Stops the fan timer, a Test walk and the monitor thread within about
    // waitMs. False when a thread did not end in time: then nothing it uses
    // may be freed.
    static constexpr DWORD kBackgroundStopWaitMs = 2800;
    bool StopBackgroundWork(DWORD waitMs = kBackgroundStopWaitMs);

    // The card the panel shows; the monitor thread reads it once a cycle.
    uint8_t CurrentCard() const { return currentCard_.load(); }

    // Writes the saved hardware settings file when the user keeps settings
    // across runs (RestoreUserSettings): the fan slider's position for the
    // card shown, the clocks the cards run with.
    void SaveHardwareSettings();

    // One pass over the cards: fan speed, clocks and temperature into the
    // value displays. The monitor thread runs it every 600 ms; benchmarks
    // and tests may run it directly.
    void MonitorCycle();

    HWND window = nullptr;
    StartMode startMode = kStartInteractive;
    DWORD monitorThreadId = 0;
    // The Test walk's thread while it runs; read and cleared across threads.
    std::atomic<DWORD> workerThreadId{0};
    std::atomic<bool> workerRunning{false};
    bool fanSliderDragging = false;
    RegistryFlags registry;
    BitmapShape shape;  // the skin the window is cut from

    Slider gpuSlider, shaderSlider, memorySlider, fanSlider, auxSlider1, auxSlider2;
    CheckBox autoBox, manualBox, linkBox;
    RoundRadio radio2D, radio3D;
    RadioGroup levelGroup;
    TextButton testButton, applyButton;
    TextButton gpuUp, gpuDown, shaderUp, shaderDown, memoryUp, memoryDown;
    GroupButton masterButton, slaveButton, aboutButton, settingsButton, restoreButton, biosButton;
    ButtonGroup cardGroup, aboutGroup, settingsGroup, restoreGroup, biosGroup;
    StaticText gpuClockDisplay, shaderClockDisplay, memoryClockDisplay, temperatureDisplay, fanSpeedDisplay;
    StaticText logo;
    BitmapButton minimiseButton, closeButton;
    HWND focusControl = nullptr;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    void OnBuildPanel();
    void AddAboutToSystemMenu();
    void StartMonitorThread();
    void Paint();
    void DragTo(int cursorX, int cursorY);

    // The build (PanelBuild.cpp).
    void BuildPanel();
    void CreateFanAndLinkBoxes();
    void CreateSliders();
    void SetSliderRanges();
    void FillCardClocks(uint8_t card, bool moveSliders);
    void MoveClockSliders(const LevelClocks& clocks);
    void CreateButtons();
    void CreateGroupButtons();
    void CreateDisplays();
    void CreateLevelRadios();
    void FillCard1();
    void ApplyLanguageTexts();

    // Notifications (PanelDispatch.cpp).
    void OnCheckClicked(CheckBox* box);
    void OnRadioClicked(RoundRadio* radio);
    void OnButtonClicked(TextButton* button);
    void OnGroupClicked(GroupButton* button);
    void OnSliderMoved(SliderHandle* handle);
    void OnSliderReleased(SliderHandle* handle);
    // The panel's slider whose handle this is, or null for anything else.
    Slider* OwnSlider(SliderHandle* handle);
    void OnAuxSliderReleased();

    // Painting of the texts and frames on the skin (PanelPaint.cpp).
    void PaintPanel(HDC dc);

    // Fan controls and the fan sync (FanControls.cpp).
    void OnFanModeClicked(CheckBox* box);
    void AutoFanMode();
    // The card's own automatic fan control; false when it could not be set.
    bool FanToAutomatic(uint8_t card);
    void ShowFanModeBoxes(CheckBox* box);
    // After a card or level switch: every slider's painted values.
    void InvalidateClockValues();
    void SetManualFanSpeed(uint32_t value, bool write, bool move);
    // Brings a fan speed inside the card's silent..maximum range; false when
    // the card's range is unknown.
    bool ClampFanSpeed(uint8_t card, uint32_t* value) const;
    void OnFanSliderMoved();
    void OnFanSliderReleased();
    void OnFanSyncTimer();
    void MoveFanSlider(uint32_t value, bool force);
    void ApplyPrivilegeToFanControls();
    void LockControlsForNonAdministrator();

    // Card switching (CardSwitch.cpp).
    void SelectCard(uint8_t card);
    void SavePanelIntoCard(uint8_t card);
    void LoadCardIntoPanel(uint8_t card);

    // Overclocking (Overclocking.cpp).
    void OnClockSliderMoved(Slider* slider);
    void OnClockSliderReleased(Slider* slider);
    void FollowLink(Slider* moved);
    void OnLevelSwitch(RoundRadio* radio);
    void ShowLevelOnSliders(uint8_t card);
    void StartOrCancelTest();
    static unsigned __stdcall TestClocksMain(void* job);
    void TestClocks(struct TestJob& job);
    // tried: the walk put trial clocks on the card, so a walk that did not
    // pass puts the card back at present.
    void FinishTest(const struct TestJob& job, bool done, bool failed, const ClockTriple& reached,
                    const ClockTriple& present, bool tried);
    void LockOverclocking();
    void UnlockOverclocking();
    // Every control that changes a walk's card, level or targets: the level
    // switch, the link, the clock sliders and their step buttons, the card
    // buttons, Restore defaults and the BIOS button. Enabling gives back
    // only what the user may use and the shown card has.
    void EnableWalkTargets(bool enable);
    // Apply is offered only while the shown card's sliders, at the shown
    // level, are exactly clocks a passed walk or a successful Apply put on
    // that card.
    void RefreshApply();
    void RememberProvenClocks(uint8_t card, bool level2D, const ClockTriple& clocks);
    void PutBackWalkStart(const struct TestJob& job, const ClockTriple& present);
    // Cancels a running Test walk and waits up to waitMs for it, answering
    // this thread's messages and closing its result box meanwhile; false
    // when it did not end in time.
    bool StopWorker(DWORD waitMs);
    void ApplyClocks();
    bool IsAdministrator() const;

    // Handlers that belong to the parts of the panel still to come; each
    // does nothing yet (PendingHandlers.cpp).
    void ShowAboutDialog();
    void ShowSettingsDialog();
    void RestoreDefaultHardwareSettings();
    void ChooseBios();
    // The tray icon and its menu (Tray.cpp).
    void PrepareTray();
    void AddTrayIcon();
    void OnTrayRetryTimer();
    void LetExplorerRestartsThrough();
    void HideToTray();
    void QuitProgram();
    LRESULT OnTrayNotify(LPARAM mouseMessage);
    LRESULT OnMenuItemMessage(UINT msg, LPARAM lParam);
    void StartNewsFetch();
    void LoadHardwareSettings();
    void ShowSettingsOnPanel();

    static unsigned __stdcall MonitorThreadMain(void* self);

    HardwareObject& Hardware() const { return *services_.hardware; }
    CardSettings& Cards() const { return *services_.cards; }
    HFONT Font(int number) const;

    PanelServices services_;
    std::atomic<uint8_t> currentCard_{0};
    HandleHolder monitorThread_;
    HandleHolder workerThread_;
    DWORD workerId_ = 0;  // while workerThread_ is held
    OwnerDrawnMenu trayMenu_;
    NOTIFYICONDATAW trayIcon_ = {};
    bool trayIconShown_ = false;
    int trayRetriesLeft_ = 0;
    // Explorer announces a restart with this message; the icon must be
    // added again then.
    UINT taskbarCreated_ = 0;
    std::atomic<bool> quitting_{false};
    bool ending_ = false;  // the program is quitting: nothing goes back to the tray
    // The saved clocks applied at the build are on trial; the monitor
    // thread alone reads and writes these once it runs.
    bool clockTrialOpen_ = false;
    DWORD clockTrialSince_ = 0;
    void FollowClockTrial(bool cardsAnswered);
    void MonitorFan(uint8_t gpu, bool current, GuardReading* reading);
    bool MonitorClocksAndTemperature(uint8_t gpu, bool current, GuardReading* reading);
    // Each card's watch, kept by the monitor thread alone.
    CardGuard guards_[kMaxGpus];
    // The alarms in force per card (GuardEvent bits of the raising kind),
    // kept by the interface thread.
    unsigned alarms_[kMaxGpus] = {};
    bool alarmShowing_ = false;
    void OnCardAlarm(WPARAM gpu, LPARAM events);
    void OnPowerBroadcast(WPARAM event);
    void PutSettingsBackAfterSleep();
    void ShowTrayTip();
    void TellClocksLeftOut();
    struct ProvenClocks {
        bool valid = false;
        bool level2D = true;
        ClockTriple clocks = {0, 0, 0};
    };
    ProvenClocks proven_[kMaxGpus];
    // Whether the build could read each card's 2D [0] and 3D [1] clocks: a
    // level whose clocks are unknown offers nothing to tune.
    bool clocksRead_[kMaxGpus][2] = {{true, true}, {true, true}};
    bool ShownClocksRead() const;
    // Shows a clock on its slider, at the nearest end when it lies outside
    // the range: the slider keeps no value of another card or level.
    static void ShowClock(Slider& slider, int64_t clock);
    BitmapHolder aboutMenuBitmap_;
    bool created_ = false;
    POINT pressPoint_ = {0, 0};
};
