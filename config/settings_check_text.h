// What a run's settings that fail a check are told, in the dialog's boxes
// and on kairon-time's standard error alike.
#ifndef KAIRON_CONFIG_SETTINGS_CHECK_TEXT_H
#define KAIRON_CONFIG_SETTINGS_CHECK_TEXT_H

#include "config/run_settings.h"

struct SettingsWarning {
    SettingsCheck check;
    const char* text;
    const char* caption;
};

// The warning for a failed check; null for kSettingsValid (or a check
// nobody has written a warning for).
const SettingsWarning* WarningForCheck(SettingsCheck check);

#endif
