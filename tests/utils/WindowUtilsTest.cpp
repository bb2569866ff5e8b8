#include "WindowUtils.h"

#include <process.h>

#include <gtest/gtest.h>

namespace {

unsigned __stdcall EndOnQuit(void*) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    }
    return 0;
}

struct Counter {
    volatile LONG quitsSeen;
    volatile LONG stop;
};

// Counts WM_QUIT messages and goes on running, as a stuck worker would.
unsigned __stdcall IgnoreQuit(void* param) {
    Counter* counter = static_cast<Counter*>(param);
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    while (!counter->stop) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) InterlockedIncrement(&counter->quitsSeen);
        }
        Sleep(5);
    }
    return 0;
}

HANDLE StartThread(unsigned(__stdcall* fn)(void*), void* param, unsigned* id) {
    return reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, fn, param, 0, id));
}

}  // namespace

TEST(StopThreadWithTimeout, ThreadThatEndsOnQuit) {
    unsigned id = 0;
    HANDLE thread = StartThread(EndOnQuit, nullptr, &id);
    ASSERT_NE(nullptr, thread);
    // The thread needs its queue before a posted WM_QUIT can reach it.
    while (!PostThreadMessageW(id, WM_QUIT, 0, 0))
        Sleep(1);
    DWORD start = GetTickCount();
    EXPECT_TRUE(StopThreadWithTimeout(id));
    EXPECT_LT(GetTickCount() - start, 2000u);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}

TEST(StopThreadWithTimeout, ThreadAlreadyEndedIsReportedWithoutPosting) {
    unsigned id = 0;
    HANDLE thread = StartThread(EndOnQuit, nullptr, &id);
    while (!PostThreadMessageW(id, WM_QUIT, 0, 0))
        Sleep(1);
    WaitForSingleObject(thread, INFINITE);
    // Keeping the handle open keeps the thread object (and its id) alive.
    EXPECT_TRUE(StopThreadWithTimeout(id));
    CloseHandle(thread);
}

TEST(StopThreadWithTimeout, ThreadIgnoringQuitTimesOutAfterAbout2800ms) {
    Counter counter = {0, 0};
    unsigned id = 0;
    HANDLE thread = StartThread(IgnoreQuit, &counter, &id);
    ASSERT_NE(nullptr, thread);
    DWORD start = GetTickCount();
    EXPECT_FALSE(StopThreadWithTimeout(id));
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 2800u);
    EXPECT_LT(elapsed, 5000u);
    counter.stop = 1;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_GT(counter.quitsSeen, 1);
}

TEST(StopThreadWithTimeout, NoThread) {
    EXPECT_FALSE(StopThreadWithTimeout(0));
}

TEST(CenterWindowOnScreen, RealWindowIsCentredAndKeptOnScreen) {
    HWND wide = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 4000, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, wide);
    EXPECT_TRUE(CenterWindowOnScreen(wide, nullptr));
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    GetWindowPlacement(wide, &wp);
    int sw = GetSystemMetrics(SM_CXFULLSCREEN);
    int sh = GetSystemMetrics(SM_CYFULLSCREEN);
    EXPECT_EQ(sw, wp.rcNormalPosition.right);
    EXPECT_EQ(sw - 4000, wp.rcNormalPosition.left);
    EXPECT_EQ((sh - 100) / 2, wp.rcNormalPosition.top);

    HWND small = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 40, 20, nullptr, nullptr, nullptr, nullptr);
    HWND ref = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 100, 60, 200, 100, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(CenterWindowOnScreen(small, ref));
    GetWindowPlacement(small, &wp);
    EXPECT_EQ(180, wp.rcNormalPosition.left);
    EXPECT_EQ(100, wp.rcNormalPosition.top);
    EXPECT_EQ(40, wp.rcNormalPosition.right - wp.rcNormalPosition.left);
    DestroyWindow(ref);
    DestroyWindow(small);
    DestroyWindow(wide);
}

TEST(FindProcessWindow, FindsOwnWindowAndNotAnUnknownProcess) {
    HWND own = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND found = nullptr;
    EXPECT_TRUE(FindProcessWindow(GetCurrentProcessId(), &found));
    DWORD pid = 0;
    GetWindowThreadProcessId(found, &pid);
    EXPECT_EQ(GetCurrentProcessId(), pid);
    found = nullptr;
    // Process ids are multiples of four; this one cannot exist.
    EXPECT_FALSE(FindProcessWindow(0xFFFFFFF1, &found));
    EXPECT_EQ(nullptr, found);
    DestroyWindow(own);
}

TEST(CutToFolder, CutsAtTheLastBackslash) {
    wchar_t path[] = L"C:\\Program Files\\Vexa Panel\\VexaPanel.exe";
    EXPECT_STREQ(L"C:\\Program Files\\Vexa Panel", CutToFolder(path));
    wchar_t root[] = L"C:\\VexaPanel.exe";
    EXPECT_STREQ(L"C:", CutToFolder(root));
    wchar_t bare[] = L"VexaPanel.exe";
    EXPECT_STREQ(L"VexaPanel.exe", CutToFolder(bare));
    EXPECT_EQ(nullptr, CutToFolder(nullptr));
}
