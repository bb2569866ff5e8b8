#pragma once
// The object behind the main window. It builds the panel, section by
// section in the order the controls depend on each other, sends each
// control's notification to the section that owns the control, and hands
// the live values to the monitor thread's displays.
//
// Where each part lives:
//   MainPanel.cpp        the window's class, creation, hiding to the tray, Quit
//   MainWindow.cpp       the window procedure, the system menu, paint, drag
//   PanelBuild.cpp       the build, the displays and the bottom buttons
//   PanelDispatch.cpp    which section a control's notification goes to
//   PanelPaint.cpp       the texts and frames painted on the skin
//   MonitorThread.cpp    the monitor thread, the displays, the clock trial
//   CardAlarms.cpp       a card in danger: its message and the tray's tip
//   PowerEvents.cpp      sleep and wake
//   SettingsOnPanel.cpp  the saved hardware settings, Restore defaults
//   PanelDialogs.cpp     About (and the news it lists), Settings
//   BiosButton.cpp       the BIOS button
// and the sections, each owning its controls and handlers:
//   TraySection          the tray icon, its tip and its menu
//   FanSection           Auto/Manual, the fan slider, the fan sync
//   OverclockSection     the clock sliders, 2D/3D, Link, Test and Apply
//                        (Test and Apply in TestAndApply.cpp)
//   CardSwitchSection    Master and Slave

#include <windows.h>

#include <atomic>
#include <stdint.h>

#include "BitmapButton.h"
#include "BitmapShape.h"
#include "CardGuard.h"
#include "CardSwitchSection.h"
#include "FanSection.h"
#include "GdiHolders.h"
#include "GroupButton.h"
#include "HandleHolders.h"
#include "OverclockSection.h"
#include "PanelContext.h"
#include "ProgramRegistry.h"
#include "StartMode.h"
#include "StaticText.h"
#include "TraySection.h"

// The main window's class; a second instance looks for it.
extern const wchar_t kMainWindowClass[];

class MainPanel : private WalkNeighbours {
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
    RegistryFlags registry;

private:
    // The window (MainWindow.cpp).
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    void OnBuildPanel();
    void AddAboutToSystemMenu();
    void Paint();
    void DragTo(int cursorX, int cursorY);

    // The window's life (MainPanel.cpp).
    void HideToTray();
    void QuitProgram();

    // The build (PanelBuild.cpp).
    void BuildPanel();
    void CreateSliders();
    void CreateGroupButtons();
    void CreateDisplays();
    void FillCard1();
    void ApplyLanguageTexts();
    void LockControlsForNonAdministrator();
    void ShowSettingsOnPanel();
    // WalkNeighbours: Restore defaults and the BIOS button change a walk's
    // card as the card buttons do.
    void EnableWalkNeighbours(bool enable, bool administrator) override;

    // Notifications (PanelDispatch.cpp).
    void OnCheckClicked(CheckBox* box);
    void OnRadioClicked(RoundRadio* radio);
    void OnButtonClicked(TextButton* button);
    void OnGroupClicked(GroupButton* button);
    void OnSliderMoved(SliderHandle* handle);
    void OnSliderReleased(SliderHandle* handle);

    // Painting of the texts and frames on the skin (PanelPaint.cpp).
    void PaintPanel(HDC dc);

    // The monitor thread (MonitorThread.cpp).
    void StartMonitorThread();
    static unsigned __stdcall MonitorThreadMain(void* self);
    void MonitorFan(uint8_t gpu, bool current, GuardReading* reading);
    bool MonitorClocksAndTemperature(uint8_t gpu, bool current, GuardReading* reading);
    void FollowClockTrial(bool cardsAnswered);

    // Alarms, sleep and wake (CardAlarms.cpp, PowerEvents.cpp).
    void OnCardAlarm(WPARAM gpu, LPARAM events);
    void ShowTrayTip();
    void OnPowerBroadcast(WPARAM event);
    void PutSettingsBackAfterSleep();

    // The saved hardware settings (SettingsOnPanel.cpp).
    void LoadHardwareSettings();
    void TellClocksLeftOut();
    void RestoreDefaultHardwareSettings();

    // The bottom buttons' dialogs (PanelDialogs.cpp, BiosButton.cpp).
    void StartNewsFetch();
    void ShowAboutDialog();
    void ShowSettingsDialog();
    void ChooseBios();

    HardwareObject& Hardware() const { return *services_.hardware; }
    CardSettings& Cards() const { return *services_.cards; }
    HFONT Font(int number) const { return context_.Font(number); }
    bool IsAdministrator() const { return context_.IsAdministrator(); }

    PanelServices services_;
    std::atomic<uint8_t> currentCard_{0};
    // Declared before the sections, which keep a reference to it.
    const PanelContext context_{window, services_, currentCard_};

    // The sections, in the order the build first makes their controls.
    FanSection fan_{context_};
    OverclockSection overclock_{context_, *this};
    CardSwitchSection cardSwitch_{context_, currentCard_, fan_, overclock_};
    TraySection tray_{context_};

    BitmapShape shape_;  // the skin the window is cut from
    GroupButton aboutButton_, settingsButton_, restoreButton_, biosButton_;
    ButtonGroup aboutGroup_, settingsGroup_, restoreGroup_, biosGroup_;
    StaticText gpuClockDisplay_, shaderClockDisplay_, memoryClockDisplay_, temperatureDisplay_, fanSpeedDisplay_;
    StaticText logo_;
    BitmapButton minimiseButton_, closeButton_;
    HWND focusControl_ = nullptr;

    HandleHolder monitorThread_;
    bool ending_ = false;  // the program is quitting: nothing goes back to the tray
    // The saved clocks applied at the build are on trial; the monitor
    // thread alone reads and writes these once it runs.
    bool clockTrialOpen_ = false;
    DWORD clockTrialSince_ = 0;
    // Each card's watch, kept by the monitor thread alone.
    CardGuard guards_[kMaxGpus];
    // The alarms in force per card (GuardEvent bits of the raising kind),
    // kept by the interface thread.
    unsigned alarms_[kMaxGpus] = {};
    bool alarmShowing_ = false;
    BitmapHolder aboutMenuBitmap_;
    bool created_ = false;
    POINT pressPoint_ = {0, 0};
};
