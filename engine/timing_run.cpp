#include "engine/timing_run.h"

#include "engine/command_line.h"
#include "engine/file_cache.h"
#include "engine/log_format.h"
#include "engine/log_sink.h"
#include "engine/settle_wait.h"
#include "engine/window_detection.h"
#include "engine/window_owner.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
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

// The application of the launch under way, and how far its closing got.
struct Launch {
    LaunchedProcess process;
    WindowHandle window = 0;
    bool closeSent = false;   // its close messages have been sent
    std::int64_t sentCount = 0;
    bool timed = false;       // the observer has been given its time, and is
                              // told what became of it
    bool missed = false;      // it missed what it waited for
    // The owner of its window when the launch started that process (a
    // launcher's real program); 0 otherwise.
    unsigned long startedOwnerId = 0;
};

void SendClose(const RunSettings& settings, Platform& platform, Launch* launch)
{
    // The close wait counts from the first message, so that a window
    // whose thread does not answer is not waited for twice. A message that
    // timed out only spares the window the rest: whether it closed is told
    // by whether it is still there.
    launch->sentCount = platform.process.CounterNow();
    launch->closeSent = true;
    SendCloseMessages(settings, platform.windows, launch->window);
}

// Whether what the close messages were to end is gone: the window, and
// when nothing may be left running, the launched process too (a program
// that hides its window or keeps a second one goes on without it).
bool LaunchGone(const RunSettings& settings, Platform& platform, const Launch& launch)
{
    if (platform.windows.Exists(launch.window))
        return false;
    unsigned long exitCode = 0;
    return !settings.endLeftRunning || platform.process.HasExited(launch.process, &exitCode);
}

enum CloseWait { kWaitClosed, kWaitTimedOut, kWaitStopped };

// Waits, from the close messages on, until the launch is gone, for at most
// kCloseWaitMs in all; the countdown since the messages went counts. With
// `stoppable`, a stop that was asked for ends the wait at once.
CloseWait WaitUntilClosed(const RunSettings& settings, Platform& platform, const Launch& launch,
                          std::int64_t frequency, bool stoppable)
{
    for (;;) {
        if (LaunchGone(settings, platform, launch))
            return kWaitClosed;
        const std::int64_t waitedMs =
            (platform.process.CounterNow() - launch.sentCount) * 1000 / frequency;
        if (waitedMs >= static_cast<std::int64_t>(kCloseWaitMs))
            return kWaitTimedOut;
        if (stoppable && platform.process.StopRequested())
            return kWaitStopped;
        const std::int64_t leftMs = static_cast<std::int64_t>(kCloseWaitMs) - waitedMs;
        platform.process.Sleep(static_cast<unsigned>(leftMs < kCloseCheckMs ? leftMs
                                                                             : kCloseCheckMs));
    }
}

// How long an ended process is given to be gone, so that the next launch
// does not meet it (TerminateProcess only starts the ending).
const int kEndWaitChecks = 100;
const unsigned kEndCheckMs = 10;

// Ends the launched process when it still runs, and the owner of its
// window when the launch started that process. True when either was ended.
bool EndLaunch(Platform& platform, const Launch& launch)
{
    bool ended = false;
    unsigned long exitCode = 0;
    if (!platform.process.HasExited(launch.process, &exitCode)) {
        platform.process.Terminate(launch.process);
        for (int check = 0; check < kEndWaitChecks &&
                            !platform.process.HasExited(launch.process, &exitCode);
             ++check)
            platform.process.Sleep(kEndCheckMs);
        ended = true;
    }
    if (launch.startedOwnerId != 0 && platform.process.EndProcess(launch.startedOwnerId))
        ended = true;
    return ended;
}

// What a launch leaves once its close wait is over or cut short: with
// endLeftRunning, whatever still runs of a launch that did not close, or
// that missed what it waited for, is ended.
CloseOutcome EndWhatIsLeft(const RunSettings& settings, Platform& platform, const Launch& launch,
                           bool closed)
{
    if (closed)
        return kCloseClosed;
    // A launch that reached input idle alone is left running, as the
    // dialog leaves it: there was nothing to close it by.
    const bool mustEnd = launch.closeSent || launch.missed;
    if (settings.endLeftRunning && mustEnd && EndLaunch(platform, launch))
        return kCloseEnded;
    return launch.closeSent ? kCloseFailed : kCloseNone;
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
    bool watchingWindowEvents;
    // The setup command has been reached: the cleanup command is owed.
    bool cleanupOwed = false;
};

const char kCommandCaption[] = "Error - Command failed";

// Runs one of the commands around the launches and waits for it. Empty
// text runs nothing. *error says why when it could not be started or ended
// with an exit code other than 0.
bool RunAroundCommand(Platform& platform, const char* command, const char* which,
                      bool stoppable, std::string* error)
{
    if (command[0] == '\0')
        return true;
    unsigned long exitCode = 0;
    if (!platform.process.RunShellCommand(command, stoppable, &exitCode)) {
        if (!platform.process.StopRequested())
            *error = std::string("the ") + which + " command could not be started: " +
                     platform.process.SystemErrorText(platform.process.LastError()) + ": " +
                     command;
        return false;
    }
    if (exitCode == 0)
        return true;
    *error = std::string("the ") + which + " command exited with code " +
             std::to_string(exitCode) + ": " + command;
    return false;
}

// Every way a run ends: the timer request withdrawn before anything that
// may wait for a person, the error said, the observer told, the logs
// closed after that (the dialog's "Finished" box comes first), and an
// unattended run's program closed. False: the run is over.
bool EndRun(RunContext& run, RunOutcome outcome, const char* error = nullptr,
            const char* caption = "Error")
{
    run.platform.process.EndTimerPeriod(kTimerPeriodMs);
    if (run.watchingWindowEvents)
        run.platform.windows.StopWindowEvents();
    if (error != nullptr)
        run.observer.ShowError(error, caption);
    // Whatever stopped the run, what setup made is undone; a stop already
    // asked for must not cut the cleanup short.
    std::string cleanupError;
    if (run.cleanupOwed &&
        !RunAroundCommand(run.platform, run.programs[0]->settings.cleanupCommand, "cleanup",
                          false, &cleanupError)) {
        run.observer.ShowError(cleanupError.c_str(), kCommandCaption);
        if (outcome == kRunFinished || outcome == kRunFinishedUnattended)
            outcome = kRunStopped;
    }
    run.observer.RunEnded(outcome);
    for (int i = 0; i < run.programCount; ++i)
        CloseLog(&run.programs[i]->log);
    if (outcome == kRunFinishedUnattended)
        run.observer.CloseProgram();
    return false;
}

// The end of a run someone stopped (Ctrl-C). The log keeps the lines it
// has; an interrupted launch has no timing line, since it was not timed to
// the end. Its application is closed the way every launch's is, and ended
// when it has no window to close or its window stays: a CI job that is
// cancelled must not leave it running.
bool StopOnInterrupt(const RunSettings& settings, RunContext& run, Launch* launch,
                     std::int64_t frequency)
{
    Platform& platform = run.platform;
    if (launch != nullptr) {
        bool closed = false;
        // A window not yet asked to close gets its close wait; one that
        // was asked already had its time, and the stop is not kept waiting.
        if (launch->closeSent) {
            closed = LaunchGone(settings, platform, *launch);
        } else if (launch->window != 0 && AnyCloseMethod(settings)) {
            SendClose(settings, platform, launch);
            closed = WaitUntilClosed(settings, platform, *launch, frequency, false) == kWaitClosed;
        }
        const CloseOutcome outcome = closed                         ? kCloseClosed
                                     : EndLaunch(platform, *launch) ? kCloseEnded
                                                                    : kCloseNone;
        if (launch->timed)
            run.observer.LaunchClosed(outcome);
        platform.process.CloseProcessHandles(launch->process);
    }
    return EndRun(run, kRunInterrupted);
}

// A command between launches: false when the run is over, because it
// failed or a stop came while it ran.
bool CommandBetweenLaunches(RunContext& run, const RunSettings& settings, const char* command,
                            const char* which)
{
    std::string error;
    if (RunAroundCommand(run.platform, command, which, true, &error))
        return true;
    if (run.platform.process.StopRequested())
        return StopOnInterrupt(settings, run, nullptr, 0);
    return EndRun(run, kRunStopped, error.c_str(), kCommandCaption);
}

// The system's words for why the launch failed, or its code when it has
// none. Its words may name the program as "%1" ("%1 is not a valid Win32
// application."): the program's path goes there.
std::string LaunchFailureText(Platform& platform, const char* appPath)
{
    const unsigned long code = platform.process.LastError();
    std::string text = platform.process.SystemErrorText(code);
    const std::size_t insert = text.find("%1");
    if (insert != std::string::npos)
        text.replace(insert, 2, appPath);
    if (text.empty()) {
        char fallback[64];
        std::snprintf(fallback, sizeof fallback, "Unknown error %lu", code);
        text = fallback;
    }
    return text;
}

// The end of a run whose log cannot be written (a full disk, a share gone):
// a time that cannot be kept is not worth measuring. Kairon stays open, even
// in an unattended run, so that the error is there for whoever looks.
bool StopOnWriteFailure(RunContext& run)
{
    return EndRun(run, kRunStopped, "Unable to write to log file");
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

enum IdleWait { kIdleReached, kIdleFailed, kIdleStopped };

// Waits until the launched process is idle for input, for at most as long
// as a window search may take, in slices short enough that a stop that was
// asked for ends it within a second. A program stuck at start-up, or held
// open by a crash report's box, would otherwise hold the run for ever.
IdleWait WaitUntilInputIdle(Platform& platform, const LaunchedProcess& launched)
{
    for (unsigned waitedMs = 0; waitedMs < kInputIdleLimitMs; waitedMs += kInputIdleSliceMs) {
        const unsigned long result = platform.process.WaitForInputIdle(launched, kInputIdleSliceMs);
        if (result == 0)
            return kIdleReached;
        if (result != kWaitTimeout)
            return kIdleFailed;
        if (platform.process.StopRequested())
            return kIdleStopped;
    }
    return kIdleFailed;
}

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
    if (!CommandBetweenLaunches(run, settings, settings.prepareCommand, "prepare"))
        return false;
    // Emptied before the pause, so that the disk has settled when the
    // launch starts; checked every time, since a "cold" launch that was
    // warm would be the worst kind of wrong figure.
    std::string notEmptied;
    if (settings.coldStart && !EmptyFileCache(platform.process, &notEmptied))
        return EndRun(run, kRunStopped, ("Cannot empty the file cache: " + notEmptied).c_str(),
                      "Error - Cold start");
    if (!Countdown(platform, observer, texts.beforeLaunch, iteration, delay))
        return StopOnInterrupt(settings, run, nullptr, 0);
    SetStatus(observer, texts.launching, iteration, 0);
    if (settings.detectByWindowName)
        ListWindowsBeforeLaunch(&detection);

    const std::int64_t frequency = platform.process.CounterFrequency();
    // Made before the start count: its cost is not the program's.
    const std::uintptr_t job = settings.measureResources ? platform.process.CreateLaunchJob() : 0;
    const std::int64_t startCount = platform.process.CounterNow();
    Launch launch;
    const bool launched = settings.measureResources
                              ? platform.process.LaunchProcessInJob(commandLine, job, &launch.process)
                              : platform.process.LaunchProcess(commandLine, &launch.process);
    if (!launched)
        return EndRun(run, kRunStopped, LaunchFailureText(platform, settings.appPath).c_str(),
                      "Error - Unable to launch process");
    detection.launched = &launch.process;
    // The first failure line of this launch, for the observer.
    char failureLine[kFailureLineSize] = "";
    // The counts at the phases that a later phase follows; the last
    // phase asked for ends at endCount.
    bool idleReached = false;
    std::int64_t idleCount = 0;
    std::int64_t windowCount = 0;
    bool visibleReached = false;
    if (settings.waitInputIdle) {
        const IdleWait idle = WaitUntilInputIdle(platform, launch.process);
        if (idle == kIdleStopped)
            return StopOnInterrupt(settings, run, &launch, frequency);
        if (idle == kIdleFailed) {
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
        // A search that ended early (a program that died, a stop) leaves
        // the saying to what follows.
        if (SearchForWindow(&detection))
            NoteFailure(failureLine, kWindowNotFoundFormat, settings.windowName);
        else if (detection.foundWindow.handle != 0 && settings.markPhases && settings.waitVisible)
            windowCount = settings.wakeOnWindowEvents ? detection.foundCount
                                                      : platform.process.CounterNow();
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
    // Woken by events, the last phase reached ends at the pass that
    // reached it; the dialog's ends at this reading, after its sleep.
    std::int64_t endCount = 0;
    if (settings.wakeOnWindowEvents && visibleReached)
        endCount = detection.visibleCount;
    else if (settings.wakeOnWindowEvents && !settings.waitVisible && launch.window != 0)
        endCount = detection.foundCount;
    else
        endCount = platform.process.CounterNow();
    const WindowHandle window = launch.window;

    WindowOwner owner;
    if ((settings.checkWindowOwner || settings.endLeftRunning) && window != 0) {
        owner = FindWindowOwner(platform.process, platform.windows, window, launch.process);
        if (owner.startedByLaunch)
            launch.startedOwnerId = owner.processId;
        if (settings.checkWindowOwner && owner.handedOff) {
            WriteLog(&log, kHandedOffFormat, settings.windowName);
            NoteFailure(failureLine, kHandedOffFormat, settings.windowName);
            // What the launch waited for was an older instance's doing:
            // no phase of it belongs to this launch's start-up.
            idleReached = false;
            visibleReached = false;
        }
        if (!settings.checkWindowOwner)
            owner = WindowOwner();
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
    const bool settling = settings.settledMs > 0 && window != 0 && failureLine[0] == '\0';
    if (settling) {
        settle = WaitUntilSettled(platform, window, settings.settledMs, settings.settleCapture,
                                  frequency);
        if (settle.outcome == kSettleStopped)
            return StopOnInterrupt(settings, run, &launch, frequency);
        if (settle.outcome != kSettled) {
            WriteLog(&log, kNotSettledFormat, settings.windowName);
            NoteFailure(failureLine, kNotSettledFormat, settings.windowName);
        }
    }
    const LaunchResources resources = settings.measureResources
                                          ? ReadLaunchResources(platform.process, launch.process)
                                          : LaunchResources();
    launch.missed = failureLine[0] != '\0';
    // On disk before anything that could hang or end Kairon: closing a
    // window that does not answer, or the user closing Kairon.
    const float seconds = ElapsedSeconds(startCount, settle.count, frequency);
    WriteLog(&log, kTimingFormat, static_cast<double>(seconds));
    FlushLog(&log);
    if (LogWriteFailed(log)) {
        if (window != 0)
            SendCloseMessages(settings, platform.windows, window);
        if (settings.endLeftRunning)
            EndLaunch(platform, launch);
        platform.process.CloseProcessHandles(launch.process);
        return StopOnWriteFailure(run);
    }
    LaunchResult result{iteration, warmup ? settings.warmups : settings.executions,
                        static_cast<double>(seconds), launch.missed ? failureLine : nullptr};
    result.warmup = warmup;
    result.baseline = program.baseline;
    if (settings.markPhases) {
        const auto mark = [&](double* seconds, std::int64_t* count, std::int64_t at) {
            *seconds = static_cast<double>(at - startCount) / static_cast<double>(frequency);
            *count = at;
        };
        result.counts.start = startCount;
        if (idleReached)
            mark(&result.marks.inputIdle, &result.counts.inputIdle,
                 settings.detectByWindowName ? idleCount : endCount);
        if (window != 0 && !owner.handedOff)
            mark(&result.marks.window, &result.counts.window,
                 settings.waitVisible ? windowCount : endCount);
        if (visibleReached)
            mark(&result.marks.visible, &result.counts.visible, endCount);
        if (settling && settle.outcome == kSettled)
            mark(&result.marks.settled, &result.counts.settled, settle.count);
    }
    if (settling) {
        result.settle.waited = true;
        result.settle.capture = settings.settleCapture;
        result.settle.outcome = settle.outcome;
        result.settle.pictures = settle.pictures;
        result.settle.changes = settle.changes;
        if (settle.contentSeen)
            result.settle.content = static_cast<double>(settle.contentCount - startCount) /
                                    static_cast<double>(frequency);
    }
    result.owner = owner;
    result.resources = resources;
    result.cold = settings.coldStart;
    observer.LaunchTimed(result);
    launch.timed = true;

    if (!Countdown(platform, observer, texts.beforeClose, iteration, delay))
        return StopOnInterrupt(settings, run, &launch, frequency);
    const bool closing = window != 0 && AnyCloseMethod(settings);
    if (closing)
        SendClose(settings, platform, &launch);

    if (!Countdown(platform, observer, texts.beforeNext, iteration, delay))
        return StopOnInterrupt(settings, run, &launch, frequency);
    bool closed = false;
    if (closing) {
        const CloseWait wait = WaitUntilClosed(settings, platform, launch, frequency, true);
        if (wait == kWaitStopped)
            return StopOnInterrupt(settings, run, &launch, frequency);
        closed = wait == kWaitClosed;
        // The window itself may have gone while its program stays.
        if (!closed && platform.windows.Exists(window)) {
            WriteLog(&log, kCloseFailedFormat, settings.windowName);
            FlushLog(&log);
        }
    }
    observer.LaunchClosed(EndWhatIsLeft(settings, platform, launch, closed));
    platform.process.CloseProcessHandles(launch.process);
    if (LogWriteFailed(log))
        return StopOnWriteFailure(run);
    return CommandBetweenLaunches(run, settings, settings.concludeCommand, "conclude");
}

}  // namespace

int TimingRun(const RunSettings& settings, Platform& platform, RunObserver& observer)
{
    // Where the system cannot keep the ticks, the pauses are merely longer.
    platform.process.KeepTimerPeriodWhileHidden();
    platform.process.BeginTimerPeriod(kTimerPeriodMs);
    TimedProgram app(settings, platform, false);
    std::unique_ptr<TimedProgram> baseline;
    if (settings.baselinePath[0] != '\0')
        baseline.reset(new TimedProgram(settings, platform, true));
    RunContext run{platform,
                   observer,
                   SplitDelay(settings.delayMs),
                   {baseline ? baseline.get() : &app, baseline ? &app : nullptr},
                   baseline ? 2 : 1,
                   false};
    // Set once for the run, before the first launch: an event that comes
    // while a launch is being started still wakes its search.
    if (settings.wakeOnWindowEvents && settings.detectByWindowName)
        run.watchingWindowEvents = platform.windows.WatchWindowEvents();
    // Both logs, or no launch: half a comparison is worth nothing.
    for (int i = 0; i < run.programCount; ++i) {
        TimedProgram& program = *run.programs[i];
        if (!OpenLog(&program.log, program.settings.logPath)) {
            EndRun(run, kRunStopped,
                   program.baseline ? "Unable to open baseline log file" : "Unable to open log file");
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

    run.cleanupOwed = true;
    if (!CommandBetweenLaunches(run, settings, settings.setupCommand, "setup"))
        return 1;
    // Each round launches every program once: the warm-ups' rounds first,
    // then those asked for, then any the observer adds.
    const std::int64_t launches = static_cast<std::int64_t>(settings.warmups) + settings.executions;
    for (std::int64_t number = 1; number <= launches || observer.WantsAnotherRound();
         ++number) {
        for (int i = 0; i < run.programCount; ++i) {
            if (!TimeOneLaunch(run, *run.programs[i], number))
                return 1;
        }
    }
    EndRun(run, settings.autoRun ? kRunFinishedUnattended : kRunFinished);
    return 1;
}
