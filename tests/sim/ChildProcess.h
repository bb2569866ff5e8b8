// Runs one of the virtual card's console tools as a child process, with text
// for its stdin and its stdout collected, as a user's shell would.
#pragma once

#include <windows.h>

#include <string>

namespace simtest {

struct ChildResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;
    bool timedOut = false;
};

// A started child whose output is read while it runs.
class Child {
public:
    Child() = default;
    ~Child() { Close(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Start(const std::wstring& commandLine, const std::string& input = std::string()) {
        SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
        HANDLE inRead = nullptr, inWrite = nullptr, outWrite = nullptr;
        if (!CreatePipe(&inRead, &inWrite, &sa, 0) || !CreatePipe(&outRead_, &outWrite, &sa, 0)) return false;
        SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(outRead_, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = inRead;
        si.hStdOutput = outWrite;
        si.hStdError = outWrite;
        std::wstring line = commandLine;
        BOOL ok =
            CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi_);
        CloseHandle(inRead);
        CloseHandle(outWrite);
        if (ok && !input.empty()) {
            DWORD written = 0;
            WriteFile(inWrite, input.data(), (DWORD)input.size(), &written, nullptr);
        }
        CloseHandle(inWrite);
        return ok != FALSE;
    }

    DWORD processId() const { return pi_.dwProcessId; }
    HANDLE process() const { return pi_.hProcess; }

    // Reads output until the child ends or timeoutMs passes.
    ChildResult Finish(DWORD timeoutMs) {
        ChildResult result;
        DWORD start = GetTickCount();
        for (;;) {
            Drain(&result.output);
            if (WaitForSingleObject(pi_.hProcess, 20) == WAIT_OBJECT_0) break;
            if (GetTickCount() - start > timeoutMs) {
                result.timedOut = true;
                TerminateProcess(pi_.hProcess, 99);
                WaitForSingleObject(pi_.hProcess, 5000);
                break;
            }
        }
        Drain(&result.output);
        GetExitCodeProcess(pi_.hProcess, &result.exitCode);
        return result;
    }

    // Output so far, without waiting.
    std::string Peek() {
        Drain(&pending_);
        return pending_;
    }

private:
    void Drain(std::string* out) {
        if (!pending_.empty() && out != &pending_) {
            *out += pending_;
            pending_.clear();
        }
        DWORD available = 0;
        while (outRead_ && PeekNamedPipe(outRead_, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
            char buffer[4096];
            DWORD read = 0;
            if (!ReadFile(outRead_, buffer, sizeof(buffer), &read, nullptr) || read == 0) break;
            // The tools write text mode: drop the CR of each line end.
            for (DWORD i = 0; i < read; ++i) {
                if (buffer[i] != '\r') out->push_back(buffer[i]);
            }
        }
    }
    void Close() {
        if (pi_.hProcess) {
            if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(pi_.hProcess, 99);
                WaitForSingleObject(pi_.hProcess, 5000);
            }
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
        if (outRead_) CloseHandle(outRead_);
        pi_ = PROCESS_INFORMATION();
        outRead_ = nullptr;
    }

    PROCESS_INFORMATION pi_ = {};
    HANDLE outRead_ = nullptr;
    std::string pending_;
};

inline ChildResult RunChild(const std::wstring& commandLine, const std::string& input = std::string(),
                            DWORD timeoutMs = 60000) {
    Child child;
    if (!child.Start(commandLine, input)) return ChildResult();
    return child.Finish(timeoutMs);
}

}  // namespace simtest
