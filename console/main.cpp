// kairon-time: Kairon's timing run from a command line, for scripts and CI.
#include "console/after_run.h"
#include "console/console_run_observer.h"
#include "console/distinct_files.h"
#include "console/launch_json.h"
#include "console/pending_file.h"
#include "console/save_config.h"
#include "console/time_options.h"
#include "engine/timing_run.h"
#include "platform/win32_console_process.h"
#include "platform/win32_console_windows.h"
#include "platform/win32_files.h"
#include "report/exit_statuses.h"

#include <io.h>
#include <process.h>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

// What the command line asks for that this system or the files named
// cannot give; empty when the run may start. Before anything is opened,
// read or written: a JSON written over the log, or two programs' lines in
// one log, would spoil the run.
std::string CannotRun(const RunSettings& settings, const TimeOptions& options,
                      WindowPort& windows)
{
    const SettingsCheck failed = FirstFailedTimeCheck(settings);
    if (failed != kSettingsValid)
        return TimeCheckMessage(failed);
    if (settings.settledMs > 0 && settings.settleCapture == kCapturePrint &&
        !windows.CanPrintFullContent())
        return "--capture print: needs Windows 8.1 or later, whose PrintWindow renders a "
               "window's full content";
    Win32FileNames fileNames;
    return OneFileTwiceMessage(FilesWritten(settings, options), fileNames);
}

// Writes the run's launches as JSON; false, said on standard error, when
// they could not be kept.
bool WriteJson(PendingFile* json, const std::string& path, const RunSettings& settings,
               const ConsoleRunObserver& observer, std::int64_t frequency)
{
    const std::string text = LaunchesJson(settings, observer.Launches(), frequency,
                                          SystemTextToUtf8);
    if (CommitPendingFile(json, text, ReplaceFileWith))
        return true;
    std::cerr << "kairon-time: Error: Unable to write JSON file " << path << "\n";
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    RunSettings settings;
    TimeOptions options;
    std::string error;
    switch (ParseTimeCommandLine(argc, argv, &settings, &options, &error)) {
    case kTimeHelp:
        std::cout << TimeUsage();
        return kExitOk;
    case kTimeBadCommand:
        std::cerr << "kairon-time: " << error << "\nTry kairon-time --help\n";
        return kExitUsage;
    case kTimeRun:
        break;
    }
    if (!options.saveConfigPath.empty())
        return SaveConfig(settings, options, std::cerr);
    Win32ConsoleWindows windows;
    const std::string cannotRun = CannotRun(settings, options, windows);
    if (!cannotRun.empty()) {
        std::cerr << "kairon-time: " << cannotRun << "\n";
        return kExitUsage;
    }
    const LogsBefore before = MeasureLogsBefore(settings);
    // Ctrl-C from here on closes the application before kairon-time ends.
    StopRunOnConsoleBreak();
    // Created before anything is launched: a run whose phases cannot be
    // kept is found out at once, not after its last launch. Created once
    // Ctrl-C no longer ends kairon-time at once, so that the way out below
    // always removes it.
    PendingFile json;
    if (!options.jsonPath.empty() &&
        !BeginPendingFile(options.jsonPath, TempPathBeside(options.jsonPath, _getpid()), &json)) {
        std::cerr << "kairon-time: Error: Unable to open JSON file " << options.jsonPath << "\n";
        return kExitFailed;
    }
    Win32ConsoleProcess process;
    Platform platform{process, windows};
    ConsoleRunObserver observer(std::cerr, options.quiet, _isatty(_fileno(stderr)) != 0);
    TimingRun(settings, platform, observer);
    const bool jsonWritten = json.stream == nullptr ||
                             WriteJson(&json, options.jsonPath, settings, observer,
                                       process.CounterFrequency());
    const ExitStatus gate =
        ReportRun(settings, options, observer.Launches(), before, std::cout, std::cerr);
    return RunExitStatus(observer.ExitStatus(), jsonWritten, gate);
}
