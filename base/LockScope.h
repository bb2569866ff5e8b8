// Holds a critical section for the rest of a scope, so every path out of it
// leaves the section again.
#pragma once

#include <windows.h>

class LockScope {
public:
    explicit LockScope(CRITICAL_SECTION* lock) : lock_(lock) { EnterCriticalSection(lock_); }
    ~LockScope() { LeaveCriticalSection(lock_); }
    LockScope(const LockScope&) = delete;
    LockScope& operator=(const LockScope&) = delete;

private:
    CRITICAL_SECTION* lock_;
};
