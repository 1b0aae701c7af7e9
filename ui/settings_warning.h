// What the main dialog says when a run's settings fail a check.
#ifndef KAIRON_UI_SETTINGS_WARNING_H
#define KAIRON_UI_SETTINGS_WARNING_H

#include "config/run_settings.h"
#include "platform/platform.h"

struct SettingsWarning {
    SettingsCheck check;
    const char* text;
    const char* caption;
};

// The warning for a failed check; null for kSettingsValid (or a check
// nobody has written a warning for).
const SettingsWarning* WarningForCheck(SettingsCheck check);

// Runs the checks in order. On the first that fails, shows its warning box
// (owned by the main dialog) and returns false.
bool ValidateRunSettings(const RunSettings& settings, DialogPort& dialog);

#endif
