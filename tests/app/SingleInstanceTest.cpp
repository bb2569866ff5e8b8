#include "SingleInstance.h"

#include <gtest/gtest.h>

TEST(CheckSingleInstance, SecondCallerSeesTheFirstAndGetsNoHandle) {
    const wchar_t* name = L"VexaPanelTest_SingleInstance";
    HANDLE first = nullptr;
    ASSERT_EQ(kFirstInstance, CheckSingleInstance(&first, name));
    ASSERT_NE(nullptr, first);

    HANDLE second = reinterpret_cast<HANDLE>(1);
    EXPECT_EQ(kAnotherInstance, CheckSingleInstance(&second, name));
    EXPECT_EQ(nullptr, second);

    // Once the first instance has gone, the next start is the first again.
    CloseHandle(first);
    HANDLE third = nullptr;
    EXPECT_EQ(kFirstInstance, CheckSingleInstance(&third, name));
    CloseHandle(third);
}

TEST(CheckSingleInstance, UnusableNameIsReported) {
    HANDLE mutex = reinterpret_cast<HANDLE>(1);
    // Backslashes are only allowed after a namespace prefix.
    EXPECT_EQ(kMutexUnavailable, CheckSingleInstance(&mutex, L"No\\Such\\Namespace\\Mutex"));
    EXPECT_EQ(nullptr, mutex);
}
