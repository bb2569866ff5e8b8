#include "StartMode.h"

#include "RunValueText.h"

// The command line and the Run value share one table of words.
static_assert(kStartNormal == kRunModeNormal && kStartMinimize == kRunModeMinimize &&
                  kStartSysTray == kRunModeSysTray && kStartOnlyApplySettings == kRunModeOnlyApplySettings,
              "start modes and Run value modes must agree");

StartMode ParseStartMode(const char* commandLine) {
    return static_cast<StartMode>(RunModeForWord(commandLine));  // 0 for anything that is not a word
}
