#include "engine/timing_run.h"

#include "engine/command_line.h"
#include "engine/log_format.h"
#include "engine/log_sink.h"
#include "engine/settle_wait.h"
#include "engine/window_detection.h"
#include "engine/window_owner.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The status lines of a launch's steps: a measured launch's, and a warm-up's.
struct StepTexts {
    const char* beforeLaunch;
    const char* launching;
    const char* beforeClose;
    const char* beforeNext;
};
const StepTexts kIterationTexts = {
    "Iteration: %d - %d seconds until application is launched",
    "Iteration: %d - Launching Application",
    "Iteration: %d - %d seconds until application is closed",
    "Iteration: %d - %d seconds until next iteration",
};
const StepTexts kWarmupTexts = {
    "Warm-up: %d - %d seconds until application is launched",
    "Warm-up: %d - Launching Application",
    "Warm-up: %d - %d seconds until application is closed",
    "Warm-up: %d - %d seconds until next iteration",
};

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

// How often a window that was asked to close is looked for again.
const std::int64_t kCloseCheckMs = 50;

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

void SetStatus(RunObserver& observer, const char* format, int iteration, int seconds)
{
    char status[kStatusSize];
    std::snprintf(status, sizeof status, format, iteration, seconds);
    observer.ShowStatus(status);
}

// Shows the whole seconds left, one a second, then sleeps the rest, so the
// countdown lasts the full delay. False when a stop was asked for, at the
// end of the second it came in.
bool Countdown(Platform& platform, RunObserver& observer, const char* format, int iteration,
               const Delay& delay)
{
    for (int seconds = delay.wholeSeconds; seconds >= 1; --seconds) {
        SetStatus(observer, format, iteration, seconds);
        platform.process.Sleep(1000);
        if (platform.process.StopRequested())
            return false;
    }
    platform.process.Sleep(static_cast<unsigned>(delay.remainderMs));
    return !platform.process.StopRequested();
}

// Sends the chosen close messages in order, each allowed kCloseMessageTimeoutMs.
// False when one was not handled in time: the window does not answer, and
// the rest would only wait on it too.
bool SendCloseMessages(const RunSettings& settings, WindowPort& windows, WindowHandle window)
{
    struct CloseMessage {
        bool chosen;
        unsigned message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    const CloseMessage messages[] = {
        {settings.closeByWmClose, kMsgClose, 0, 0},
        {settings.closeBySysCommand, kMsgSysCommand, kSysCommandClose, 0},
        {settings.closeByAltF4, kMsgSysKeyDown, kVirtualKeyF4, kAltF4KeyData},
    };
    for (const CloseMessage& close : messages) {
        // A message the window did not handle because the first one already
        // destroyed it is not a failure to close.
        if (close.chosen &&
            !windows.Send(window, close.message, close.wParam, close.lParam,
                          kCloseMessageTimeoutMs) &&
            windows.Exists(window))
            return false;
    }
    return true;
}

// Waits, from `sentCount` on, until the window is gone, for at most
// kCloseWaitMs in all; the countdown since the messages went counts.
bool WaitUntilClosed(Platform& platform, WindowHandle window, std::int64_t sentCount,
                     std::int64_t frequency)
{
    for (;;) {
        if (!platform.windows.Exists(window))
            return true;
        const std::int64_t waitedMs =
            (platform.process.CounterNow() - sentCount) * 1000 / frequency;
        if (waitedMs >= static_cast<std::int64_t>(kCloseWaitMs))
            return false;
        const std::int64_t leftMs = static_cast<std::int64_t>(kCloseWaitMs) - waitedMs;
        platform.process.Sleep(static_cast<unsigned>(leftMs < kCloseCheckMs ? leftMs
                                                                             : kCloseCheckMs));
    }
}

// The application of the launch under way, and how far its closing got.
struct Launch {
    LaunchedProcess process;
    WindowHandle window = 0;
    bool closeSent = false;   // its close messages have been sent
    bool answered = true;     // and it handled each of them in time
    std::int64_t sentCount = 0;
};

void SendClose(const RunSettings& settings, Platform& platform, Launch* launch)
{
    launch->answered = SendCloseMessages(settings, platform.windows, launch->window);
    launch->sentCount = platform.process.CounterNow();
    launch->closeSent = true;
}

// Whether the window that was sent its close messages is gone in time.
bool WindowClosed(Platform& platform, const Launch& launch, std::int64_t frequency)
{
    return launch.answered && WaitUntilClosed(platform, launch.window, launch.sentCount, frequency);
}

// One of the programs a run launches, with what is its own: the log its
// times go to, its header's path, its command line and its window search.
// A comparison's baseline gets the run's settings but for its path and log.
struct TimedProgram {
    TimedProgram(const RunSettings& runSettings, Platform& platform, bool isBaseline)
        : settings(runSettings),
          baseline(isBaseline),
          detection{settings, platform.process, platform.windows, log, {}, {}, {}}
    {
        if (baseline) {
            std::strcpy(settings.appPath, runSettings.baselinePath);
            std::strcpy(settings.logPath, runSettings.baselineLogPath);
        }
        BuildCommandLine(settings, commandLine);
    }
    RunSettings settings;
    bool baseline;
    LogSink log;
    char commandLine[kCommandLineSize];
    Detection detection;
};

// What every launch of a run shares. A comparison alternates two programs,
// the baseline first in each round, so that a machine that grows slower or
// faster during the run weighs on both alike.
struct RunContext {
    Platform& platform;
    RunObserver& observer;
    Delay delay;
    TimedProgram* programs[2];
    int programCount;
};

void CloseLogs(RunContext& run)
{
    for (int i = 0; i < run.programCount; ++i)
        CloseLog(&run.programs[i]->log);
}

// The end of a run someone stopped (Ctrl-C). The log keeps the lines it
// has; an interrupted launch has no timing line, since it was not timed to
// the end. Its application is closed the way every launch's is, and ended
// when it has no window to close or its window stays: a CI job that is
// cancelled must not leave it running. False: the run is over.
bool StopOnInterrupt(const RunSettings& settings, RunContext& run, Launch* launch,
                     std::int64_t frequency)
{
    Platform& platform = run.platform;
    if (launch != nullptr) {
        bool closed = false;
        if (launch->window != 0 && AnyCloseMethod(settings)) {
            if (!launch->closeSent)
                SendClose(settings, platform, launch);
            closed = WindowClosed(platform, *launch, frequency);
        }
        unsigned long exitCode = 0;
        if (!closed && !platform.process.HasExited(launch->process, &exitCode))
            platform.process.Terminate(launch->process);
        platform.process.CloseProcessHandles(launch->process);
    }
    platform.process.EndTimerPeriod(kTimerPeriodMs);
    CloseLogs(run);
    run.observer.RunEnded(kRunInterrupted);
    return false;
}

void ReportLaunchFailure(Platform& platform, RunObserver& observer)
{
    const unsigned long code = platform.process.LastError();
    std::string text = platform.process.SystemErrorText(code);
    if (text.empty()) {
        char fallback[64];
        std::snprintf(fallback, sizeof fallback, "Unknown error %lu", code);
        text = fallback;
    }
    observer.ShowError(text.c_str(), "Error - Unable to launch process");
}

// The end of a run whose log cannot be written (a full disk, a share gone):
// a time that cannot be kept is not worth measuring. Kairon stays open, even
// in an unattended run, so that the error is there for whoever looks.
// False: the run is over.
bool StopOnWriteFailure(RunContext& run)
{
    run.platform.process.EndTimerPeriod(kTimerPeriodMs);
    CloseLogs(run);
    run.observer.ShowError("Unable to write to log file", "Error");
    run.observer.RunEnded(kRunStopped);
    return false;
}

// Long enough for a failure line with the longest window name.
const int kFailureLineSize = kWindowNameSize + 64;

// Keeps the first failure line of a launch, formatted as the log has it,
// without its line end.
void NoteFailure(char* failureLine, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
void NoteFailure(char* failureLine, const char* format, ...)
{
    if (failureLine[0] != '\0')
        return;
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(failureLine, kFailureLineSize, format, arguments);
    va_end(arguments);
    const std::size_t length = std::strlen(failureLine);
    if (length > 0 && failureLine[length - 1] == '\n')
        failureLine[length - 1] = '\0';
}

}  // namespace

float ElapsedSeconds(std::int64_t startCount, std::int64_t endCount, std::int64_t frequency)
{
    return static_cast<float>(static_cast<double>(endCount - startCount) /
                              static_cast<double>(frequency));
}

namespace {

// One launch of one program: the countdown, the launch, the waits, the
// timing line in the program's log, the close. False when the run is over
// (stopped, or an error ended it), true to go on.
bool TimeOneLaunch(RunContext& run, TimedProgram& program, std::int64_t number)
{
    const RunSettings& settings = program.settings;
    Platform& platform = run.platform;
    RunObserver& observer = run.observer;
    const Delay& delay = run.delay;
    LogSink& log = program.log;
    Detection& detection = program.detection;
    char* commandLine = program.commandLine;
    const bool warmup = number <= settings.warmups;
    const int iteration = static_cast<int>(warmup ? number : number - settings.warmups);
    const StepTexts& texts = warmup ? kWarmupTexts : kIterationTexts;
    log.muted = warmup;
    if (settings.debugLog) {
        WriteLog(&log, kLoopBannerFormat, iteration);
        FlushLog(&log);
        if (LogWriteFailed(log))
            return StopOnWriteFailure(run);
    }
    if (!Countdown(platform, observer, texts.beforeLaunch, iteration, delay))
        return StopOnInterrupt(settings, run, nullptr, 0);
    SetStatus(observer, texts.launching, iteration, 0);
    if (settings.detectByWindowName)
        ListWindowsBeforeLaunch(&detection);

    const std::int64_t frequency = platform.process.CounterFrequency();
    const std::int64_t startCount = platform.process.CounterNow();
    Launch launch;
    if (!platform.process.LaunchProcess(commandLine, &launch.process)) {
        platform.process.EndTimerPeriod(kTimerPeriodMs);
        ReportLaunchFailure(platform, observer);
        CloseLogs(run);
        observer.RunEnded(kRunStopped);
        return false;
    }
    // The first failure line of this launch, for the observer.
    char failureLine[kFailureLineSize] = "";
    // The counts at the phases that a later phase follows; the last
    // phase asked for ends at endCount.
    bool idleReached = false;
    std::int64_t idleCount = 0;
    std::int64_t windowCount = 0;
    bool visibleReached = false;
    if (settings.waitInputIdle) {
        if (platform.process.WaitForInputIdle(launch.process) != 0) {
            WriteLog(&log, kInputIdleFailedFormat);
            FlushLog(&log);
            NoteFailure(failureLine, kInputIdleFailedFormat);
        } else {
            idleReached = true;
            if (settings.markPhases && settings.detectByWindowName)
                idleCount = platform.process.CounterNow();
        }
    }
    if (settings.detectByWindowName) {
        SearchForWindow(&detection);
        if (detection.foundWindow.handle == 0)
            NoteFailure(failureLine, kWindowNotFoundFormat, settings.windowName);
        else if (settings.markPhases && settings.waitVisible)
            windowCount = platform.process.CounterNow();
    }
    if (settings.waitVisible && detection.foundWindow.handle != 0) {
        if (WaitUntilVisible(&detection))
            visibleReached = true;
        else
            NoteFailure(failureLine, kNotVisibleFormat, settings.windowName);
    }
    launch.window = detection.foundWindow.handle;
    if (platform.process.StopRequested())
        return StopOnInterrupt(settings, run, &launch, frequency);
    const std::int64_t endCount = platform.process.CounterNow();
    const WindowHandle window = launch.window;

    WindowOwner owner;
    if (settings.checkWindowOwner && window != 0) {
        owner = FindWindowOwner(platform.process, platform.windows, window, launch.process);
        if (owner.handedOff) {
            WriteLog(&log, kHandedOffFormat, settings.windowName);
            NoteFailure(failureLine, kHandedOffFormat, settings.windowName);
            // What the launch waited for was an older instance's doing:
            // no phase of it belongs to this launch's start-up.
            idleReached = false;
            visibleReached = false;
        }
    }
    // Input idle returns at once for a process that has ended, so without
    // a window of its own to show for it a dead process looks started.
    unsigned long exitCode = 0;
    if (window == 0 && platform.process.HasExited(launch.process, &exitCode)) {
        WriteLog(&log, kExitedBeforeReadyFormat, exitCode);
        NoteFailure(failureLine, kExitedBeforeReadyFormat, exitCode);
        idleReached = false;
    }
    // With --settled the launch is timed to its window's content; the
    // phases before it keep the counts they had.
    SettleResult settle;
    settle.count = endCount;
    if (settings.settledMs > 0 && window != 0 && failureLine[0] == '\0') {
        settle = WaitUntilSettled(platform, window, settings.settledMs, frequency);
        if (settle.stopped)
            return StopOnInterrupt(settings, run, &launch, frequency);
        if (!settle.settled) {
            WriteLog(&log, kNotSettledFormat, settings.windowName);
            NoteFailure(failureLine, kNotSettledFormat, settings.windowName);
        }
    }
    // On disk before anything that could hang or end Kairon: closing a
    // window that does not answer, or the user closing Kairon.
    const float seconds = ElapsedSeconds(startCount, settle.count, frequency);
    WriteLog(&log, kTimingFormat, static_cast<double>(seconds));
    FlushLog(&log);
    if (LogWriteFailed(log)) {
        if (window != 0)
            SendCloseMessages(settings, platform.windows, window);
        platform.process.CloseProcessHandles(launch.process);
        return StopOnWriteFailure(run);
    }
    LaunchResult result{iteration, warmup ? settings.warmups : settings.executions,
                        static_cast<double>(seconds),
                        failureLine[0] != '\0' ? failureLine : nullptr};
    result.warmup = warmup;
    result.baseline = program.baseline;
    if (settings.markPhases) {
        const auto since = [&](std::int64_t count) {
            return static_cast<double>(count - startCount) / static_cast<double>(frequency);
        };
        if (idleReached)
            result.marks.inputIdle = since(settings.detectByWindowName ? idleCount : endCount);
        if (window != 0 && !owner.handedOff)
            result.marks.window = since(settings.waitVisible ? windowCount : endCount);
        if (visibleReached)
            result.marks.visible = since(endCount);
        if (settle.settled)
            result.marks.settled = since(settle.count);
    }
    result.owner = owner;
    observer.LaunchTimed(result);

    if (!Countdown(platform, observer, texts.beforeClose, iteration, delay))
        return StopOnInterrupt(settings, run, &launch, frequency);
    const bool closing = window != 0 && AnyCloseMethod(settings);
    if (closing)
        SendClose(settings, platform, &launch);

    if (!Countdown(platform, observer, texts.beforeNext, iteration, delay))
        return StopOnInterrupt(settings, run, &launch, frequency);
    if (closing && !WindowClosed(platform, launch, frequency)) {
        WriteLog(&log, kCloseFailedFormat, settings.windowName);
        FlushLog(&log);
    }
    platform.process.CloseProcessHandles(launch.process);
    if (LogWriteFailed(log))
        return StopOnWriteFailure(run);
    return true;
}

}  // namespace

int TimingRun(const RunSettings& settings, Platform& platform, RunObserver& observer)
{
    // Where the system cannot keep the ticks, the pauses are merely longer.
    platform.process.KeepTimerPeriodWhileHidden();
    platform.process.BeginTimerPeriod(kTimerPeriodMs);
    TimedProgram app(settings, platform, false);
    TimedProgram baseline(settings, platform, true);
    const bool comparing = settings.baselinePath[0] != '\0';
    RunContext run{platform,
                   observer,
                   SplitDelay(settings.delayMs),
                   {comparing ? &baseline : &app, comparing ? &app : nullptr},
                   comparing ? 2 : 1};
    // Both logs, or no launch: half a comparison is worth nothing.
    for (int i = 0; i < run.programCount; ++i) {
        TimedProgram& program = *run.programs[i];
        if (!OpenLog(&program.log, program.settings.logPath)) {
            CloseLogs(run);
            platform.process.EndTimerPeriod(kTimerPeriodMs);
            observer.ShowError(program.baseline ? "Unable to open baseline log file"
                                                : "Unable to open log file",
                               "Error");
            observer.RunEnded(kRunStopped);
            return 1;
        }
    }

    for (int i = 0; i < run.programCount; ++i) {
        TimedProgram& program = *run.programs[i];
        WriteLog(&program.log, kHeaderFormat, program.settings.appPath, settings.executions);
        if (settings.debugLog)
            WriteLog(&program.log, "%s", kWindowStateKey);
        InitialScan(&program.detection);
        // A log that cannot take the header will not take the times either:
        // find out before anything is launched.
        FlushLog(&program.log);
        if (LogWriteFailed(program.log)) {
            StopOnWriteFailure(run);
            return 1;
        }
    }

    // Each round launches every program once: the warm-ups' rounds first.
    const std::int64_t launches = static_cast<std::int64_t>(settings.warmups) + settings.executions;
    for (std::int64_t number = 1; number <= launches; ++number) {
        for (int i = 0; i < run.programCount; ++i) {
            if (!TimeOneLaunch(run, *run.programs[i], number))
                return 1;
        }
    }
    platform.process.EndTimerPeriod(kTimerPeriodMs);

    if (settings.autoRun) {
        observer.RunEnded(kRunFinishedUnattended);
        CloseLogs(run);
        observer.CloseProgram();
    } else {
        observer.RunEnded(kRunFinished);
        CloseLogs(run);
    }
    return 1;
}
