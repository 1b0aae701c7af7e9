// What the main dialog says when a run's settings fail a check.
#ifndef KAIRON_DIALOG_SETTINGS_WARNING_H
#define KAIRON_DIALOG_SETTINGS_WARNING_H

#include "config/settings_check_text.h"
#include "platform/platform.h"

// Runs the checks in order. On the first that fails, shows its warning box
// (owned by the main dialog) and returns false.
bool ValidateRunSettings(const RunSettings& settings, DialogPort& dialog);

#endif
