#include "KeyPrompt.h"

namespace {

const wchar_t kWindowClass[] = L"VexaVirtualFlashKeys";

KeyAnswer Classify(unsigned key) {
    return key == 'Y' || key == 'y' ? kKeyYes : kKeyNo;
}

bool Ignorable(unsigned key) {
    return key == '\r' || key == '\n' || key == ' ' || key == '\t';
}

}  // namespace

KeyPrompt::KeyPrompt()
    : window_(nullptr),
      input_(GetStdHandle(STD_INPUT_HANDLE)),
      inputType_(FILE_TYPE_UNKNOWN),
      inputEnded_(false),
      windowKey_(kKeyNone),
      reader_(nullptr),
      keyReady_(nullptr),
      keyTaken_(nullptr),
      typedKey_(kKeyNone) {
    if (input_ && input_ != INVALID_HANDLE_VALUE) inputType_ = GetFileType(input_);
    if (inputType_ == FILE_TYPE_UNKNOWN) inputEnded_ = true;
    if (inputType_ == FILE_TYPE_PIPE || inputType_ == FILE_TYPE_DISK) {
        keyReady_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        keyTaken_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (keyReady_ && keyTaken_) reader_ = CreateThread(nullptr, 0, ReaderMain, this, 0, nullptr);
        if (!reader_) inputEnded_ = true;
    }
}

KeyPrompt::~KeyPrompt() {
    if (window_) DestroyWindow(window_);
    // A reader still blocked on its pipe ends with the process; the events
    // stay open for it until then.
    if (reader_) CloseHandle(reader_);
}

DWORD WINAPI KeyPrompt::ReaderMain(void* param) {
    KeyPrompt* self = (KeyPrompt*)param;
    for (;;) {
        char c;
        DWORD read = 0;
        if (!ReadFile(self->input_, &c, 1, &read, nullptr) || read == 0) {
            InterlockedExchange(&self->typedKey_, -1);
            SetEvent(self->keyReady_);
            return 0;
        }
        if (Ignorable((unsigned char)c)) continue;
        InterlockedExchange(&self->typedKey_, Classify((unsigned char)c));
        SetEvent(self->keyReady_);
        WaitForSingleObject(self->keyTaken_, INFINITE);
    }
}

bool KeyPrompt::CreateKeyWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kWindowClass;
    RegisterClassW(&wc);
    window_ = CreateWindowExW(0, kWindowClass, L"Virtual card flash tool", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                              nullptr, wc.hInstance, nullptr);
    if (window_) SetWindowLongPtrW(window_, GWLP_USERDATA, (LONG_PTR)this);
    return window_ != nullptr;
}

LRESULT CALLBACK KeyPrompt::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    KeyPrompt* self = (KeyPrompt*)GetWindowLongPtrW(hwnd, GWLP_USERDATA);
    if (self && (msg == WM_KEYDOWN || msg == WM_CHAR)) {
        // The first key since the question was asked is the answer.
        if (self->windowKey_ == kKeyNone && !Ignorable((unsigned)wParam)) self->windowKey_ = Classify((unsigned)wParam);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void KeyPrompt::DispatchPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // No TranslateMessage: a key-down would come back as a character and
        // answer the next question too.
        DispatchMessageW(&msg);
        if (windowKey_ != kKeyNone) return;  // leave later keys for later questions
    }
}

KeyAnswer KeyPrompt::TakeInputKey() {
    if (inputEnded_) return kKeyNone;
    if (inputType_ == FILE_TYPE_CHAR) {
        DWORD events = 0;
        while (GetNumberOfConsoleInputEvents(input_, &events) && events > 0) {
            INPUT_RECORD record;
            DWORD read = 0;
            if (!ReadConsoleInputW(input_, &record, 1, &read) || read == 0) break;
            if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown) continue;
            unsigned key = record.Event.KeyEvent.uChar.UnicodeChar;
            if (key == 0) key = record.Event.KeyEvent.wVirtualKeyCode;
            if (!Ignorable(key)) return Classify(key);
        }
        return kKeyNone;
    }
    if (!reader_ || WaitForSingleObject(keyReady_, 0) != WAIT_OBJECT_0) return kKeyNone;
    LONG key = InterlockedExchange(&typedKey_, kKeyNone);
    if (key < 0) {
        inputEnded_ = true;
        return kKeyNone;
    }
    SetEvent(keyTaken_);
    return (KeyAnswer)key;
}

KeyAnswer KeyPrompt::Wait(uint32_t timeoutMs) {
    windowKey_ = kKeyNone;
    DWORD start = GetTickCount();
    for (;;) {
        DispatchPending();
        if (windowKey_ != kKeyNone) return windowKey_;
        KeyAnswer typed = TakeInputKey();
        if (typed != kKeyNone) return typed;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return kKeyNone;
        DWORD slice = timeoutMs - elapsed < 20 ? timeoutMs - elapsed : 20;
        // Waking on the reader's event would consume it: poll instead.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_ALLINPUT);
    }
}

void KeyPrompt::Pump(uint32_t ms) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}
