#pragma once

class HardwareObject;
class CardSettings;

// Reads the encoded card database and fills each card's settings.
// Returns 0 on success, non-zero when the database cannot be used.
int LoadCardDatabase(const wchar_t* fileName, HardwareObject& hw, CardSettings& settings);
