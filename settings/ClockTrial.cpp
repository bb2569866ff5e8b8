#include "ClockTrial.h"

#include "HandleHolders.h"
#include "ProgramRegistry.h"

const wchar_t kClockTrialName[] = L"ClocksOnTrial";
const wchar_t kClocksLeftOutName[] = L"ClocksLeftOut";

namespace {

DWORD gHoldMs = 10000;

bool ValueSet(const wchar_t* name) {
    DWORD value = 0, size = sizeof(value), type = REG_NONE;
    return ReadProgramValue(name, &value, &size, &type) && type == REG_DWORD && value != 0;
}

void SetValue(const wchar_t* name) {
    DWORD on = 1;
    WriteProgramValue(name, &on, sizeof(on), REG_DWORD);
}

void ClearValue(const wchar_t* name) {
    RegistryKeyHolder key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProgramKeyPath, 0, KEY_SET_VALUE, key.Receive()) != ERROR_SUCCESS) return;
    RegDeleteValueW(key.Get(), name);
}

}  // namespace

DWORD ClockTrialHoldMs() {
    return gHoldMs;
}

void SetClockTrialHoldMsForTests(DWORD ms) {
    gHoldMs = ms;
}

bool BeginClockTrial() {
    if (ValueSet(kClockTrialName)) {
        // The note first: a start that dies here still tells next time.
        SetValue(kClocksLeftOutName);
        ClearValue(kClockTrialName);
        return false;
    }
    SetValue(kClockTrialName);
    return true;
}

void EndClockTrial() {
    ClearValue(kClockTrialName);
}

bool TakeClocksLeftOutNote() {
    if (!ValueSet(kClocksLeftOutName)) return false;
    ClearValue(kClocksLeftOutName);
    return true;
}
