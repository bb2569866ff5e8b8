// Runs one save of the hardware settings on the virtual card and stops it
// for good between writing the new file and putting it in place, so that a
// test can kill it there. Arguments: the settings file, the name of an
// event to set when paused.

#include <windows.h>

#include <string>

#include "CardDatabase.h"
#include "CardSettings.h"
#include "HardwareObject.h"
#include "SavedHardwareSettings.h"

namespace {

HANDLE gPaused = NULL;

void PauseForever(const wchar_t*) {
    SetEvent(gPaused);
    Sleep(INFINITE);
}

std::wstring Wide(const char* text) {
    return std::wstring(text, text + strlen(text));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 1;
    gPaused = OpenEventW(EVENT_MODIFY_STATE, FALSE, Wide(argv[2]).c_str());
    if (!gPaused) return 2;
    HardwareObject hw;
    hw.SetGuiThreadId(GetCurrentThreadId());
    if (hw.InitializeHardware() != kHardwareStarted || !hw.WaitForStartupCheck(60000)) return 3;
    CardSettings cards;
    if (LoadCardDatabase(L"DMini", hw, cards) != kCardDatabaseLoaded) return 4;
    gSettingsBeforeReplaceForTests = PauseForever;
    SaveSettingsFile(hw, cards, 0, 2000, Wide(argv[1]).c_str());
    return 5;
}
