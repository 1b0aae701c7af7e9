#include "dialog/settings_capture.h"

#include "resources/control_ids.h"

namespace {

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
