#include "dialog/settings_warning.h"

bool ValidateRunSettings(const RunSettings& settings, DialogPort& dialog)
{
    const SettingsCheck failed = FirstFailedCheck(settings);
    if (failed == kSettingsValid)
        return true;
    // A check without words still stops the run: better a terse box than a
    // run on settings known to be wrong.
    const SettingsWarning* warning = WarningForCheck(failed);
    dialog.ShowMessageBox(warning ? warning->text : "Please check the settings",
                          warning ? warning->caption : "Invalid settings", kBoxIconWarning);
    return false;
}
