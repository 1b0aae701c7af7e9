#include "engine/time_steps.h"

#include "engine/file_cache.h"
#include "engine/stoppable_close.h"
#include "engine/timing_run.h"

#include <algorithm>

bool PlatformTimeSteps::RunCommand(const char* command, const char* which, bool stoppable,
                                   std::string* error)
{
    if (command[0] == '\0')
        return true;
    ProcessPort& process = platform_.process;
    // A stop ends a stoppable command. The cleanup runs after a stop too,
    // and the stop that ended the run does not cut it short; the next one,
    // once it runs, ends a cleanup that hangs.
    const int endingStops = stoppable ? 1 : std::max(process.StopsRequested() + 1, 2);
    unsigned long exitCode = 0;
    switch (process.RunShellCommand(command, endingStops, &exitCode)) {
    case kCommandNotStarted:
        *error = std::string("the ") + which + " command could not be started: " +
                 process.SystemErrorText(process.LastError()) + ": " + command;
        return false;
    case kCommandEndedByStop:
        // What a cleanup was to undo may be left: worth saying. A stoppable
        // command's stop ends the run, which says so itself.
        if (!stoppable)
            *error = std::string("the ") + which + " command was ended by Ctrl-C: " + command;
        return false;
    case kCommandExited:
        break;
    }
    if (exitCode == 0)
        return true;
    *error = std::string("the ") + which + " command exited with code " +
             std::to_string(exitCode) + ": " + command;
    return false;
}

bool PlatformTimeSteps::EmptyFileCache(CachePurge* purge, std::string* error)
{
    std::string why;
    if (::EmptyFileCache(platform_.process, purge, &why))
        return true;
    *error = "Cannot empty the file cache: " + why;
    return false;
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

bool PlatformTimeSteps::SendCloseMessages(const RunSettings& settings, WindowHandle window)
{
    return SendCloseMessagesUntilStop(settings, platform_, window);
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
