#include "engine/timing_run.h"

#include "engine/command_line.h"
#include "engine/log_format.h"
#include "engine/log_sink.h"
#include "engine/window_detection.h"
#include "resources/control_ids.h"

#include <cstdio>
#include <string>

namespace {

const char kCountdownBeforeLaunch[] = "Iteration: %d - %d seconds until application is launched";
const char kCountdownBeforeClose[] = "Iteration: %d - %d seconds until application is closed";
const char kCountdownBeforeNext[] = "Iteration: %d - %d seconds until next iteration";

// Windows rounds a Sleep up to the system timer's tick, 15.6 ms unless some
// program asked for less, so each 10 ms pause of the window search would
// last 15.6 ms and the measured times would grow by as much. A run asks for
// 1 ms ticks from its start until its last pause, and withdraws the request
// before any message box that waits for the user. (Since Windows 10 version
// 2004 the request affects only Kairon's own process; before, the whole
// system's timer. Windows 11 may drop it while Kairon's windows are hidden
// or covered, as they are while the timed application is up, unless the
// process says it needs it then too.)
const unsigned kTimerPeriodMs = 1;

struct Delay {
    int wholeSeconds;
    int remainderMs;
};

Delay SplitDelay(std::int32_t delayMs)
{
    Delay delay;
    delay.wholeSeconds = delayMs / 1000;
    delay.remainderMs = delayMs - delay.wholeSeconds * 1000;
    return delay;
}

void SetStatus(DialogPort& dialog, const char* format, int iteration, int seconds)
{
    char status[kStatusSize];
    std::snprintf(status, sizeof status, format, iteration, seconds);
    dialog.SetFieldText(IDC_STATUS, status);
}

// Shows the whole seconds left, one a second, then sleeps the rest, so the
// countdown lasts the full delay.
void Countdown(Platform& platform, const char* format, int iteration, const Delay& delay)
{
    for (int seconds = delay.wholeSeconds; seconds >= 1; --seconds) {
        SetStatus(platform.dialog, format, iteration, seconds);
        platform.process.Sleep(1000);
    }
    platform.process.Sleep(static_cast<unsigned>(delay.remainderMs));
}

void SendCloseMessages(const RunSettings& settings, WindowPort& windows, WindowHandle window)
{
    if (settings.closeByWmClose)
        windows.Send(window, kMsgClose, 0, 0);
    if (settings.closeBySysCommand)
        windows.Send(window, kMsgSysCommand, kSysCommandClose, 0);
    if (settings.closeByAltF4)
        windows.Send(window, kMsgSysKeyDown, kVirtualKeyF4, kAltF4KeyData);
}

void ReportLaunchFailure(Platform& platform)
{
    const unsigned long code = platform.process.LastError();
    std::string text = platform.process.SystemErrorText(code);
    if (text.empty()) {
        char fallback[64];
        std::snprintf(fallback, sizeof fallback, "Unknown error %lu", code);
        text = fallback;
    }
    platform.dialog.ShowMessageBox(text.c_str(), "Error - Unable to launch process", kBoxOk);
}

}  // namespace

float ElapsedSeconds(std::int64_t startCount, std::int64_t endCount, std::int64_t frequency)
{
    return static_cast<float>(static_cast<double>(endCount - startCount) /
                              static_cast<double>(frequency));
}

int TimingRun(const RunSettings& settings, Platform& platform)
{
    // Where the system cannot keep the ticks, the pauses are merely longer.
    platform.process.KeepTimerPeriodWhileHidden();
    platform.process.BeginTimerPeriod(kTimerPeriodMs);
    LogSink log;
    if (!OpenLog(&log, settings.logPath)) {
        platform.process.EndTimerPeriod(kTimerPeriodMs);
        platform.dialog.ShowMessageBox("Unable to open log file", "Error", kBoxOk);
        platform.dialog.EnableControl(IDC_RUN, true);
        return 1;
    }
    const Delay delay = SplitDelay(settings.delayMs);

    WriteLog(&log, kHeaderFormat, settings.appPath, settings.executions);
    if (settings.debugLog)
        WriteLog(&log, "%s", kWindowStateKey);

    char commandLine[kCommandLineSize];
    BuildCommandLine(settings, commandLine);

    Detection detection{settings, platform.process, platform.windows, log, {}, {}};
    InitialScan(&detection);

    for (int iteration = 1; iteration <= settings.executions; ++iteration) {
        if (settings.debugLog) {
            WriteLog(&log, kLoopBannerFormat, iteration);
            FlushLog(&log);
        }
        Countdown(platform, kCountdownBeforeLaunch, iteration, delay);
        SetStatus(platform.dialog, "Iteration: %d - Launching Application", iteration, 0);

        const std::int64_t frequency = platform.process.CounterFrequency();
        const std::int64_t startCount = platform.process.CounterNow();
        LaunchedProcess launched;
        if (!platform.process.LaunchProcess(commandLine, &launched)) {
            platform.process.EndTimerPeriod(kTimerPeriodMs);
            ReportLaunchFailure(platform);
            CloseLog(&log);
            platform.dialog.EnableControl(IDC_RUN, true);
            return 1;
        }
        if (settings.waitInputIdle && platform.process.WaitForInputIdle(launched) != 0) {
            WriteLog(&log, kInputIdleFailedFormat);
            FlushLog(&log);
        }
        if (settings.detectByWindowName)
            SearchForWindow(&detection);
        if (settings.waitVisible && detection.foundWindow.handle != 0)
            WaitUntilVisible(&detection);
        const std::int64_t endCount = platform.process.CounterNow();

        Countdown(platform, kCountdownBeforeClose, iteration, delay);
        if (detection.foundWindow.handle != 0)
            SendCloseMessages(settings, platform.windows, detection.foundWindow.handle);

        const float seconds = ElapsedSeconds(startCount, endCount, frequency);
        WriteLog(&log, kTimingFormat, static_cast<double>(seconds));
        FlushLog(&log);

        Countdown(platform, kCountdownBeforeNext, iteration, delay);
        platform.process.CloseProcessHandles(launched);
    }
    platform.process.EndTimerPeriod(kTimerPeriodMs);

    platform.dialog.EnableControl(IDC_RUN, true);
    if (settings.autoRun) {
        CloseLog(&log);
        platform.dialog.PostClose();
    } else {
        platform.dialog.SetFieldText(IDC_STATUS, "Finished executions");
        platform.dialog.ShowMessageBox("Finished executions", "Finished", kBoxOk);
        CloseLog(&log);
    }
    return 1;
}
