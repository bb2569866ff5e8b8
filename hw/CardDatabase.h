#pragma once
// The card database "DMini": per card model (section "<device key>_Inf") fan
// presets in percent of 3000 RPM, temperature thresholds and clock ceilings.

class HardwareObject;
class CardSettings;

enum CardDatabaseResult {
    kCardDatabaseLoaded = 0,
    kCardDatabaseDeviceKeyFailed = 5,  // a GPU's device key could not be read
};

// Fills each GPU's settings from the hardware and the database. A missing or
// damaged database leaves the defaults; only a failed device-key read fails
// the load (5). Returns 0 otherwise.
CardDatabaseResult LoadCardDatabase(const wchar_t* fileName, HardwareObject& hw, CardSettings& settings);

// Takes each controllable fan's work mode and manual speed from the card.
// The load above runs while the start-up worker may hold a fan at its test
// speed, so start-up calls this again once the worker has put it back.
void ReadFanStates(HardwareObject& hw, CardSettings& settings);
