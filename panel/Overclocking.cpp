// The clock sliders, the 2D/3D switch, the Test walk on its worker thread
// and Apply.

#include "MainPanel.h"

#include "ClockLink.h"
#include "ClockWalk.h"
#include "LanguageState.h"
#include "Messages.h"
#include "PanelTexts.h"
#include "ProgressBar.h"
#include "ThreadStart.h"

namespace {

const RECT kGpuValueRect = {343, 181, 373, 196};
const RECT kShaderValueRect = {343, 161, 373, 176};
const RECT kMemoryValueRect = {343, 201, 373, 216};
const RECT kOverclockRect = {251, 117, 471, 220};
const wchar_t kCaption[] = L"Vexa Panel";
const int kProgressBarId = 71;
const RECT kProgressBarPlace = {325, 124, 80, 10};  // x, y, width, height
const DWORD kTestStepPauseMs = 100;

enum OverclockText {
    kTextTestCompleted = 4,
    kTextTestFailed = 5,
    kTextApplyCompleted = 6,
    kTextApplyFailed = 7,
    kTextCancel = 57,
    kTextTestCanceled = 66,
    kTextTestWarning = 71,
};

const RECT& ValueRect(const MainPanel& panel, const Slider* slider) {
    return slider == &panel.gpuSlider      ? kGpuValueRect
           : slider == &panel.shaderSlider ? kShaderValueRect
                                           : kMemoryValueRect;
}

// A result box of the Test worker, answered as its OK button would be: the
// program is quitting and nobody is left to read it.
BOOL CALLBACK CloseResultBox(HWND window, LPARAM) {
    wchar_t className[16] = L"";
    GetClassNameW(window, className, 16);
    if (lstrcmpW(className, L"#32770") == 0) PostMessageW(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

}  // namespace

// What one Test walk works with: copies taken when it starts.
struct TestJob {
    MainPanel* panel;
    ProgressBar* bar;
    uint8_t card;
    bool level2D;
    ClockTriple target;
};

bool MainPanel::IsAdministrator() const {
    return services_.privilege == kPrivilegeAdministrator;
}

void MainPanel::FollowLink(Slider* moved) {
    if (!linkBox.GetCheck() || (moved != &gpuSlider && moved != &shaderSlider)) return;
    Slider* other = moved == &gpuSlider ? &shaderSlider : &gpuSlider;
    const int64_t value = moved->GetValue();
    const int64_t linked = moved == &gpuSlider ? ShaderClockForGpu(value) : GpuClockForShader(value);
    // A linked value outside the other slider's range leaves it where it is.
    other->SetValue(linked, 0);
    InvalidateRect(window, &ValueRect(*this, other), FALSE);
}

void MainPanel::OnClockSliderMoved(Slider* slider) {
    InvalidateRect(window, &ValueRect(*this, slider), FALSE);
    FollowLink(slider);
    RefreshApply();
}

void MainPanel::OnClockSliderReleased(Slider* slider) {
    InvalidateRect(window, &ValueRect(*this, slider), FALSE);
    FollowLink(slider);
    RefreshApply();
}

void MainPanel::RememberProvenClocks(uint8_t card, bool level2D, const ClockTriple& clocks) {
    if (card >= kMaxGpus) return;
    proven_[card].valid = true;
    proven_[card].level2D = level2D;
    proven_[card].clocks = clocks;
}

void MainPanel::RefreshApply() {
    const uint8_t card = CurrentCard();
    const ProvenClocks& proven = proven_[card < kMaxGpus ? card : 0];
    const bool level2D = levelGroup.Selected() != &radio3D;
    const bool shown = proven.valid && proven.level2D == level2D && gpuSlider.GetValue() == proven.clocks.gpu &&
                       shaderSlider.GetValue() == proven.clocks.shader &&
                       memorySlider.GetValue() == proven.clocks.memory;
    applyButton.Enable(shown && IsAdministrator() && !workerRunning.load());
}

void MainPanel::OnLevelSwitch(RoundRadio* radio) {
    uint8_t card = CurrentCard();
    CardSettings& cards = Cards();
    bool to2D = radio == &radio2D;
    if ((to2D && cards.ClockLevel(card) == kClockLevel2D) || (!to2D && cards.ClockLevel(card) == kClockLevel3D)) {
        return;
    }
    // The level being left keeps what its sliders showed.
    cards.SetClock(card, to2D ? kGpu3DClock : kGpu2DClock, (uint32_t)gpuSlider.GetValue());
    cards.SetClock(card, to2D ? kShader3DClock : kShader2DClock, (uint32_t)shaderSlider.GetValue());
    cards.SetClockLevel(card, to2D ? kClockLevel2D : kClockLevel3D);
    ShowLevelOnSliders(card);
    EnableWalkTargets(true);
    RefreshApply();
    // The other level's slider ends are painted over the old ones.
    InvalidateClockValues();
}

void MainPanel::ShowClock(Slider& slider, int64_t clock) {
    if (clock < slider.GetMinimum()) clock = slider.GetMinimum();
    if (clock > slider.GetMaximum()) clock = slider.GetMaximum();
    slider.SetValue(clock, 1);
}

bool MainPanel::ShownClocksRead() const {
    const uint8_t card = CurrentCard();
    return card < kMaxGpus && clocksRead_[card][levelGroup.Selected() == &radio3D ? 1 : 0];
}

void MainPanel::ShowLevelOnSliders(uint8_t card) {
    const CardSettings& cards = Cards();
    bool level2D = cards.ClockLevel(card) == kClockLevel2D;
    const bool read = card < kMaxGpus && clocksRead_[card][level2D ? 0 : 1];
    gpuSlider.SetRange(cards.Clock(card, level2D ? kGpu2DMin : kGpu3DMin),
                       cards.Clock(card, level2D ? kGpu2DMax : kGpu3DMax));
    // A card without a shader clock has none to show or to walk to.
    if (Hardware().HasShaderClock(card)) {
        shaderSlider.SetRange(cards.Clock(card, level2D ? kShader2DMin : kShader3DMin),
                              cards.Clock(card, level2D ? kShader2DMax : kShader3DMax));
    } else {
        shaderSlider.SetRange(0, 0);
    }
    // Clocks that could not be read show as the lowest, on disabled sliders.
    ShowClock(gpuSlider, read ? cards.Clock(card, level2D ? kGpu2DClock : kGpu3DClock) : 0);
    ShowClock(shaderSlider, read ? cards.Clock(card, level2D ? kShader2DClock : kShader3DClock) : 0);
    InvalidateRect(window, &kGpuValueRect, FALSE);
    InvalidateRect(window, &kShaderValueRect, FALSE);
}

void MainPanel::StartOrCancelTest() {
    if (workerRunning.load()) {
        if (workerThreadId) PostThreadMessageW(workerThreadId, UM_CANCEL_WORKER, 0, 0);
        return;
    }
    if (!IsAdministrator()) return;
    if (MessageBoxW(window, LangText(kTextTestWarning), kCaption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
        return;
    }
    LockOverclocking();
    ProgressBar* bar = new ProgressBar;
    bar->Create(kProgressBarId, kProgressBarPlace.left, kProgressBarPlace.top, kProgressBarPlace.right,
                kProgressBarPlace.bottom, window);
    TestJob* job = new TestJob;
    job->panel = this;
    job->bar = bar;
    job->card = CurrentCard();
    job->level2D = levelGroup.Selected() != &radio3D;
    job->target.gpu = (uint32_t)gpuSlider.GetValue();
    job->target.shader = (uint32_t)shaderSlider.GetValue();
    job->target.memory = (uint32_t)memorySlider.GetValue();
    unsigned id = 0;
    workerThread_.Reset(StartThread(TestClocksMain, job, kWorkerThreadStackBytes, &id));
    workerId_ = workerThread_ ? id : 0;
    if (!workerThread_) {
        delete bar;
        delete job;
        UnlockOverclocking();
        return;
    }
    workerThreadId = id;
}

unsigned __stdcall MainPanel::TestClocksMain(void* argument) {
    TestJob* job = static_cast<TestJob*>(argument);
    job->panel->TestClocks(*job);
    delete job;
    return 0;
}

void MainPanel::TestClocks(TestJob& job) {
    // A queue of its own, so that the cancel request can be posted to it.
    MSG msg;
    PeekMessageW(&msg, NULL, WM_USER, WM_USER, PM_NOREMOVE);
    HardwareObject& hw = Hardware();
    LevelClocks read = MakeLevelClocks(0, 0, 0);
    const NvStatus readStatus = job.level2D ? hw.Read2DClocks(job.card, &read) : hw.Read3DClocks(job.card, &read);
    ClockTriple present = {read.core.frequency, read.shader.frequency, read.memory.frequency};
    workerRunning.store(true);
    if (readStatus != kNvOk) {
        // Without the clocks it starts from, a walk would try steps up from
        // nothing and could not put the card back: no trial at all.
        workerThreadId = 0;
        delete job.bar;
        FinishTest(job, false, true, present, present, false);
        return;
    }
    ClockWalk walk(present, job.target);
    testButton.SetText(LangText(kTextCancel));
    testButton.Enable(1);

    enum { kDone, kFailed, kCancelled } outcome = kDone;
    ClockTriple tried = present;
    for (;;) {
        if (quitting_.load() || PeekMessageW(&msg, NULL, UM_CANCEL_WORKER, UM_CANCEL_WORKER, PM_NOREMOVE)) {
            outcome = kCancelled;
            break;
        }
        tried = walk.Candidate();
        LevelClocks trial = MakeLevelClocks(tried.gpu, tried.shader, tried.memory);
        NvStatus status = job.level2D ? hw.Try2DClocks(job.card, &trial) : hw.Try3DClocks(job.card, &trial);
        job.bar->SetValue((int)walk.Progress());
        if (status != kNvOk) {
            outcome = kFailed;
            break;
        }
        if (walk.AtTarget(tried)) break;
        walk.Advance();
        Sleep(kTestStepPauseMs);
    }
    workerThreadId = 0;
    delete job.bar;
    FinishTest(job, outcome == kDone, outcome == kFailed, tried, present, true);
}

// A walk that did not pass leaves the card as it found it: somewhere on the
// way is a clock nobody chose.
void MainPanel::PutBackWalkStart(const TestJob& job, const ClockTriple& present) {
    LevelClocks back = MakeLevelClocks(present.gpu, present.shader, present.memory);
    if (job.level2D) {
        Hardware().Try2DClocks(job.card, &back);
    } else {
        Hardware().Try3DClocks(job.card, &back);
    }
}

void MainPanel::FinishTest(const TestJob& job, bool done, bool failed, const ClockTriple& reached,
                           const ClockTriple& present, bool tried) {
    CardSettings& cards = Cards();
    int reference = job.level2D ? kGpu2DReference : kGpu3DReference;
    // The card and level the walk ran on are still shown: the lock kept
    // them; the check keeps a result from landing on any other.
    const bool shown = CurrentCard() == job.card && (levelGroup.Selected() != &radio3D) == job.level2D;
    if (quitting_.load()) {
        // Nobody is left to be told.
        if (tried) PutBackWalkStart(job, present);
    } else if (done) {
        cards.SetClock(job.card, reference, reached.gpu);
        cards.SetClock(job.card, kMemoryReference, reached.memory);
        RememberProvenClocks(job.card, job.level2D, reached);
        MessageBoxW(window, LangText(kTextTestCompleted), kCaption, MB_ICONINFORMATION);
    } else if (failed) {
        if (tried) PutBackWalkStart(job, present);
        MessageBoxW(window, LangText(kTextTestFailed), kCaption, MB_ICONERROR);
        if (shown) {
            gpuSlider.SetValue(cards.Clock(job.card, reference), 0);
            memorySlider.SetValue(cards.Clock(job.card, kMemoryReference), 0);
            InvalidateRect(window, &kGpuValueRect, FALSE);
            InvalidateRect(window, &kMemoryValueRect, FALSE);
        }
    } else {
        if (tried) PutBackWalkStart(job, present);
        MessageBoxW(window, LangText(kTextTestCanceled), kCaption, MB_ICONWARNING);
    }
    testButton.SetText(LangText(kTextTest));
    workerRunning.store(false);
    RedrawWindow(testButton.window, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    UnlockOverclocking();
}

void MainPanel::LockOverclocking() {
    InvalidateRect(window, &kOverclockRect, TRUE);
    testButton.Enable(0);
    applyButton.Enable(0);
    EnableWalkTargets(false);
}

void MainPanel::UnlockOverclocking() {
    InvalidateRect(window, &kOverclockRect, TRUE);
    EnableWalkTargets(true);
    RefreshApply();
}

void MainPanel::EnableWalkTargets(bool enable) {
    const bool administrator = enable && IsAdministrator();
    const uint8_t card = CurrentCard();
    // Only what the card has comes back: a one-level card keeps its level
    // switch disabled, a card without a shader clock its link and slider.
    const PerfCapabilities caps = Hardware().GetPerfCapabilities(card);
    const bool shader = Hardware().HasShaderClock(card);
    const bool clocks = administrator && ShownClocksRead();
    // Test is Cancel while a walk runs and stays as it is then.
    if (enable) testButton.Enable(clocks);
    levelGroup.EnableAll(administrator && caps.has2DLevel && caps.has3DLevel);
    linkBox.Enable(clocks && shader);
    gpuSlider.Enable(clocks);
    shaderSlider.Enable(clocks && shader);
    memorySlider.Enable(clocks);
    TextButton* steps[] = {&gpuUp, &gpuDown, &shaderUp, &shaderDown, &memoryUp, &memoryDown};
    for (TextButton* step : steps)
        step->Enable(clocks);
    // Card buttons are for everyone: watching the other card is no change.
    masterButton.Enable(enable);
    slaveButton.Enable(enable);
    restoreButton.Enable(administrator);
    biosButton.Enable(administrator);
}

bool MainPanel::StopWorker(DWORD waitMs) {
    if (!workerThread_) return true;
    quitting_.store(true);
    if (workerThreadId) PostThreadMessageW(workerThreadId, UM_CANCEL_WORKER, 0, 0);
    // The worker finishes by talking to this thread's windows (its button,
    // its progress bar): keep them answered while waiting. A result box it
    // already shows would wait for the user; it is answered for them.
    HANDLE thread = workerThread_.Get();
    const DWORD start = GetTickCount();
    for (;;) {
        EnumThreadWindows(workerId_, CloseResultBox, 0);
        const DWORD spent = GetTickCount() - start;
        if (spent >= waitMs) return false;
        const DWORD slice = waitMs - spent < 100 ? waitMs - spent : 100;
        DWORD r = MsgWaitForMultipleObjects(1, &thread, FALSE, slice, QS_ALLINPUT | QS_SENDMESSAGE);
        if (r == WAIT_OBJECT_0) break;
        MSG msg;
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    workerThread_.Reset();
    workerId_ = 0;
    return true;
}

void MainPanel::ApplyClocks() {
    // The button may still be pressed in the moment it is disabled; only
    // clocks this card has been shown to take go on it.
    RefreshApply();
    if (!IsWindowEnabled(applyButton.window)) return;
    const ClockTriple clocks = {(uint32_t)gpuSlider.GetValue(), (uint32_t)shaderSlider.GetValue(),
                                (uint32_t)memorySlider.GetValue()};
    LevelClocks record = MakeLevelClocks(clocks.gpu, clocks.shader, clocks.memory);
    uint8_t card = CurrentCard();
    bool level2D = levelGroup.Selected() != &radio3D;
    NvStatus status = level2D ? Hardware().Apply2DClocks(card, &record) : Hardware().Apply3DClocks(card, &record);
    if (status != kNvOk) {
        MessageBoxW(window, LangText(kTextApplyFailed), kCaption, MB_ICONERROR);
        return;
    }
    RememberProvenClocks(card, level2D, clocks);
    MessageBoxW(window, LangText(kTextApplyCompleted), kCaption, MB_ICONINFORMATION);
    RefreshApply();
}
