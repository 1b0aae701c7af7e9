// kairon-time: Kairon's timing run from a command line, for scripts and CI.
#include "console/console_run_observer.h"
#include "console/exit_status.h"
#include "console/new_run_report.h"
#include "console/time_options.h"
#include "engine/timing_run.h"
#include "platform/win32_platform.h"
#include "report/report_files.h"

#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    RunSettings settings;
    TimeOptions options;
    std::string error;
    switch (ParseTimeCommandLine(argc, argv, &settings, &options, &error)) {
    case kTimeHelp:
        std::cout << TimeUsage();
        return kTimeExitReady;
    case kTimeBadCommand:
        std::cerr << "kairon-time: " << error << "\nTry kairon-time --help\n";
        return kTimeExitUsage;
    case kTimeRun:
        break;
    }
    const SettingsCheck failed = FirstFailedTimeCheck(settings);
    if (failed != kSettingsValid) {
        std::cerr << "kairon-time: " << TimeCheckMessage(failed) << "\n";
        return kTimeExitUsage;
    }

    // A log that does not exist yet reads as empty: the run starts it.
    std::string before;
    ReadWholeFile(settings.logPath, &before);

    Win32Process process;
    Win32Windows windows;
    Platform platform{process, windows};
    ConsoleRunObserver observer(std::cerr, options.quiet);
    TimingRun(settings, platform, observer);

    std::string after;
    if (ReadWholeFile(settings.logPath, &after))
        std::cout << NewRunReport(settings.logPath, after, before.size());
    std::cout.flush();
    return observer.ExitStatus();
}
