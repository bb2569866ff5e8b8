// Tuning the card from the panel of the built program, with real mouse and
// keyboard input; the virtual card's counters and state are the witness.

#include <vector>

#include "LanguageState.h"
#include "PanelExeFixture.h"

namespace {

// Places of controls the tests press, in the main window's client area.
const POINT kLinkBox = {238, 143};
const POINT kRadio3D = {318, 143};
const POINT kRadio2D = {297, 143};
const POINT kSlaveButton = {257, 316};
const POINT kMasterButton = {213, 316};
const int kGpuHandle = 40;
const int kShaderHandle = 92;
const int kFanHandle = 42;

void Keys(WORD key, int downs, bool up) {
    for (int i = 0; i < downs; i++) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        SendInput(1, &in, sizeof(in));
    }
    if (up) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(1, &in, sizeof(in));
    }
    Sleep(150);
}

VcardCounters Counters() {
    VcardCounters c = {};
    VcardGetCounters(&c);
    return c;
}

// Drags a slider's handle by dx pixels with the mouse.
void DragHandle(HWND main, HWND handle, int dx) {
    RECT r = PlaceInClient(main, handle);
    POINT from = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(main, &from);
    PointerToScreen(from.x, from.y);
    LeftButton(true);
    for (int step = 1; step <= 4; step++)
        PointerToScreen(from.x + dx * step / 4, from.y);
}

}  // namespace

class TuningExe : public PanelExe {
protected:
    void QuitWithin3s(HWND main) {
        const DWORD quit = GetTickCount();
        PostMessageW(main, WM_COMMAND, 202, 0);
        DWORD code = 99;
        EXPECT_TRUE(panel_.WaitForExit(3000, &code));
        EXPECT_LT(GetTickCount() - quit, 3000u);
        EXPECT_EQ(0u, code);
    }

    // Runs a Test walk to the sliders' values and returns the trials made.
    uint32_t TestWalk(HWND main, int resultTextId) {
        VcardResetCounters();
        Click(main, kTestButton);
        EXPECT_TRUE(Answer(71, IDYES)) << "the warning before a test";
        EXPECT_TRUE(Answer(resultTextId, IDOK)) << "result " << resultTextId;
        // The walk's own thread unlocks the controls and offers Apply once
        // its result box has returned: wait for the unlock, then for the
        // moment that follows it.
        for (DWORD start = GetTickCount(); !IsWindowEnabled(Control(main, 40)) && GetTickCount() - start < 3000;)
            Sleep(20);
        Sleep(100);
        return Counters().calls[kVcardCallPerfSet];
    }

    static VcardLevelInfo RunningLevel(int gpu = 0) {
        VcardCardInfo info;
        VcardGetCardInfo(gpu, &info);
        return info.level[info.runningLevel];
    }
};

// A drag whose capture is taken away (a modal loop sends WM_CANCELMODE)
// writes the fan once, as a release would; the late button release adds
// nothing, and the fan sync follows the card again.
TEST_F(TuningExe, LostCaptureDuringAFanDragWritesOnce) {
    HWND main = Start("driver-fan");
    ASSERT_TRUE(main != NULL);
    Click(main, kManualBox);
    HWND handle = Control(main, kFanHandle);
    Sleep(300);
    VcardResetCounters();
    DragHandle(main, handle, 30);
    SendMessageW(handle, WM_CANCELMODE, 0, 0);
    Sleep(300);
    EXPECT_EQ(1u, Counters().calls[kVcardCallCoolerSet]);
    LeftButton(false);
    Sleep(300);
    EXPECT_EQ(1u, Counters().calls[kVcardCallCoolerSet]) << "the late release";
}

// A manual speed that could not be read at start (stored as 0) is not what
// Manual writes: the fan gets at least its silent speed, never the slowest
// count the chip has.
TEST_F(TuningExe, UnreadManualSpeedNeverStopsTheFan) {
    HWND main = Start("monitorchip", L"2", [] { VcardFailI2c(0, 0x5C, 0x74, true, kVcardI2cRead); });
    ASSERT_TRUE(main != NULL);
    VcardClearFaults();
    Click(main, kManualBox);
    Sleep(300);
    uint8_t high = 0, low = 0;
    ASSERT_TRUE(VcardReadRegister(0, 0x5C, 0x74, &high));
    ASSERT_TRUE(VcardReadRegister(0, 0x5C, 0x75, &low));
    EXPECT_NE(0xFFFF, high << 8 | low) << "the slowest count: a crawling fan";
}

// On a card without a shader clock its greyed slider takes no step.
TEST_F(TuningExe, ShaderStepsDoNothingWithoutAShaderClock) {
    HWND main = Start("no-shader");
    ASSERT_TRUE(main != NULL);
    HWND shader = Control(main, kShaderHandle);
    EXPECT_FALSE(IsWindowEnabled(shader));
    const RECT before = PlaceInClient(main, shader);
    for (HWND step : ControlsWithId(main, 235)) {
        RECT r = PlaceInClient(main, step);
        Click(main, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, 3);
    }
    EXPECT_EQ(before.left, PlaceInClient(main, shader).left);
}

// The card is not touched while the fan slider is dragged or an arrow key
// held: one write with the final value when the user lets go.
TEST_F(TuningExe, FanSliderWritesOnceOnRelease) {
    HWND main = Start("driver-fan");
    ASSERT_TRUE(main != NULL);
    Click(main, kManualBox);
    HWND handle = Control(main, kFanHandle);
    ASSERT_TRUE(IsWindowVisible(handle));
    Sleep(300);
    VcardCardInfo before;
    VcardGetCardInfo(0, &before);
    VcardResetCounters();
    DragHandle(main, handle, 40);
    EXPECT_EQ(0u, Counters().calls[kVcardCallCoolerSet]) << "written while dragged";
    LeftButton(false);
    Sleep(300);
    EXPECT_EQ(1u, Counters().calls[kVcardCallCoolerSet]);
    VcardCardInfo after;
    VcardGetCardInfo(0, &after);
    EXPECT_GT(after.coolerLevel, before.coolerLevel);
    EXPECT_EQ(1u, after.coolerPolicy);

    VcardResetCounters();
    Keys(VK_LEFT, 5, false);  // held: the key repeats
    EXPECT_EQ(0u, Counters().calls[kVcardCallCoolerSet]) << "written while the key was held";
    Keys(VK_LEFT, 0, true);
    Sleep(200);
    EXPECT_EQ(1u, Counters().calls[kVcardCallCoolerSet]);
    VcardGetCardInfo(0, &before);
    EXPECT_EQ(after.coolerLevel - 5, before.coolerLevel);
}

// A chip back from sleep at its power-on defaults: the sync keeps still
// while the machine sleeps, and the wake puts the user's manual speed back.
TEST_F(TuningExe, WakingFromSleepPutsTheManualSpeedBack) {
    VcardCardInfo chosen;
    HWND main = StartManual("monitorchip", &chosen);
    ASSERT_TRUE(main != NULL);
    PostMessageW(main, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    Sleep(300);
    ASSERT_TRUE(VcardWriteRegister(0, chosen.monitorChipAddress, 0x60, 0x00));  // automatic, as at power-on
    Sleep(2000);  // a fan sync, were it running, would adopt that
    PostMessageW(main, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    Sleep(500);
    VcardCardInfo woken;
    ASSERT_TRUE(VcardGetCardInfo(0, &woken));
    EXPECT_TRUE(woken.fanManual) << "the manual mode back on the chip";
    EXPECT_NEAR(chosen.fanTargetRpm, woken.fanTargetRpm, 30.0);
}

// Another program switching the card's fan between manual and automatic
// flips the panel's fan mode within the 1.5 s sync.
TEST_F(TuningExe, FanModeFollowsTheCard) {
    HWND main = Start("monitorchip");
    ASSERT_TRUE(main != NULL);
    const RECT autoTick = {80, 138, 88, 146}, manualTick = {130, 138, 138, 146};
    const COLORREF tick = RGB(255, 0, 0);
    ShownAndPainted(main);
    EXPECT_GT(ScreenPicture(main).Count(autoTick, tick, 60), 3);
    uint8_t mode = 0;
    ASSERT_TRUE(VcardReadRegister(0, 0x5C, 0x60, &mode));
    ASSERT_TRUE(VcardWriteRegister(0, 0x5C, 0x60, mode | 0x01));
    bool manual = false;
    for (DWORD start = GetTickCount(); !manual && GetTickCount() - start < 2000; Sleep(100)) {
        manual = ScreenPicture(main).Count(manualTick, tick, 60) > 3;
    }
    EXPECT_TRUE(manual) << "the panel shows Manual";
    ASSERT_TRUE(VcardReadRegister(0, 0x5C, 0x60, &mode));
    ASSERT_TRUE(VcardWriteRegister(0, 0x5C, 0x60, mode & ~0x01));
    bool automatic = false;
    for (DWORD start = GetTickCount(); !automatic && GetTickCount() - start < 2000; Sleep(100)) {
        automatic = ScreenPicture(main).Count(autoTick, tick, 60) > 3;
    }
    EXPECT_TRUE(automatic) << "the panel shows Auto again";
}

// Master -> Slave -> Master: each card's sliders and level as the user left
// them; the displays show the chosen card.
TEST_F(TuningExe, CardSwitchKeepsEachCardsControls) {
    HWND main = Start("sli");
    ASSERT_TRUE(main != NULL);
    HWND gpuHandle = Control(main, kGpuHandle);
    Click(main, kManualBox);
    Click(main, kGpuUp, 3);
    RECT left2D = PlaceInClient(main, gpuHandle);
    Click(main, kRadio3D);
    Click(main, kGpuDown, 2);
    RECT left3D = PlaceInClient(main, gpuHandle);

    Click(main, kSlaveButton);
    VcardCardInfo slave;
    ASSERT_TRUE(VcardGetCardInfo(1, &slave));
    EXPECT_TRUE(WaitForText(Control(main, kGpuClockDisplay), std::to_wstring(slave.coreKHz / 1000), 1500))
        << "shows " << DisplayText(Control(main, kGpuClockDisplay)).c_str();

    Click(main, kMasterButton);
    RECT back = PlaceInClient(main, gpuHandle);
    EXPECT_EQ(left3D.left, back.left) << "the 3D GPU slider as left";
    ShownAndPainted(main);
    const RECT manualTick = {130, 138, 138, 146};
    EXPECT_GT(ScreenPicture(main).Count(manualTick, RGB(255, 0, 0), 60), 3) << "Manual as left";
    Click(main, kRadio2D);
    back = PlaceInClient(main, gpuHandle);
    EXPECT_EQ(left2D.left, back.left) << "the 2D GPU slider as left";
}

// After a card or level switch the painted clock values are the new ones
// everywhere: the screen matches a full repaint of the window.
TEST_F(TuningExe, SwitchesLeaveNoOldValuesPainted) {
    HWND main = Start("sli");
    ASSERT_TRUE(main != NULL);
    ShownAndPainted(main);
    const RECT rows = {255, 159, 456, 217};
    auto paintedRows = [&] {
        Sleep(400);
        return ScreenPicture(main).Pixels(rows);
    };
    for (POINT control : {kSlaveButton, kRadio3D, kMasterButton}) {
        Click(main, control);
        const std::vector<COLORREF> shown = paintedRows();
        RedrawWindow(main, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_TRUE(shown == paintedRows()) << "stale values after the click at " << control.x << ", " << control.y;
    }
}

// Test walks to the GPU slider in 5 MHz trials; Apply makes it the level's
// clock. A refused trial fails the test and brings the slider back.
TEST_F(TuningExe, TestWalksInStepsAndApplyWrites) {
    HWND main = Start("monitorchip");
    ASSERT_TRUE(main != NULL);
    uint32_t present = RunningLevel().frequency[0];
    Click(main, kGpuUp, 12);
    EXPECT_EQ(3u, TestWalk(main, 4)) << "+5, +10, +12 MHz";
    EXPECT_EQ(present + 12000, RunningLevel().trial[0]);
    EXPECT_TRUE(IsWindowEnabled(Control(main, 49))) << "Apply after a passed test";
    Click(main, kApplyButton);
    EXPECT_TRUE(Answer(6, IDOK));
    EXPECT_EQ(present + 12000, RunningLevel().frequency[0]);

    Click(main, kGpuDown, 24);
    EXPECT_EQ(5u, TestWalk(main, 4)) << "-5, -10, -15, -20, -24 MHz";
    EXPECT_EQ(present - 12000, RunningLevel().trial[0]);

    RECT reference = PlaceInClient(main, Control(main, kGpuHandle));
    const uint32_t beforeRefusal = RunningLevel().trial[0];
    Click(main, kGpuUp, 4);
    ASSERT_TRUE(VcardRefuseClockSettings(true));
    TestWalk(main, 5);
    ASSERT_TRUE(VcardRefuseClockSettings(false));
    EXPECT_EQ(reference.left, PlaceInClient(main, Control(main, kGpuHandle)).left) << "back at the reference";
    EXPECT_EQ(beforeRefusal, RunningLevel().trial[0]) << "the card back where the refused walk began";
}

// While a walk runs nothing but Cancel changes its card, level or targets;
// a cancelled walk leaves the card as it found it.
TEST_F(TuningExe, WalkLocksItsTargetsAndCancelPutsTheCardBack) {
    HWND main = Start("sli");
    ASSERT_TRUE(main != NULL);
    const uint32_t present = RunningLevel().frequency[0];
    DragHandle(main, Control(main, kGpuHandle), 400);  // to the top of the range
    LeftButton(false);
    Click(main, kTestButton);
    ASSERT_TRUE(Answer(71, IDYES));
    Sleep(400);
    const RECT gpuBefore = PlaceInClient(main, Control(main, kGpuHandle));
    // The clock handles, step buttons, level radios, link, card buttons,
    // Restore defaults, the BIOS button and Apply.
    for (int id : {40, 92, 41, 230, 235, 239, 46, 47, 100, 50, 51, 55, 54, 49}) {
        for (HWND control : ControlsWithId(main, id))
            EXPECT_FALSE(IsWindowEnabled(control)) << "id " << id << " during the walk";
    }
    EXPECT_TRUE(IsWindowEnabled(Control(main, 48))) << "Cancel";
    Click(main, kGpuDown, 3);
    Keys(VK_LEFT, 3, true);
    Click(main, kSlaveButton);
    EXPECT_EQ(gpuBefore.left, PlaceInClient(main, Control(main, kGpuHandle)).left);

    Click(main, kTestButton);
    EXPECT_TRUE(Answer(66, IDOK));
    EXPECT_EQ(present, RunningLevel().trial[0]) << "canceled: the card is back where the walk began";
    EXPECT_FALSE(IsWindowEnabled(Control(main, 49)));
    EXPECT_TRUE(IsWindowEnabled(Control(main, 40))) << "unlocked";
}

// Apply is offered only for the card, level and clocks a walk reached, and
// writes exactly those.
TEST_F(TuningExe, ApplyOnlyForTheClocksAWalkReachedOnTheShownCard) {
    HWND main = Start("sli");
    ASSERT_TRUE(main != NULL);
    const uint32_t present = RunningLevel().frequency[0];
    const uint32_t slave = RunningLevel(1).frequency[0];
    Click(main, kGpuUp, 5);
    TestWalk(main, 4);
    HWND apply = Control(main, 49);
    EXPECT_TRUE(IsWindowEnabled(apply));
    Click(main, kGpuUp);
    EXPECT_FALSE(IsWindowEnabled(apply)) << "a clock the walk did not reach";
    Click(main, kGpuDown);
    EXPECT_TRUE(IsWindowEnabled(apply)) << "back at the reached clocks";
    Click(main, kSlaveButton);
    EXPECT_FALSE(IsWindowEnabled(apply)) << "Slave was not tested";
    Click(main, kMasterButton);
    EXPECT_TRUE(IsWindowEnabled(apply)) << "Master's walk still holds";
    Click(main, kRadio3D);
    EXPECT_FALSE(IsWindowEnabled(apply)) << "the other level was not tested";
    Click(main, kRadio2D);
    EXPECT_TRUE(IsWindowEnabled(apply));
    Click(main, kApplyButton);
    EXPECT_TRUE(Answer(6, IDOK));
    EXPECT_EQ(present + 5000, RunningLevel().frequency[0]);
    EXPECT_EQ(slave, RunningLevel(1).frequency[0]) << "Slave untouched";
}

// A walk that cannot read the clocks it starts from tries nothing. The
// monitor thread reads through the same driver call and may take the
// injected failure first; then the walk simply passes and is tried again.
TEST_F(TuningExe, WalkWithoutItsStartingClocksMakesNoTrial) {
    HWND main = Start("monitorchip");
    ASSERT_TRUE(main != NULL);
    Click(main, kGpuUp, 20);
    bool failedRead = false;
    for (int attempt = 0; attempt < 6 && !failedRead; attempt++) {
        VcardResetCounters();
        Click(main, kTestButton);
        HWND box = NULL;
        for (DWORD start = GetTickCount(); !box && GetTickCount() - start < 10000; Sleep(20)) {
            box = panel_.FindWindowOfClass(L"#32770");
            if (box && MessageBoxText(box) != LangText(71)) box = NULL;
        }
        ASSERT_TRUE(box != NULL);
        ASSERT_TRUE(VcardInjectStatusOnce(0x1EA54A3B, 0, -5));  // the performance clocks' read
        AnswerMessageBox(box, IDYES);
        for (DWORD start = GetTickCount(); GetTickCount() - start < 30000; Sleep(20)) {
            box = panel_.FindWindowOfClass(L"#32770");
            if (!box) continue;
            const std::wstring text = MessageBoxText(box);
            if (text == LangText(5)) {
                failedRead = true;
                EXPECT_EQ(0u, Counters().calls[kVcardCallPerfSet]) << "a trial after a failed read";
            } else if (text != LangText(4)) {
                continue;
            }
            AnswerMessageBox(box, IDOK);
            break;
        }
        Sleep(300);
        if (!failedRead) Click(main, kGpuUp, 5);  // a new target for the next try
    }
    EXPECT_TRUE(failedRead) << "the walk never met the failed read";
}

// With the link checked the shader follows the GPU at 2.2 times its clock.
TEST_F(TuningExe, LinkedShaderFollowsTheGpu) {
    HWND main = Start("monitorchip");
    ASSERT_TRUE(main != NULL);
    Click(main, kLinkBox);
    RECT handle = PlaceInClient(main, Control(main, kGpuHandle));
    ClickAt(main, (handle.left + handle.right) / 2, (handle.top + handle.bottom) / 2);  // the keyboard focus
    Keys(VK_LEFT, 800, true);
    Keys(VK_RIGHT, 400, true);  // 200 MHz up from the bottom: 600 MHz
    TestWalk(main, 4);
    EXPECT_EQ(600000u, RunningLevel().trial[0]);
    VcardCardInfo info;
    VcardGetCardInfo(0, &info);
    int shader = -1;
    for (int d = 0; d < info.domainCount; d++) {
        if (info.domainId[d] == 7) shader = d;
    }
    ASSERT_GE(shader, 0);
    EXPECT_EQ(1320000u, RunningLevel().trial[shader]);
}

// Cancel ends a long walk at its next step; quitting during a walk ends the
// program within 3 s and leaves the card at the clocks it started from.
TEST_F(TuningExe, CancelAndQuitDuringATest) {
    HWND main = Start("monitorchip");
    ASSERT_TRUE(main != NULL);
    DragHandle(main, Control(main, kGpuHandle), 400);  // to the top of the range
    LeftButton(false);
    Click(main, kTestButton);
    ASSERT_TRUE(Answer(71, IDYES));
    Sleep(500);
    DWORD pressed = GetTickCount();
    Click(main, kTestButton);  // now "Cancel"
    EXPECT_TRUE(Answer(66, IDOK));
    EXPECT_LT(GetTickCount() - pressed, 3000u);

    VcardCardInfo before;
    ASSERT_TRUE(VcardGetCardInfo(0, &before));
    Click(main, kTestButton);
    ASSERT_TRUE(Answer(71, IDYES));
    Sleep(500);
    EXPECT_GT(RunningLevel().trial[0], before.coreKHz) << "the walk is under way";
    QuitWithin3s(main);
    EXPECT_EQ(before.coreKHz, RunningLevel().trial[0]) << "the card is back where the walk began";

    // A walk whose result box nobody answers holds its worker: Quit still
    // ends the program in time.
    WaitForNoOtherInstance();
    main = Start("monitorchip");
    ASSERT_TRUE(main != NULL);
    Click(main, kGpuUp, 2);
    Click(main, kTestButton);
    ASSERT_TRUE(Answer(71, IDYES));
    ASSERT_TRUE(WaitForBox(4) != NULL) << "Test completed, unanswered";
    QuitWithin3s(main);
}

// A user who is not an administrator watches: every tuning control is
// disabled, the readings keep coming.
TEST_F(TuningExe, NonAdministratorOnlyWatches) {
    HWND main = Start("monitorchip", L"1");
    ASSERT_TRUE(main != NULL);
    // With Restore defaults (55) and the BIOS button (54).
    const int tuning[] = {21, 23, 48, 49, 40, 92, 41, 46, 47, 230, 235, 239, 55, 54};
    for (int id : tuning) {
        for (HWND control : ControlsWithId(main, id))
            EXPECT_FALSE(IsWindowEnabled(control)) << "id " << id;
    }
    // Every control, key and message that could tune: nothing reaches the
    // card but reads.
    VcardResetCounters();
    Click(main, kManualBox);
    Click(main, kGpuUp, 3);
    Click(main, kTestButton);
    Click(main, kApplyButton);
    RECT gpu = PlaceInClient(main, Control(main, kGpuHandle));
    ClickAt(main, (gpu.left + gpu.right) / 2, (gpu.top + gpu.bottom) / 2);
    Keys(VK_RIGHT, 3, true);
    PostMessageW(main, WM_COMMAND, 0, 0);
    for (int id : {55, 54}) {
        RECT r = PlaceInClient(main, Control(main, id));
        Click(main, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
    Sleep(1800);  // a fan sync too
    EXPECT_EQ(NULL, panel_.FindWindowOfClass(L"#32770")) << "no question, no file dialog";
    ExpectOnlyReads();
    EXPECT_EQ(gpu.left, PlaceInClient(main, Control(main, kGpuHandle)).left);
    ASSERT_TRUE(VcardSetDieTemperature(0, 77, true));
    EXPECT_TRUE(WaitForText(Control(main, kTemperatureDisplay), L"77", kFollowTimeoutMs));
}

// A card with a 3D level only starts on it, with the level switch disabled.
TEST_F(TuningExe, ThreeDOnlyCardStartsOn3D) {
    HWND main = Start("3d-only");
    ASSERT_TRUE(main != NULL);
    ShownAndPainted(main);
    const RECT radio3D = {315, 140, 322, 147}, radio2D = {294, 140, 301, 147};
    const COLORREF selected = RGB(0x00, 0x64, 0xBE);
    ScreenPicture picture(main);
    EXPECT_GT(picture.Count(radio3D, selected, 40), 4);
    EXPECT_EQ(0, picture.Count(radio2D, selected, 40));
    EXPECT_FALSE(IsWindowEnabled(Control(main, 46)));
    EXPECT_FALSE(IsWindowEnabled(Control(main, 47)));
}
