// The monitor thread: every 600 ms the live values of the current card go
// into the value displays, which repaint on the interface thread.

#include "MainPanel.h"

#include "ClockTrial.h"
#include "Messages.h"
#include "MonitorText.h"
#include "ThreadStart.h"
#include "WindowUtils.h"

namespace {

const DWORD kMonitorPeriodMs = 600;

// A failed read refreshes stale handles for the next pass, but shows
// nothing: the displays keep the last values the card gave.
bool ReadOk(HardwareObject& hw, NvStatus status) {
    if (status == kNvOk) return true;
    hw.RecoverGpuHandles(status);
    return false;
}

}  // namespace

void MainPanel::StartMonitorThread() {
    unsigned id = 0;
    monitorThread_.Reset(StartThread(MonitorThreadMain, this, kWorkerThreadStackBytes, &id));
    monitorThreadId = monitorThread_ ? id : 0;
}

unsigned __stdcall MainPanel::MonitorThreadMain(void* self) {
    MainPanel* panel = static_cast<MainPanel*>(self);
    // The thread needs a queue before anyone can post it WM_QUIT.
    MSG msg;
    PeekMessageW(&msg, NULL, WM_USER, WM_USER, PM_NOREMOVE);
    for (;;) {
        // Looked at, not taken: the cycle runs once more after the request.
        bool quit = PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
        panel->MonitorCycle();
        if (quit) return 0;
        Sleep(kMonitorPeriodMs);
    }
}

bool MainPanel::StopBackgroundWork(DWORD waitMs) {
    if (window) KillTimer(window, TIMER_FAN_SYNC);
    const DWORD start = GetTickCount();
    // Both are asked at once, so that a walk that does not end costs its
    // share of the wait and no more.
    if (monitorThread_) PostThreadMessageW(monitorThreadId, WM_QUIT, 0, 0);
    const bool workerEnded = overclock_.StopWorker(waitMs / 2);
    if (!monitorThread_) return workerEnded;
    const DWORD spent = GetTickCount() - start;
    if (!StopThreadWithTimeout(monitorThreadId, spent < waitMs ? waitMs - spent : 0)) return false;
    monitorThread_.Reset();
    monitorThreadId = 0;
    return workerEnded;
}

void MainPanel::MonitorCycle() {
    const uint8_t shown = CurrentCard();
    bool answered = true;
    for (uint8_t gpu = 0; gpu < Hardware().GpuCount() && gpu < kMaxGpus; gpu++) {
        GuardReading reading;
        MonitorFan(gpu, gpu == shown, &reading);
        answered = MonitorClocksAndTemperature(gpu, gpu == shown, &reading) && answered;
        // Told, never shown from here: a box would stop the readings.
        const unsigned events = guards_[gpu].Follow(reading);
        if (events) PostMessageW(window, UM_CARD_ALARM, gpu, events);
    }
    FollowClockTrial(answered);
}

void MainPanel::MonitorFan(uint8_t gpu, bool current, GuardReading* reading) {
    HardwareObject& hw = Hardware();
    const CardSettings& cards = Cards();
    if (hw.GetFanWiring(gpu) == kFanWiringNone && !hw.HasMonitorChip(gpu)) {
        if (current) {
            Reading r = FanWithoutReading();
            fanSpeedDisplay_.SetTextAndColour(r.text, r.colour);
        }
        return;
    }
    uint32_t speed = 0;
    if (!ReadOk(hw, hw.ReadFanSpeed(gpu, &speed, true))) return;
    FanShown fan;
    fan.inRpm = hw.HasMonitorChip(gpu) || (hw.HasAdt7473(gpu) && hw.HasTachometer(gpu));
    reading->fanRead = true;
    reading->fanInRpm = fan.inRpm;
    reading->fanSpeed = speed;
    reading->fanShouldTurn = cards.FanWorkMode(gpu) != kFanManualMode || cards.Fan(gpu, kFanManual) > 0;
    if (!current) return;
    fan.alwaysWhite = hw.HasAdt7473(gpu);
    fan.silentSpeed = cards.Fan(gpu, kFanSilent);
    fan.maximumSpeed = cards.Fan(gpu, kFanMaximum);
    Reading r = FanReading(speed, fan);
    fanSpeedDisplay_.SetTextAndColour(r.text, r.colour);
}

// False when the card did not answer one of the reads.
bool MainPanel::MonitorClocksAndTemperature(uint8_t gpu, bool current, GuardReading* reading) {
    HardwareObject& hw = Hardware();
    uint32_t core = 0, shader = 0, memory = 0;
    const bool clocksRead = ReadOk(hw, hw.ReadCurrentClocks(gpu, &core, &shader, &memory));
    if (clocksRead && current) {
        gpuClockDisplay_.SetText(ClockReading(core).text);
        if (hw.HasShaderClock(gpu)) shaderClockDisplay_.SetText(ClockReading(shader).text);
        memoryClockDisplay_.SetText(ClockReading(memory).text);
    }
    int32_t celsius = 0;
    reading->temperatureRead = ReadOk(hw, hw.ReadGpuTemperature(gpu, &celsius));
    reading->celsius = celsius;
    if (reading->temperatureRead && current) {
        Reading r = TemperatureReading(celsius);
        temperatureDisplay_.SetTextAndColour(r.text, r.colour);
    }
    return clocksRead && reading->temperatureRead;
}

// The trial ends after an unbroken stretch of normal answers; a failed read
// (a driver reset) starts the stretch again.
void MainPanel::FollowClockTrial(bool cardsAnswered) {
    if (!clockTrialOpen_) return;
    if (!cardsAnswered) {
        clockTrialSince_ = GetTickCount();
        return;
    }
    if (GetTickCount() - clockTrialSince_ < ClockTrialHoldMs()) return;
    EndClockTrial();
    clockTrialOpen_ = false;
}
