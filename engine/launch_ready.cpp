#include "engine/launch_stages.h"

#include "engine/log_format.h"
#include "engine/run_end.h"
#include "engine/time_steps.h"

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

// Input idle, the window and its being visible, as the settings ask; the
// end count of the last phase reached.
bool ReachPhases(RunContext& run, TimedProgram& program, std::int64_t frequency, Launch* launch,
                 Readiness* ready)
{
    const RunSettings& settings = program.settings;
    Platform& platform = run.platform;
    LogSink& log = program.log;
    Detection& detection = program.detection;
    char* failureLine = ready->failureLine;
    bool& idleReached = ready->idleReached;
    std::int64_t& idleCount = ready->idleCount;
    std::int64_t& windowCount = ready->windowCount;
    bool& visibleReached = ready->visibleReached;
    if (settings.waitInputIdle) {
        const IdleWait idle = WaitUntilInputIdle(platform, launch->process);
        if (idle == kIdleStopped)
            return StopOnInterrupt(settings, run, launch, frequency);
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
        if (SearchForWindow(&detection)) {
            NoteFailure(failureLine, kWindowNotFoundFormat, settings.windowName);
            ready->windowNotFound = true;
            // Named while they are open: a title mistyped shows at once.
            if (run.steps != nullptr)
                ready->openedTitles = run.steps->OpenedTitles(launch->process);
        }
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
    launch->window = detection.foundWindow.handle;
    if (platform.process.StopRequested())
        return StopOnInterrupt(settings, run, launch, frequency);
    // Woken by events, the last phase reached ends at the pass that
    // reached it; the dialog's ends at this reading, after its sleep.
    std::int64_t& endCount = ready->endCount;
    if (settings.wakeOnWindowEvents && visibleReached)
        endCount = detection.visibleCount;
    else if (settings.wakeOnWindowEvents && !settings.waitVisible && launch->window != 0)
        endCount = detection.foundCount;
    else
        endCount = platform.process.CounterNow();
    return true;
}

// Whose the found window is, when the settings ask or something may have
// to be ended; and whether a launch without a window died first.
void CheckWhoseWindow(RunContext& run, TimedProgram& program, Launch* launch,
                      Readiness* ready)
{
    const RunSettings& settings = program.settings;
    Platform& platform = run.platform;
    LogSink& log = program.log;
    const WindowHandle window = launch->window;
    char* failureLine = ready->failureLine;
    bool& idleReached = ready->idleReached;
    bool& visibleReached = ready->visibleReached;
    WindowOwner& owner = ready->owner;
    if ((settings.checkWindowOwner || settings.endLeftRunning) && window != 0 &&
        run.steps != nullptr) {
        owner = run.steps->FindOwner(window, launch->process);
        launch->ownerOutsideJob = owner.processId != 0 && !owner.inJob;
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
    if (window == 0 && platform.process.HasExited(launch->process, &exitCode)) {
        WriteLog(&log, kExitedBeforeReadyFormat, exitCode);
        NoteFailure(failureLine, kExitedBeforeReadyFormat, exitCode);
        idleReached = false;
    }
}

}  // namespace

bool WaitUntilReady(RunContext& run, TimedProgram& program, const LaunchStart& start,
                    Launch* launch, Readiness* ready)
{
    const RunSettings& settings = program.settings;
    LogSink& log = program.log;
    const std::int64_t frequency = start.frequency;
    if (!ReachPhases(run, program, frequency, launch, ready))
        return false;
    CheckWhoseWindow(run, program, launch, ready);
    const WindowHandle window = launch->window;
    char* failureLine = ready->failureLine;
    const std::int64_t endCount = ready->endCount;
    // With --settled the launch is timed to its window's content; the
    // phases before it keep the counts they had.
    SettleResult& settle = ready->settle;
    settle.count = endCount;
    ready->settling = settings.settledMs > 0 && window != 0 && failureLine[0] == '\0' &&
                      run.steps != nullptr;
    if (ready->settling) {
        settle = run.steps->WaitUntilSettled(window, settings.settledMs, settings.settleCapture,
                                             frequency);
        if (settle.outcome == kSettleStopped)
            return StopOnInterrupt(settings, run, launch, frequency);
        if (settle.outcome != kSettled) {
            WriteLog(&log, kNotSettledFormat, settings.windowName);
            NoteFailure(failureLine, kNotSettledFormat, settings.windowName);
        }
    }
    return true;
}
