// The program as the tests and the demonstration run it: the same start-up,
// except that the user's privilege comes from VEXA_TEST_PRIVILEGE (0 guest,
// 1 user, 2 administrator) when it is set. Wine reports every account as a
// guest, so the real query alone could never show an administrator's panel.
// When VEXA_TEST_NEWS_URL is set the news comes from that address, a server
// of the tests', since the maker's page is out of their reach and would not
// hold the items a test needs. When VEXA_TEST_LAUNCH_LOG names a file, the
// addresses a clicked link would open in the browser are written there
// instead, one a line. Never part of a release.

#include <windows.h>

#include <stdio.h>

#include "Application.h"
#include "ClockTrial.h"
#include "HandleHolders.h"
#include "LinkLabel.h"
#include "NewsFetcher.h"

static Application gApplication;
Application* gApp = &gApplication;

namespace {

UserPrivilege PrivilegeForTests() {
    wchar_t value[4] = {};
    if (GetEnvironmentVariableW(L"VEXA_TEST_PRIVILEGE", value, 4) == 1 && value[0] >= L'0' && value[0] <= L'2') {
        return static_cast<UserPrivilege>(value[0] - L'0');
    }
    return QueryUserPrivilege();
}

// The time saved clocks must hold, shortened for runs that start the
// program many times.
void ClockTrialHoldForTests() {
    wchar_t value[12] = {};
    const DWORD length = GetEnvironmentVariableW(L"VEXA_TEST_CLOCK_HOLD_MS", value, 12);
    if (length > 0 && length < 12) SetClockTrialHoldMsForTests(static_cast<DWORD>(_wtoi(value)));
}

// A crash on demand, when VEXA_TEST_CRASH_ON_DEMAND is 1: a test sets the
// event "VexaPanelCrashForTests-<pid>" and a thread of the program faults,
// as a bug would. A thread of its own, since Wine swallows a window
// procedure's exception; only on request, since Wine commits a thread's
// stack whole and the memory benchmark would count it.
DWORD WINAPI CrashWhenAsked(void* event) {
    WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
    *static_cast<volatile int*>(nullptr) = 1;
    return 0;
}

void CrashOnDemandForTests() {
    wchar_t asked[2] = {};
    if (GetEnvironmentVariableW(L"VEXA_TEST_CRASH_ON_DEMAND", asked, 2) != 1 || asked[0] != L'1') return;
    wchar_t name[64];
    _snwprintf(name, 64, L"VexaPanelCrashForTests-%lu", GetCurrentProcessId());
    name[63] = 0;
    // Owned by the process until it ends.
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, name);
    if (!event) return;
    HANDLE thread = CreateThread(nullptr, 0, CrashWhenAsked, event, 0, nullptr);
    if (thread) CloseHandle(thread);
}

void UseNewsPageForTests() {
    wchar_t address[400] = {};
    const DWORD length = GetEnvironmentVariableW(L"VEXA_TEST_NEWS_URL", address, 400);
    if (length == 0 || length >= 400) return;
    ProgramNewsFetcher().UsePageForTests(address, NewsFetcher::kConnectTimeoutMs);
}

wchar_t gLaunchLog[MAX_PATH] = {};

void LogLaunch(const char* address) {
    FileHolder log(_wfopen(gLaunchLog, L"ab"));
    if (!log) return;
    fprintf(log.Get(), "%s\n", address);
}

void LogLaunchesForTests() {
    const DWORD length = GetEnvironmentVariableW(L"VEXA_TEST_LAUNCH_LOG", gLaunchLog, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    LinkLabel::SetBrowserLauncher(LogLaunch);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    gApp->privilegeSource = PrivilegeForTests;
    UseNewsPageForTests();
    LogLaunchesForTests();
    ClockTrialHoldForTests();
    CrashOnDemandForTests();
    return gApp->Run(instance, commandLine);
}
