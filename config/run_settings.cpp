#include "config/run_settings.h"

bool AnyCloseMethod(const RunSettings& s)
{
    return s.closeByWmClose || s.closeBySysCommand || s.closeByAltF4;
}

SettingsCheck FirstFailedCheck(const RunSettings& s)
{
    if (s.appPath[0] == '\0')
        return kCheckApplication;
    if (s.logPath[0] == '\0')
        return kCheckLogFile;
    if (s.windowName[0] == '\0' && !s.detectByWindowName)
        return kCheckWindowName;
    if (s.executions <= 0)
        return kCheckExecutions;
    if (s.delayMs <= 0)
        return kCheckDelay;
    // One execution needs no closing: nothing is launched after it.
    if (s.executions >= 2 && !AnyCloseMethod(s))
        return kCheckCloseMethod;
    if (s.waitVisible && !s.detectByWindowName)
        return kCheckVisibleDetection;
    if (AnyCloseMethod(s) && !s.detectByWindowName)
        return kCheckCloseDetection;
    return kSettingsValid;
}
