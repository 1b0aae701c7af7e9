#include "config/run_settings.h"

#include "resources/control_ids.h"

RunSettings g_runSettings;

namespace {

struct Check {
    bool (*fails)(const RunSettings& settings);
    const char* text;
    const char* caption;
};

bool AnyCloseMethod(const RunSettings& s)
{
    return s.closeByWmClose || s.closeBySysCommand || s.closeByAltF4;
}

// The checks in the order the user meets them; the first failure is shown.
const Check kChecks[] = {
    {[](const RunSettings& s) { return s.appPath[0] == '\0'; },
     "Please enter an application to run", "No application selected"},
    {[](const RunSettings& s) { return s.logPath[0] == '\0'; },
     "Please enter a log file to save results to", "No log file entered"},
    {[](const RunSettings& s) { return s.windowName[0] == '\0' && !s.detectByWindowName; },
     "Please enter the main window name so application can be closed automatically.",
     "No window name"},
    {[](const RunSettings& s) { return s.executions <= 0; },
     "Please enter a valid number of executions to perform", "Invalid execution number"},
    {[](const RunSettings& s) { return s.delayMs <= 0; },
     "Please enter a delay time above 0", "Invalid delay"},
    {[](const RunSettings& s) { return s.executions >= 2 && !AnyCloseMethod(s); },
     "Please select at least one close method", "Select close method"},
    {[](const RunSettings& s) { return s.waitVisible && !s.detectByWindowName; },
     "Please select the Window name detection method and enter a window name\n"
     "or window cannot be checked if it is visible",
     "Enter window name"},
    {[](const RunSettings& s) { return AnyCloseMethod(s) && !s.detectByWindowName; },
     "Please select the Window name detection method and enter a window name\n"
     "or application can not be closed.",
     "No window name"},
};

// Numbers are read without sign and held as signed 32-bit values: the
// unsigned value's bits, so 4294967295 becomes -1.
std::int32_t AsSigned(unsigned value)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

}  // namespace

void CaptureRunSettings(DialogPort& dialog, RunSettings* settings)
{
    dialog.FieldText(IDC_APP_PATH, settings->appPath, kPathSize);
    RemoveQuotesAroundPath(settings->appPath);
    dialog.FieldText(IDC_LOG_PATH, settings->logPath, kPathSize);
    dialog.FieldText(IDC_WINDOW_NAME, settings->windowName, kWindowNameSize);
    dialog.FieldText(IDC_CMD_LINE, settings->cmdLineArgs, kArgumentsSize);
    settings->executions = AsSigned(dialog.FieldNumber(IDC_EXECUTIONS));
    settings->delayMs = AsSigned(dialog.FieldNumber(IDC_DELAY));
    settings->closeByWmClose = dialog.IsChecked(IDC_CLOSE_WM_CLOSE);
    settings->closeBySysCommand = dialog.IsChecked(IDC_CLOSE_SYSCOMMAND);
    settings->closeByAltF4 = dialog.IsChecked(IDC_CLOSE_ALT_F4);
    settings->detectByWindowName = dialog.IsChecked(IDC_DETECT_WINDOW_NAME);
    settings->exactMatch = dialog.IsChecked(IDC_EXACT_MATCH);
    settings->debugLog = dialog.IsChecked(IDC_DEBUG);
    settings->newWindowsOnly = dialog.IsChecked(IDC_NEW_WINDOWS_ONLY);
    settings->waitInputIdle = dialog.IsChecked(IDC_INPUT_IDLE);
    settings->waitVisible = dialog.IsChecked(IDC_VISIBLE);
}

bool ValidateRunSettings(const RunSettings& settings, DialogPort& dialog)
{
    for (const Check& check : kChecks) {
        if (check.fails(settings)) {
            dialog.ShowMessageBox(check.text, check.caption, kBoxIconWarning);
            return false;
        }
    }
    return true;
}
