// Where the flash tool's confirmation keys come from: its console or stdin,
// and a hidden top-level window that takes posted WM_KEYDOWN / WM_CHAR.
#pragma once

#include <windows.h>

#include <stdint.h>

enum KeyAnswer {
    kKeyNone = 0,  // nothing before the time-out
    kKeyYes,
    kKeyNo,
};

class KeyPrompt {
public:
    KeyPrompt();
    ~KeyPrompt();
    KeyPrompt(const KeyPrompt&) = delete;
    KeyPrompt& operator=(const KeyPrompt&) = delete;

    // The window exists from here until destruction; it is never shown.
    bool CreateKeyWindow();

    // Waits up to timeoutMs for the next key.
    KeyAnswer Wait(uint32_t timeoutMs);
    // Keeps the window answering for ms while work is simulated.
    void Pump(uint32_t ms);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static DWORD WINAPI ReaderMain(void* self);
    KeyAnswer TakeInputKey();
    void DispatchPending();

    HWND window_;
    HANDLE input_;
    DWORD inputType_;
    bool inputEnded_;
    KeyAnswer windowKey_;
    // Pipes and files are read by a thread (a pipe from outside Windows
    // cannot be polled); it hands over one key at a time.
    HANDLE reader_;
    HANDLE keyReady_;
    HANDLE keyTaken_;
    volatile LONG typedKey_;
};
