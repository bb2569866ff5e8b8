// The monitor thread: every 600 ms the live values of the current card go
// into the value displays, which repaint on the interface thread.

#include "MainPanel.h"

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
    const bool workerEnded = StopWorker(waitMs / 2);
    if (!monitorThread_) return workerEnded;
    const DWORD spent = GetTickCount() - start;
    if (!StopThreadWithTimeout(monitorThreadId, spent < waitMs ? waitMs - spent : 0)) return false;
    monitorThread_.Reset();
    monitorThreadId = 0;
    return workerEnded;
}

void MainPanel::MonitorCycle() {
    HardwareObject& hw = Hardware();
    const CardSettings& cards = Cards();
    uint8_t shown = CurrentCard();
    for (uint8_t gpu = 0; gpu < hw.GpuCount(); gpu++) {
        bool current = gpu == shown;
        if (hw.GetFanWiring(gpu) != kFanWiringNone || hw.HasMonitorChip(gpu)) {
            uint32_t speed = 0;
            if (ReadOk(hw, hw.ReadFanSpeed(gpu, &speed, true)) && current) {
                FanShown fan;
                fan.inRpm = hw.HasMonitorChip(gpu) || (hw.HasAdt7473(gpu) && hw.HasTachometer(gpu));
                fan.alwaysWhite = hw.HasAdt7473(gpu);
                fan.silentSpeed = cards.Fan(gpu, kFanSilent);
                fan.maximumSpeed = cards.Fan(gpu, kFanMaximum);
                Reading r = FanReading(speed, fan);
                fanSpeedDisplay.SetTextAndColour(r.text, r.colour);
            }
        } else if (current) {
            Reading r = FanWithoutReading();
            fanSpeedDisplay.SetTextAndColour(r.text, r.colour);
        }

        uint32_t core = 0, shader = 0, memory = 0;
        if (ReadOk(hw, hw.ReadCurrentClocks(gpu, &core, &shader, &memory)) && current) {
            gpuClockDisplay.SetText(ClockReading(core).text);
            if (hw.HasShaderClock(gpu)) shaderClockDisplay.SetText(ClockReading(shader).text);
            memoryClockDisplay.SetText(ClockReading(memory).text);
        }

        int32_t celsius = 0;
        if (ReadOk(hw, hw.ReadGpuTemperature(gpu, &celsius)) && current) {
            Reading r = TemperatureReading(celsius);
            temperatureDisplay.SetTextAndColour(r.text, r.colour);
        }
    }
}
