#pragma once
// Runs the built VexaPanel.exe as a child process on the virtual card and
// watches what it shows, as a user at the screen would.

#include <windows.h>

#include <string>

class PanelProcess {
public:
    PanelProcess() = default;
    ~PanelProcess();
    PanelProcess(const PanelProcess&) = delete;
    PanelProcess& operator=(const PanelProcess&) = delete;

    // scenario: the virtual card's scenario name; the card state lives in a
    // file of the test's own, so that no other run disturbs it.
    // program: the shipping build, or "VexaPanelForTests.exe", which takes
    // the user's privilege from VEXA_TEST_PRIVILEGE.
    bool Start(const std::wstring& commandLine, const wchar_t* scenario, const wchar_t* program = L"VexaPanel.exe");
    // True when the process ended within the time; *exitCode gets its code.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode);
    void Kill();
    DWORD Id() const { return info_.dwProcessId; }
    // Starts find the clock trial as an earlier start left it, instead of
    // cleared.
    bool keepClockTrial = false;
    bool Running() const;

    // A top-level window of this process with the class, or null after the
    // time runs out.
    HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs) const;
    HWND FindWindowOfClass(const wchar_t* className) const;
    // Every visible or hidden top-level window of this process.
    int CountWindows() const;

private:
    PROCESS_INFORMATION info_ = {};
};

// The text of a message box and a way to answer it.
std::wstring MessageBoxText(HWND box);
void AnswerMessageBox(HWND box, int buttonId);

// Waits (at most 10 s) until no instance of the program holds its
// single-instance mutex.
void WaitForNoOtherInstance();

// Pumps this thread's messages for a while (Wine delivers asynchronously).
void PumpFor(DWORD ms);
