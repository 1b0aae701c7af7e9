#include "engine/time_steps.h"

#include "engine/file_cache.h"
#include "engine/timing_run.h"

bool PlatformTimeSteps::RunCommand(const char* command, const char* which, bool stoppable,
                                   std::string* error)
{
    if (command[0] == '\0')
        return true;
    unsigned long exitCode = 0;
    if (!platform_.process.RunShellCommand(command, stoppable, &exitCode)) {
        // A stop ends a stoppable command: nothing to say. A cleanup runs
        // after a stop too, and one that cannot start says why.
        if (!stoppable || !platform_.process.StopRequested())
            *error = std::string("the ") + which + " command could not be started: " +
                     platform_.process.SystemErrorText(platform_.process.LastError()) + ": " +
                     command;
        return false;
    }
    if (exitCode == 0)
        return true;
    *error = std::string("the ") + which + " command exited with code " +
             std::to_string(exitCode) + ": " + command;
    return false;
}

bool PlatformTimeSteps::EmptyFileCache(std::string* why)
{
    return ::EmptyFileCache(platform_.process, why);
}

namespace {

// A program's helpers are given this long to end with it, as they do when
// their program closes them.
const int kJobGraceMs = 500;
const unsigned kJobCheckMs = 25;

}  // namespace

void PlatformTimeSteps::EndWhatTheJobLeft(const LaunchedProcess& launched, bool grace,
                                          RunObserver* observer)
{
    if (launched.job == 0)
        return;
    ProcessPort& process = platform_.process;
    for (int waitedMs = 0; grace && waitedMs < kJobGraceMs && process.RunningInJob(launched.job) > 0;
         waitedMs += static_cast<int>(kJobCheckMs))
        process.Sleep(kJobCheckMs);
    const int ended = process.EndJob(launched.job);
    if (observer != nullptr)
        observer->LaunchJobEnded(ended);
}

LaunchResources PlatformTimeSteps::ReadResources(const LaunchedProcess& launched)
{
    return ReadLaunchResources(platform_.process, launched);
}

WindowOwner PlatformTimeSteps::FindOwner(WindowHandle window, const LaunchedProcess& launched)
{
    return FindWindowOwner(platform_.process, platform_.windows, window, launched);
}

SettleResult PlatformTimeSteps::WaitUntilSettled(WindowHandle window, std::int32_t settledMs,
                                                 CaptureSource source, std::int64_t frequency)
{
    return ::WaitUntilSettled(platform_, window, settledMs, source, frequency);
}

std::string PlatformTimeSteps::OpenedTitles(const LaunchedProcess& launched)
{
    return TitlesOfLaunch(platform_.process, platform_.windows, launched);
}

int TimingRun(const RunSettings& settings, Platform& platform, RunObserver& observer)
{
    PlatformTimeSteps steps(platform);
    return TimingRun(settings, platform, observer, &steps);
}
