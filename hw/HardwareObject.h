#pragma once
// The program's view of the graphics cards. Every operation takes the GPU
// index first and returns a status (0 success).

#include <windows.h>

class HardwareObject {
public:
    HardwareObject();
    ~HardwareObject();

    // Start-up hands these over before the hardware starts: the worker posts
    // WM_DESTROY to the notify window when done, or UM_HARDWARE_READY to the
    // GUI thread when there is no such window.
    void SetGuiThreadId(DWORD id) { guiThreadId_ = id; }
    DWORD GuiThreadId() const { return guiThreadId_; }
    void SetNotifyWindow(HWND hwnd) { notifyWindow_ = hwnd; }
    HWND NotifyWindow() const { return notifyWindow_; }

    // 0 started (the start-up worker runs), 1 the driver could not be used,
    // 3 Windows older than XP.
    int InitializeHardware();

    int GpuCount() const { return gpuCount_; }

private:
    HardwareObject(const HardwareObject&);
    HardwareObject& operator=(const HardwareObject&);

    DWORD guiThreadId_;
    HWND notifyWindow_;
    int gpuCount_;
};
