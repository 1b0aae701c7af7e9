#include "engine/launch_context.h"

#include "engine/timing_run.h"

#include <cstdarg>
#include <cstdio>

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

LaunchTurn TurnOf(const RunSettings& settings, std::int64_t number)
{
    LaunchTurn turn;
    turn.warmup = number <= settings.warmups;
    turn.iteration = static_cast<int>(turn.warmup ? number : number - settings.warmups);
    turn.texts = turn.warmup ? &kWarmupTexts : &kIterationTexts;
    return turn;
}

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
