#include "engine/launch_stages.h"

#include "engine/log_format.h"
#include "engine/run_end.h"
#include "engine/time_steps.h"

#include <cstdio>
#include <string>

namespace {

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

}  // namespace

bool StartLaunch(RunContext& run, TimedProgram& program, const LaunchTurn& turn, Launch* launch,
                 LaunchStart* start)
{
    const RunSettings& settings = program.settings;
    Platform& platform = run.platform;
    RunObserver& observer = run.observer;
    const Delay& delay = run.delay;
    LogSink& log = program.log;
    Detection& detection = program.detection;
    char* commandLine = program.commandLine;
    const int iteration = turn.iteration;
    const StepTexts& texts = *turn.texts;
    log.muted = turn.warmup;
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
    if (settings.coldStart && run.steps != nullptr &&
        !run.steps->EmptyFileCache(&launch->cachePurge, &notEmptied))
        return EndRun(run, kRunStopped, notEmptied.c_str(), "Error - Cold start");
    if (!Countdown(platform, observer, texts.beforeLaunch, iteration, delay))
        return StopOnInterrupt(settings, run, nullptr, 0);
    SetStatus(observer, texts.launching, iteration, 0);
    if (settings.detectByWindowName)
        ListWindowsBeforeLaunch(&detection);

    const std::int64_t frequency = platform.process.CounterFrequency();
    // Made before the start count: its cost is not the program's.
    const std::uintptr_t job = settings.measureResources ? platform.process.CreateLaunchJob() : 0;
    const std::int64_t startCount = platform.process.CounterNow();
    const bool launched = settings.measureResources
                              ? platform.process.LaunchProcessInJob(commandLine, job, &launch->process)
                              : platform.process.LaunchProcess(commandLine, &launch->process);
    if (!launched)
        return EndRun(run, kRunStopped, LaunchFailureText(platform, settings.appPath).c_str(),
                      "Error - Unable to launch process");
    detection.launched = &launch->process;
    start->frequency = frequency;
    start->startCount = startCount;
    return true;
}
