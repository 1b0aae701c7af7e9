#include "engine/run_end.h"

#include "engine/close_wait.h"
#include "engine/time_steps.h"

#include <string>

namespace {

const char kCommandCaption[] = "Error - Command failed";

// A command around the launches. Without kairon-time's steps there is
// none: nothing the dialog reads can name one.
bool RunAroundCommand(RunContext& run, const char* command, const char* which, bool stoppable,
                      std::string* error)
{
    return run.steps == nullptr || run.steps->RunCommand(command, which, stoppable, error);
}

}  // namespace

bool EndRun(RunContext& run, RunOutcome outcome, const char* error,
            const char* caption)
{
    run.platform.process.EndTimerPeriod(kTimerPeriodMs);
    if (run.watchingWindowEvents)
        run.platform.windows.StopWindowEvents();
    if (error != nullptr)
        run.observer.ShowError(error, caption);
    // Whatever stopped the run, what setup made is undone; a stop already
    // asked for must not cut the cleanup short.
    const bool finished =
        outcome == kRunFinished || outcome == kRunFinishedUnattended || outcome == kRunGaveUp;
    std::string cleanupError;
    if (run.cleanupOwed &&
        !RunAroundCommand(run, run.programs[0]->settings.cleanupCommand, "cleanup", false,
                          &cleanupError)) {
        run.observer.ShowError(cleanupError.c_str(), kCommandCaption);
        if (finished)
            outcome = kRunStopped;
    }
    // A stop that came while the cleanup ran is the run's end all the same.
    if (finished && run.platform.process.StopRequested())
        outcome = kRunInterrupted;
    run.observer.RunEnded(outcome);
    for (int i = 0; i < run.programCount; ++i)
        CloseLog(&run.programs[i]->log);
    if (outcome == kRunFinishedUnattended)
        run.observer.CloseProgram();
    return false;
}

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
        } else if (launch->window != 0 && AnyCloseMethod(settings) && !launch->ownerOutsideJob) {
            // A window that did not take the messages is not waited for.
            closed = SendClose(settings, platform, run.steps, launch) &&
                     WaitUntilClosed(settings, platform, *launch, frequency, false) == kWaitClosed;
        }
        const CloseOutcome outcome = closed                         ? kCloseClosed
                                     : EndLaunch(platform, *launch) ? kCloseEnded
                                                                    : kCloseNone;
        if (launch->timed)
            run.observer.LaunchClosed(outcome);
        if (run.steps != nullptr)
            run.steps->EndWhatTheJobLeft(launch->process, false,
                                         launch->timed ? &run.observer : nullptr);
        platform.process.CloseProcessHandles(launch->process);
    }
    return EndRun(run, launch != nullptr ? kRunInterrupted : kRunInterruptedBetween);
}

bool CommandBetweenLaunches(RunContext& run, const RunSettings& settings, const char* command,
                            const char* which)
{
    std::string error;
    if (RunAroundCommand(run, command, which, true, &error))
        return true;
    if (run.platform.process.StopRequested())
        return StopOnInterrupt(settings, run, nullptr, 0);
    return EndRun(run, kRunStopped, error.c_str(), kCommandCaption);
}

bool StopOnWriteFailure(RunContext& run)
{
    return EndRun(run, kRunStopped, "Unable to write to log file");
}
