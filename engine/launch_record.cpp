#include "engine/launch_stages.h"

#include "engine/close_wait.h"
#include "engine/log_format.h"
#include "engine/run_end.h"
#include "engine/time_steps.h"
#include "engine/timing_run.h"

bool RecordLaunch(RunContext& run, TimedProgram& program, const LaunchTurn& turn,
                  const LaunchStart& start, const Readiness& ready, Launch* launch)
{
    const RunSettings& settings = program.settings;
    Platform& platform = run.platform;
    LogSink& log = program.log;
    const bool warmup = turn.warmup;
    const int iteration = turn.iteration;
    const std::int64_t frequency = start.frequency;
    const std::int64_t startCount = start.startCount;
    const std::int64_t endCount = ready.endCount;
    const char* failureLine = ready.failureLine;
    const SettleResult& settle = ready.settle;
    const WindowOwner& owner = ready.owner;
    const WindowHandle window = launch->window;
    const LaunchResources resources = settings.measureResources && run.steps != nullptr
                                          ? run.steps->ReadResources(launch->process)
                                          : LaunchResources();
    launch->missed = failureLine[0] != '\0';
    // On disk before anything that could hang or end Kairon: closing a
    // window that does not answer, or the user closing Kairon.
    const float seconds = ElapsedSeconds(startCount, settle.count, frequency);
    WriteLog(&log, kTimingFormat, static_cast<double>(seconds));
    FlushLog(&log);
    if (LogWriteFailed(log)) {
        if (window != 0)
            SendCloseMessages(settings, platform.windows, window);
        if (settings.endLeftRunning)
            EndLaunch(platform, *launch);
        platform.process.CloseProcessHandles(launch->process);
        return StopOnWriteFailure(run);
    }
    LaunchResult result{iteration, warmup ? settings.warmups : settings.executions,
                        static_cast<double>(seconds), launch->missed ? failureLine : nullptr};
    result.warmup = warmup;
    result.baseline = program.baseline;
    if (settings.markPhases) {
        const auto mark = [&](double* seconds, std::int64_t* count, std::int64_t at) {
            *seconds = static_cast<double>(at - startCount) / static_cast<double>(frequency);
            *count = at;
        };
        result.counts.start = startCount;
        if (ready.idleReached)
            mark(&result.marks.inputIdle, &result.counts.inputIdle,
                 settings.detectByWindowName ? ready.idleCount : endCount);
        if (window != 0 && !owner.handedOff)
            mark(&result.marks.window, &result.counts.window,
                 settings.waitVisible ? ready.windowCount : endCount);
        if (ready.visibleReached)
            mark(&result.marks.visible, &result.counts.visible, endCount);
        if (ready.settling && settle.outcome == kSettled)
            mark(&result.marks.settled, &result.counts.settled, settle.count);
    }
    if (ready.settling) {
        result.settle.waited = true;
        result.settle.capture = settings.settleCapture;
        result.settle.outcome = settle.outcome;
        result.settle.pictures = settle.pictures;
        result.settle.changes = settle.changes;
        result.settle.pictureMs = settle.pictureMs;
        result.settle.resolutionMs = settle.resolutionMs;
        result.settle.coveredTitle = settle.coveredTitle;
        result.settle.coveredClass = settle.coveredClass;
        if (settle.contentSeen)
            result.settle.content = static_cast<double>(settle.contentCount - startCount) /
                                    static_cast<double>(frequency);
    }
    result.owner = owner;
    result.resources = resources;
    result.windowNotFound = ready.windowNotFound;
    result.openedTitles = ready.openedTitles;
    result.cold = settings.coldStart;
    result.cachePurge = launch->cachePurge;
    run.observer.LaunchTimed(result);
    launch->timed = true;
    return true;
}
