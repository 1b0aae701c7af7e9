#include "engine/timing_run.h"

#include "engine/launch_context.h"
#include "engine/launch_stages.h"
#include "engine/log_format.h"
#include "engine/log_sink.h"
#include "engine/run_end.h"
#include "engine/window_detection.h"

#include <memory>

float ElapsedSeconds(std::int64_t startCount, std::int64_t endCount, std::int64_t frequency)
{
    return static_cast<float>(static_cast<double>(endCount - startCount) /
                              static_cast<double>(frequency));
}

namespace {

// One launch of one program: the countdown, the launch, the waits, the
// timing line in the program's log, the close. False when the run is over
// (stopped, or an error ended it), true to go on; *missedWindow: a
// measured launch whose window was not found.
bool TimeOneLaunch(RunContext& run, TimedProgram& program, std::int64_t number,
                   bool* missedWindow)
{
    const LaunchTurn turn = TurnOf(program.settings, number);
    Launch launch;
    LaunchStart start;
    if (!StartLaunch(run, program, turn, &launch, &start))
        return false;
    Readiness ready;
    if (!WaitUntilReady(run, program, start, &launch, &ready))
        return false;
    if (!RecordLaunch(run, program, turn, start, ready, &launch))
        return false;
    *missedWindow = ready.windowNotFound && !turn.warmup;
    return CloseLaunch(run, program, turn, start.frequency, &launch);
}

}  // namespace

int TimingRun(const RunSettings& settings, Platform& platform, RunObserver& observer,
              TimeSteps* steps)
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
                   steps,
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
            bool missedWindow = false;
            if (!TimeOneLaunch(run, *run.programs[i], number, &missedWindow))
                return 1;
            const bool moreToLaunch = number < launches || i + 1 < run.programCount;
            if (missedWindow && moreToLaunch && settings.stopOnMissedWindow) {
                EndRun(run, kRunGaveUp);
                return 1;
            }
        }
    }
    EndRun(run, settings.autoRun ? kRunFinishedUnattended : kRunFinished);
    return 1;
}
