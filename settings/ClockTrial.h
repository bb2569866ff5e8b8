#pragma once
// Saved clocks that took the machine down must not be applied at every start
// again. Before a start applies them it opens a trial in the program's
// registry key; the trial is closed once the card has answered normally for
// a while after the apply, or the program has ended normally. A start that
// finds a trial still open (a crash, a hang, a driver reset or a power cut
// came first) leaves the saved clocks out, closes the trial and leaves a
// note that the next panel shown tells the user about once.

#include <windows.h>

// Registry values under "Software\VexaPanel": DWORD 1 while set.
extern const wchar_t kClockTrialName[];     // "ClocksOnTrial"
extern const wchar_t kClocksLeftOutName[];  // "ClocksLeftOut"

// How long the card must answer normally after an apply.
DWORD ClockTrialHoldMs();
void SetClockTrialHoldMsForTests(DWORD ms);

// Decides for a start about to apply saved clocks: true when they may be
// applied (a trial is now open), false when an earlier trial never ended
// (then the trial is closed and the note left).
bool BeginClockTrial();
void EndClockTrial();

// True once after a start left the clocks out; the note is gone afterwards.
bool TakeClocksLeftOutNote();
