#include "engine/launch_stages.h"

#include "engine/close_wait.h"
#include "engine/log_format.h"
#include "engine/run_end.h"
#include "engine/time_steps.h"

bool CloseLaunch(RunContext& run, TimedProgram& program, const LaunchTurn& turn,
                 std::int64_t frequency, Launch* launch)
{
    const RunSettings& settings = program.settings;
    Platform& platform = run.platform;
    RunObserver& observer = run.observer;
    const Delay& delay = run.delay;
    LogSink& log = program.log;
    const int iteration = turn.iteration;
    const StepTexts& texts = *turn.texts;
    const WindowHandle window = launch->window;
    if (!Countdown(platform, observer, texts.beforeClose, iteration, delay))
        return StopOnInterrupt(settings, run, launch, frequency);
    const bool closing = window != 0 && AnyCloseMethod(settings) && !launch->ownerOutsideJob;
    // Gone before it was asked: closed by nobody (a splash screen, a
    // launcher's window), which is not what its messages did.
    const bool wentBefore = closing && !platform.windows.Exists(window);
    if (closing) {
        SendClose(settings, platform, run.steps, launch);
        // A stop that came while the messages went is not kept waiting
        // for the countdown.
        if (platform.process.StopRequested())
            return StopOnInterrupt(settings, run, launch, frequency);
    }

    if (!Countdown(platform, observer, texts.beforeNext, iteration, delay))
        return StopOnInterrupt(settings, run, launch, frequency);
    bool closed = false;
    if (closing) {
        const CloseWait wait = WaitUntilClosed(settings, platform, *launch, frequency, true);
        if (wait == kWaitStopped)
            return StopOnInterrupt(settings, run, launch, frequency);
        closed = wait == kWaitClosed;
        // The window itself may have gone while its program stays.
        if (!closed && platform.windows.Exists(window)) {
            WriteLog(&log, kCloseFailedFormat, settings.windowName);
            FlushLog(&log);
        }
    }
    // A window outside the launch's job was not asked to close: unless the
    // launch missed, nothing is ended and its outcome is none.
    const CloseOutcome outcome = EndWhatIsLeft(settings, platform, *launch, closed);
    observer.LaunchClosed(wentBefore && outcome == kCloseClosed ? kCloseWent : outcome);
    if (run.steps != nullptr)
        run.steps->EndWhatTheJobLeft(launch->process, true, &observer);
    platform.process.CloseProcessHandles(launch->process);
    if (LogWriteFailed(log))
        return StopOnWriteFailure(run);
    return CommandBetweenLaunches(run, settings, settings.concludeCommand, "conclude");
}
