#pragma once

class Application;

// Re-applies the hardware settings saved at the last close, when the user
// asked for that (RestoreUserSettings). Returns true when settings were
// applied.
bool ApplySavedSettingsAtStart(Application& app);
