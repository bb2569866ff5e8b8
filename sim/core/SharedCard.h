// The one card state all processes share: a named file mapping over a state
// file, guarded by a named mutex. The first process to open it powers the
// card up (from VEXA_VCARD) unless the state file already holds a card of the
// same scenario, which then carries on: a flashed BIOS stays flashed.
#pragma once

#include "CardState.h"

namespace vcard {

class SharedCard {
public:
    // Locks the state and brings the model up to the wall clock; null when
    // the state cannot be opened (OpenError says why).
    static CardState* Lock();
    static void Unlock();

    // Powers the locked state up from a scenario (null or "" = VEXA_VCARD,
    // else the default). A named scenario stays chosen for later runs that do
    // not set VEXA_VCARD. Keeps the time mode; returns false when the
    // scenario did not load (the card is then left without a driver).
    static bool PowerUp(CardState* state, const char* scenario);

    static const wchar_t* StatePath();
    static const char* OpenError();
};

// Holds the lock for a scope.
class CardLock {
public:
    CardLock() : state_(SharedCard::Lock()) {}
    ~CardLock() {
        if (state_) SharedCard::Unlock();
    }
    CardLock(const CardLock&) = delete;
    CardLock& operator=(const CardLock&) = delete;

    CardState* get() const { return state_; }
    CardState* operator->() const { return state_; }
    explicit operator bool() const { return state_ != nullptr; }

private:
    CardState* state_;
};

}  // namespace vcard
