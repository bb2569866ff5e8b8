#include "CardDatabase.h"

int LoadCardDatabase(const wchar_t* fileName, HardwareObject& hw, CardSettings& settings) {
    (void)fileName;
    (void)hw;
    (void)settings;
    // The database reader is not built yet.
    return 1;
}
