#include "config/settings_check_text.h"

namespace {

const SettingsWarning kWarnings[] = {
    {kCheckApplication, "Please enter an application to run", "No application selected"},
    {kCheckLogFile, "Please enter a log file to save results to", "No log file entered"},
    {kCheckWindowName,
     "Please enter the main window name so application can be closed automatically.",
     "No window name"},
    {kCheckExecutions, "Please enter a valid number of executions to perform",
     "Invalid execution number"},
    {kCheckDelay, "Please enter a delay time above 0", "Invalid delay"},
    {kCheckCloseMethod, "Please select at least one close method", "Select close method"},
    {kCheckVisibleDetection,
     "Please select the Window name detection method and enter a window name\n"
     "or window cannot be checked if it is visible",
     "Enter window name"},
    {kCheckCloseDetection,
     "Please select the Window name detection method and enter a window name\n"
     "or application can not be closed.",
     "No window name"},
};

}  // namespace

const SettingsWarning* WarningForCheck(SettingsCheck check)
{
    for (const SettingsWarning& warning : kWarnings) {
        if (warning.check == check)
            return &warning;
    }
    return nullptr;
}
