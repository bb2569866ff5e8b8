#pragma once

class Application;

// The apply-only start's work: re-applies the hardware settings saved at the
// last close, when the user asked for that (RestoreUserSettings). Returns
// true when the file held a section for at least one card in its slot.
bool ApplySavedSettingsAtStart(Application& app);
