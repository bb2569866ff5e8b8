// Test and Apply. The Test button's walk goes from the level's present
// clocks to the sliders' in small steps on a worker thread, with a progress
// bar, cancelled by a second press or by the program's end; Apply writes
// only clocks a passed walk or an earlier Apply proved on the card.

#include "OverclockSection.h"

#include <memory>
#include <new>

#include "LanguageState.h"
#include "Messages.h"
#include "PanelLayout.h"
#include "PanelTexts.h"
#include "ProgramName.h"
#include "ProgressBar.h"
#include "ThreadStart.h"

using namespace layout;

namespace {

const DWORD kTestStepPauseMs = 100;

enum TestText {
    kTextTestCompleted = 4,
    kTextTestFailed = 5,
    kTextApplyCompleted = 6,
    kTextApplyFailed = 7,
    kTextCancel = 57,
    kTextTestCanceled = 66,
    kTextTestWarning = 71,
};

// A result box of the Test worker, answered as its OK button would be: the
// program is quitting and nobody is left to read it.
BOOL CALLBACK CloseResultBox(HWND window, LPARAM) {
    wchar_t className[16] = L"";
    GetClassNameW(window, className, 16);
    if (lstrcmpW(className, L"#32770") == 0) PostMessageW(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

}  // namespace

// What one Test walk works with: copies taken when it starts. The worker
// owns it, and with it the progress bar, which the worker lets go before
// it shows the result.
struct TestJob {
    OverclockSection* section;
    std::unique_ptr<ProgressBar> bar;
    uint8_t card;
    bool level2D;
    ClockTriple target;
};

void OverclockSection::StartOrCancelTest() {
    const HWND window = context_.Window();
    if (WalkRunning()) {
        const DWORD worker = workerThreadId_.load();
        if (worker) PostThreadMessageW(worker, UM_CANCEL_WORKER, 0, 0);
        return;
    }
    if (!context_.IsAdministrator()) return;
    if (MessageBoxW(window, LangText(kTextTestWarning), kProgramName, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) !=
        IDYES) {
        return;
    }
    LockOverclocking();
    std::unique_ptr<TestJob> job(new (std::nothrow) TestJob);
    if (job) job->bar.reset(new (std::nothrow) ProgressBar);
    if (!job || !job->bar) {
        UnlockOverclocking();
        return;
    }
    job->bar->Create(kProgressBar.id, kProgressBar.x, kProgressBar.y, kProgressBar.width, kProgressBar.height, window);
    job->section = this;
    job->card = context_.CurrentCard();
    job->level2D = Level2DShown();
    job->target.gpu = (uint32_t)gpuSlider_.GetValue();
    job->target.shader = (uint32_t)shaderSlider_.GetValue();
    job->target.memory = (uint32_t)memorySlider_.GetValue();
    unsigned id = 0;
    // The worker owns the job once started; a thread that did not start
    // leaves it, bar and all, to be freed here.
    TestJob* handed = job.release();
    workerThread_.Reset(StartThread(TestClocksMain, handed, kWorkerThreadStackBytes, &id));
    workerId_ = workerThread_ ? id : 0;
    if (!workerThread_) {
        // Taken back, and gone before the lock is lifted.
        job.reset(handed);
        job.reset();
        UnlockOverclocking();
        return;
    }
    workerThreadId_ = id;
}

unsigned __stdcall OverclockSection::TestClocksMain(void* argument) {
    std::unique_ptr<TestJob> job(static_cast<TestJob*>(argument));
    job->section->TestClocks(*job);
    return 0;
}

void OverclockSection::TestClocks(TestJob& job) {
    // A queue of its own, so that the cancel request can be posted to it.
    MSG msg;
    PeekMessageW(&msg, NULL, WM_USER, WM_USER, PM_NOREMOVE);
    HardwareObject& hw = context_.Hardware();
    LevelClocks read = MakeLevelClocks(0, 0, 0);
    const NvStatus readStatus = job.level2D ? hw.Read2DClocks(job.card, &read) : hw.Read3DClocks(job.card, &read);
    ClockTriple present = {read.core.frequency, read.shader.frequency, read.memory.frequency};
    workerRunning_.store(true);
    if (readStatus != kNvOk) {
        // Without the clocks it starts from, a walk would try steps up from
        // nothing and could not put the card back: no trial at all.
        workerThreadId_ = 0;
        job.bar.reset();
        FinishTest(job, false, true, present, present, false);
        return;
    }
    ClockWalk walk(present, job.target);
    testButton_.SetText(LangText(kTextCancel));
    testButton_.Enable(1);

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
    workerThreadId_ = 0;
    job.bar.reset();
    FinishTest(job, outcome == kDone, outcome == kFailed, tried, present, true);
}

// A walk that did not pass leaves the card as it found it: somewhere on the
// way is a clock nobody chose.
void OverclockSection::PutBackWalkStart(const TestJob& job, const ClockTriple& present) {
    LevelClocks back = MakeLevelClocks(present.gpu, present.shader, present.memory);
    if (job.level2D) {
        context_.Hardware().Try2DClocks(job.card, &back);
    } else {
        context_.Hardware().Try3DClocks(job.card, &back);
    }
}

void OverclockSection::FinishTest(const TestJob& job, bool done, bool failed, const ClockTriple& reached,
                                  const ClockTriple& present, bool tried) {
    const HWND window = context_.Window();
    CardSettings& cards = context_.Cards();
    int reference = job.level2D ? kGpu2DReference : kGpu3DReference;
    // The card and level the walk ran on are still shown: the lock kept
    // them; the check keeps a result from landing on any other.
    const bool shown = context_.CurrentCard() == job.card && Level2DShown() == job.level2D;
    if (quitting_.load()) {
        // Nobody is left to be told.
        if (tried) PutBackWalkStart(job, present);
    } else if (done) {
        cards.SetClock(job.card, reference, reached.gpu);
        cards.SetClock(job.card, kMemoryReference, reached.memory);
        RememberProvenClocks(job.card, job.level2D, reached);
        MessageBoxW(window, LangText(kTextTestCompleted), kProgramName, MB_ICONINFORMATION);
    } else if (failed) {
        if (tried) PutBackWalkStart(job, present);
        MessageBoxW(window, LangText(kTextTestFailed), kProgramName, MB_ICONERROR);
        if (shown) {
            gpuSlider_.SetValue(cards.Clock(job.card, reference), 0);
            memorySlider_.SetValue(cards.Clock(job.card, kMemoryReference), 0);
            InvalidateRect(window, &kGpuValueRect, FALSE);
            InvalidateRect(window, &kMemoryValueRect, FALSE);
        }
    } else {
        if (tried) PutBackWalkStart(job, present);
        MessageBoxW(window, LangText(kTextTestCanceled), kProgramName, MB_ICONWARNING);
    }
    testButton_.SetText(LangText(kTextTest));
    workerRunning_.store(false);
    RedrawWindow(testButton_.window, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    UnlockOverclocking();
}

void OverclockSection::LockOverclocking() {
    InvalidateRect(context_.Window(), &kOverclockRect, TRUE);
    testButton_.Enable(0);
    applyButton_.Enable(0);
    EnableWalkTargets(false);
}

void OverclockSection::UnlockOverclocking() {
    InvalidateRect(context_.Window(), &kOverclockRect, TRUE);
    EnableWalkTargets(true);
    RefreshApply();
}

bool OverclockSection::StopWorker(DWORD waitMs) {
    if (!workerThread_) return true;
    quitting_.store(true);
    const DWORD worker = workerThreadId_.load();
    if (worker) PostThreadMessageW(worker, UM_CANCEL_WORKER, 0, 0);
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

void OverclockSection::RememberProvenClocks(uint8_t card, bool level2D, const ClockTriple& clocks) {
    if (card >= kMaxGpus) return;
    proven_[card].valid = true;
    proven_[card].level2D = level2D;
    proven_[card].clocks = clocks;
}

void OverclockSection::ForgetProvenClocks(uint8_t card) {
    proven_[card < kMaxGpus ? card : 0].valid = false;
    applyButton_.Enable(0);
}

void OverclockSection::RefreshApply() {
    const uint8_t card = context_.CurrentCard();
    const ProvenClocks& proven = proven_[card < kMaxGpus ? card : 0];
    const bool shown = proven.valid && proven.level2D == Level2DShown() && gpuSlider_.GetValue() == proven.clocks.gpu &&
                       shaderSlider_.GetValue() == proven.clocks.shader &&
                       memorySlider_.GetValue() == proven.clocks.memory;
    applyButton_.Enable(shown && context_.IsAdministrator() && !WalkRunning());
}

void OverclockSection::ApplyClocks() {
    // The button may still be pressed in the moment it is disabled; only
    // clocks this card has been shown to take go on it.
    RefreshApply();
    if (!IsWindowEnabled(applyButton_.window)) return;
    const ClockTriple clocks = {(uint32_t)gpuSlider_.GetValue(), (uint32_t)shaderSlider_.GetValue(),
                                (uint32_t)memorySlider_.GetValue()};
    LevelClocks record = MakeLevelClocks(clocks.gpu, clocks.shader, clocks.memory);
    uint8_t card = context_.CurrentCard();
    bool level2D = Level2DShown();
    HardwareObject& hw = context_.Hardware();
    NvStatus status = level2D ? hw.Apply2DClocks(card, &record) : hw.Apply3DClocks(card, &record);
    if (status != kNvOk) {
        MessageBoxW(context_.Window(), LangText(kTextApplyFailed), kProgramName, MB_ICONERROR);
        return;
    }
    RememberProvenClocks(card, level2D, clocks);
    MessageBoxW(context_.Window(), LangText(kTextApplyCompleted), kProgramName, MB_ICONINFORMATION);
    RefreshApply();
}
